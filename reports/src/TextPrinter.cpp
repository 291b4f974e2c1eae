#include "reports/TextPrinter.h"

#include "platform/Platform.h"

#include <algorithm>

namespace reports {

namespace {

constexpr int kTabColumns = 8;
constexpr int kLineGap = 2; // printer pixels between two lines of text
const char* const kNotOpen = "Tisková úloha není otevřena.";

} // namespace

TextPrinter::TextPrinter(platform::Printer& printer) : m_printer(printer) {}

TextPrinter::~TextPrinter()
{
    if (m_canvas)
        m_canvas->finish();
}

void TextPrinter::open(const QString& title)
{
    if (m_canvas)
        close();
    m_canvas = m_printer.begin(title);
    if (!m_canvas)
        throw PrintError(m_printer.errorString().toStdString());
    m_canvas->setFont(m_font);
    m_x = 0;
    m_y = 0;
    m_lineHeight = 0;
    m_page = 1;
}

void TextPrinter::setFont(const QFont& font)
{
    m_font = font;
    if (m_canvas)
        m_canvas->setFont(font);
}

void TextPrinter::write(const QString& text)
{
    if (!m_canvas)
        throw PrintError(kNotOpen);
    // Pieces between control characters go out whole: a text without any,
    // as nearly all are, is neither copied nor split.
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c != '\t' && c != '\f' && c != '\r' && c != '\n')
            continue;
        writePiece(text.mid(start, i - start));
        start = i + 1;
        switch (c) {
        case '\t': {
            const int tab = kTabColumns * std::max(1, m_canvas->averageCharWidth());
            m_x = (m_x / tab + 1) * tab;
            break;
        }
        case '\f':
            newPage();
            break;
        case '\n':
            endLine();
            break;
        default: // a carriage return is ignored
            break;
        }
    }
    writePiece(start == 0 ? text : text.mid(start));
}

void TextPrinter::writePiece(QString piece)
{
    while (!piece.isEmpty()) {
        int width = 0;
        int length = m_canvas->fittingLength(piece, m_canvas->pageWidth() - m_x, &width);
        if (length == 0) {
            if (m_x > 0) {
                endLine();
                continue;
            }
            // Not even one character fits a whole line: print it anyway, or
            // the job would never end.
            length = piece.at(0).isHighSurrogate() && piece.size() > 1 ? 2 : 1;
            width = m_canvas->textWidth(piece.left(length));
        }
        m_lineHeight = std::max(m_lineHeight, m_canvas->lineHeight() + kLineGap);
        if (length == piece.size()) {
            m_canvas->drawText(m_x, m_y, piece);
            m_x += width;
            return;
        }
        m_canvas->drawText(m_x, m_y, piece.left(length));
        piece.remove(0, length);
        endLine();
    }
}

void TextPrinter::endLine()
{
    if (!m_canvas)
        throw PrintError(kNotOpen);
    // An empty line moves by a character's height but counts as height 0 in
    // the page-break test, so after it only a position past the page breaks.
    const int ended = m_lineHeight;
    m_x = 0;
    m_y += ended > 0 ? ended : m_canvas->lineHeight();
    m_lineHeight = 0;
    if (m_y > m_canvas->pageHeight() - 2 * ended)
        newPage();
}

void TextPrinter::newPage()
{
    m_canvas->newPage();
    ++m_page;
    m_x = 0;
    m_y = 0;
    m_lineHeight = 0;
}

void TextPrinter::close()
{
    if (!m_canvas)
        return;
    auto canvas = std::move(m_canvas);
    canvas->finish();
}

} // namespace reports
