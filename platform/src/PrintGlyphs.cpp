#include "PrintGlyphs.h"

#include <cmath>

namespace platform {

namespace {

// Scripts and symbols drawn one glyph per character; everything else (marks
// that combine with the letter before them, right-to-left and Indic scripts,
// characters outside the basic plane) goes through the shaping engine.
bool simpleCharacter(char16_t c)
{
    return (c >= 0x20 && c < 0x7F) || (c >= 0xA0 && c < 0x300) // Latin, Czech letters included
           || (c >= 0x370 && c < 0x483) || (c >= 0x48A && c < 0x530) // Greek, Cyrillic
           || (c >= 0x1E00 && c < 0x1F00)                           // more Latin letters
           || (c >= 0x2010 && c < 0x2028) || (c >= 0x2030 && c < 0x205F) // dashes, quotes
           || (c >= 0x20A0 && c < 0x20C0) || (c >= 0x2100 && c < 0x2150); // currency, №, ™
}

constexpr char16_t kTableSize = 0x2150;

} // namespace

void PrintGlyphs::setFont(const QRawFont& font)
{
    m_font = font;
    m_table.assign(m_font.isValid() ? kTableSize : 0, Glyph{});
    m_glyphs.clear();
    m_positions.clear();
}

const PrintGlyphs::Glyph& PrintGlyphs::glyph(char16_t c)
{
    static const Glyph complex{0, 0, Glyph::Complex};
    if (c >= m_table.size())
        return complex;
    Glyph& entry = m_table[c];
    if (entry.kind != Glyph::Unknown)
        return entry;
    entry.kind = Glyph::Complex;
    if (!simpleCharacter(c))
        return entry;
    const QList<quint32> indexes = m_font.glyphIndexesForString(QString(QChar(c)));
    // Glyph 0 is the font's "missing" box: another font supplies the character.
    if (indexes.size() != 1 || indexes[0] == 0)
        return entry;
    const QList<QPointF> advances =
        m_font.advancesForGlyphIndexes(indexes, QRawFont::UseDesignMetrics);
    if (advances.size() != 1)
        return entry;
    entry = {indexes[0], static_cast<float>(advances[0].x()), Glyph::Simple};
    return entry;
}

bool PrintGlyphs::covers(QStringView text)
{
    for (const QChar c : text) {
        if (glyph(c.unicode()).kind != Glyph::Simple)
            return false;
    }
    return true;
}

int PrintGlyphs::width(QStringView text) const
{
    double sum = 0;
    for (const QChar c : text)
        sum += known(c.unicode()).advance;
    return static_cast<int>(std::lround(sum));
}

int PrintGlyphs::fittingLength(QStringView text, int room, int* fittedWidth) const
{
    double sum = 0;
    int fitted = 0;
    int length = 0;
    for (const QChar c : text) {
        const double next = sum + known(c.unicode()).advance;
        const int rounded = static_cast<int>(std::lround(next));
        if (rounded > room)
            break;
        sum = next;
        fitted = rounded;
        ++length;
    }
    *fittedWidth = fitted;
    return length;
}

void PrintGlyphs::append(QStringView text, qreal x, qreal baseline)
{
    double offset = 0;
    for (const QChar c : text) {
        const Glyph& g = known(c.unicode());
        if (c != QLatin1Char(' ')) {
            m_glyphs.append(g.index);
            m_positions.append(QPointF(x + offset, baseline));
        }
        offset += g.advance;
    }
}

QGlyphRun PrintGlyphs::takeRun()
{
    QGlyphRun run;
    run.setRawFont(m_font);
    run.setGlyphIndexes(m_glyphs);
    run.setPositions(m_positions);
    m_glyphs.clear();
    m_positions.clear();
    return run;
}

} // namespace platform
