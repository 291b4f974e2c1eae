#pragma once

// Text laid out from a table of glyphs and advances instead of the shaping
// engine. A printed list of a million addresses draws some hundred million
// characters; shaping each line costs more than the whole rest of the job, and
// the characters of addresses need no shaping: one character, one glyph.

#include <QGlyphRun>
#include <QList>
#include <QPointF>
#include <QRawFont>
#include <QString>

#include <vector>

namespace platform {

class PrintGlyphs {
public:
    // The font as the painter resolved it for its device; an unusable font
    // leaves every text to the shaping engine.
    void setFont(const QRawFont& font);

    // Whether every character of the text has a glyph of its own in the
    // font and needs no shaping (no combining marks, no right-to-left text,
    // no character that another font would have to supply).
    bool covers(QStringView text);

    // Only for covered text: its width, and how many of its characters fit
    // into `room` with their width.
    int width(QStringView text) const;
    int fittingLength(QStringView text, int room, int* fittedWidth) const;

    // Only for covered text: appends its glyphs, starting at (x, baseline),
    // to a run drawn later; blanks draw nothing and are left out.
    void append(QStringView text, qreal x, qreal baseline);
    bool hasPending() const { return !m_glyphs.isEmpty(); }
    // The appended glyphs as one run, emptied for the next ones.
    QGlyphRun takeRun();

private:
    struct Glyph {
        quint32 index = 0;
        float advance = 0;
        enum : quint8 { Unknown, Simple, Complex } kind = Unknown;
    };
    const Glyph& glyph(char16_t c);
    const Glyph& known(char16_t c) const { return m_table[c]; }

    QRawFont m_font;
    std::vector<Glyph> m_table;
    QList<quint32> m_glyphs;
    QList<QPointF> m_positions;
};

} // namespace platform
