#include "CellTextCache.h"

#include <QTransform>

namespace widgets {

bool CellTextCache::isSingleLine(const QString& text)
{
    for (const QChar c : text) {
        if (c == u'\n' || c == u'\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            return false;
    }
    return true;
}

QStaticText CellTextCache::text(const QString& text, int width, const QFont& font)
{
    if (font != m_font || font.resolveMask() != m_font.resolveMask()) {
        m_texts.clear();
        m_font = font;
        m_metrics = QFontMetrics(font);
    }
    Key key{text, width};
    if (const auto found = m_texts.constFind(key); found != m_texts.constEnd())
        return found.value();
    // Emptied rather than aged: it holds a few screens of cells, refilled
    // at the cost of one paint.
    if (m_texts.size() >= m_limit)
        m_texts.clear();
    const QString shown =
        m_metrics.horizontalAdvance(text) <= width ? text : m_metrics.elidedText(text, Qt::ElideRight, width);
    QStaticText laidOut(shown);
    laidOut.setTextFormat(Qt::PlainText);
    laidOut.prepare(QTransform(), font);
    return m_texts.insert(std::move(key), laidOut).value();
}

} // namespace widgets
