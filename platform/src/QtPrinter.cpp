#include "platform/RealServices.h"

#include "PrintGlyphs.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrinterInfo>
#include <QRawFont>

#include <malloc.h>

namespace platform {

namespace {

const QString kNoPrinter = QStringLiteral(
    "Není nainstalována žádná tiskárna. V nabídce Program › Nastavení tiskárny lze zvolit "
    "tisk do souboru PDF.");
const QString kPrinterFailed = QStringLiteral("Tiskárnu \"%1\" nelze použít.");

// The PDF engine builds and compresses every page in buffers of some hundred
// kilobytes and frees them again. By default the allocator gives such memory
// back to the system at once and faults it in afresh for the next page, which
// costs a long job a sixth of its time; a desktop program can keep it.
void keepFreedMemory()
{
    static const bool done = [] {
        mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
        mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
        return true;
    }();
    static_cast<void>(done);
}

// Draws through QPainter. Texts the glyph table covers are measured from it
// and drawn as one glyph run per page; others go through the shaping engine.
class PainterCanvas : public PrintCanvas {
public:
    explicit PainterCanvas(QPrinter& printer) : m_printer(printer) {}
    ~PainterCanvas() override { finish(); }

    bool start()
    {
        keepFreedMemory();
        if (!m_painter.begin(&m_printer))
            return false;
        takeFont();
        return true;
    }

    void setFont(const QFont& font) override
    {
        flush();
        m_painter.setFont(font);
        takeFont();
    }
    int textWidth(const QString& text) const override
    {
        if (m_glyphs.covers(text))
            return m_glyphs.width(text);
        return m_painter.fontMetrics().horizontalAdvance(text);
    }
    int fittingLength(const QString& text, int room, int* fittedWidth) const override
    {
        if (m_glyphs.covers(text))
            return m_glyphs.fittingLength(text, room, fittedWidth);
        return PrintCanvas::fittingLength(text, room, fittedWidth);
    }
    int lineHeight() const override { return m_height; }
    int averageCharWidth() const override { return m_averageWidth; }
    int pageWidth() const override { return m_printer.width(); }
    int pageHeight() const override { return m_printer.height(); }
    void drawText(int x, int y, const QString& text) override
    {
        // Callers give the line's top; glyphs and the painter want the base line.
        if (m_glyphs.covers(text)) {
            m_glyphs.append(text, x, y + m_ascent);
            return;
        }
        flush();
        m_painter.drawText(x, y + m_ascent, text);
    }
    void newPage() override
    {
        flush();
        m_printer.newPage();
    }
    void finish() override
    {
        if (!m_painter.isActive())
            return;
        flush();
        m_painter.end();
    }

private:
    void takeFont()
    {
        const QFontMetrics metrics = m_painter.fontMetrics();
        m_height = metrics.height();
        m_ascent = metrics.ascent();
        m_averageWidth = metrics.averageCharWidth();
        m_glyphs.setFont(QRawFont::fromFont(m_painter.font()));
    }
    void flush()
    {
        if (m_glyphs.hasPending())
            m_painter.drawGlyphRun(QPointF(0, 0), m_glyphs.takeRun());
    }

    QPrinter& m_printer;
    QPainter m_painter;
    // Filled as characters are first met, also while measuring.
    mutable PrintGlyphs m_glyphs;
    int m_height = 0;
    int m_ascent = 0;
    int m_averageWidth = 0;
};

} // namespace

QtPrinter::QtPrinter() = default;

QtPrinter::~QtPrinter() = default;

QPrinter& QtPrinter::printer() const
{
    // Making the printer loads the print system and asks it for the default
    // printer, which the start of the program would otherwise wait for.
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

bool QtPrinter::usable() const
{
    const QPrinter& chosen = printer();
    if (chosen.outputFormat() == QPrinter::PdfFormat)
        return !chosen.outputFileName().isEmpty();
    return !chosen.printerName().isEmpty() || !QPrinterInfo::defaultPrinter().isNull();
}

QString QtPrinter::errorString() const
{
    if (!m_error.isEmpty())
        return m_error;
    return usable() ? QString() : kNoPrinter;
}

std::unique_ptr<PrintCanvas> QtPrinter::begin(const QString& title)
{
    m_error.clear();
    if (!usable()) {
        m_error = kNoPrinter;
        return nullptr;
    }
    QPrinter& chosen = printer();
    chosen.setDocName(title);
    auto canvas = std::make_unique<PainterCanvas>(chosen);
    if (!canvas->start()) {
        const QString name = chosen.outputFormat() == QPrinter::PdfFormat
                                 ? chosen.outputFileName()
                                 : chosen.printerName();
        m_error = kPrinterFailed.arg(name);
        return nullptr;
    }
    return canvas;
}

} // namespace platform
