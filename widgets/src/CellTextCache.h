#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QStaticText>
#include <QString>

namespace widgets {

// Cell texts laid out once. A grid repaints the same texts again and again
// (each move of the current row repaints the rows around it), and shaping a
// text and eliding it to its column costs far more than drawing it.
class CellTextCache {
public:
    explicit CellTextCache(int limit = 8192) : m_limit(limit), m_metrics(m_font) {}

    // `text` as drawn in `width` pixels with `font`: cut at the right with an
    // ellipsis when it does not fit, shaped once. A text of several lines is
    // no business of the cache (see isSingleLine()).
    QStaticText text(const QString& text, int width, const QFont& font);
    static bool isSingleLine(const QString& text);

    int size() const { return static_cast<int>(m_texts.size()); }

private:
    struct Key {
        QString text;
        int width = 0;
        bool operator==(const Key& other) const { return width == other.width && text == other.text; }
    };
    friend size_t qHash(const Key& key, size_t seed) { return qHashMulti(seed, key.text, key.width); }

    int m_limit;
    QFont m_font;
    QFontMetrics m_metrics;
    QHash<Key, QStaticText> m_texts;
};

} // namespace widgets
