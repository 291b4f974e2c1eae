#include "platform/RealServices.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrinterInfo>

namespace platform {

namespace {

const QString kNoPrinter = QStringLiteral(
    "Není nainstalována žádná tiskárna. V nabídce Program › Nastavení tiskárny lze zvolit "
    "tisk do souboru PDF.");
const QString kPrinterFailed = QStringLiteral("Tiskárnu \"%1\" nelze použít.");

class PainterCanvas : public PrintCanvas {
public:
    explicit PainterCanvas(QPrinter& printer) : m_printer(printer) {}
    ~PainterCanvas() override { finish(); }

    bool start() { return m_painter.begin(&m_printer); }

    void setFont(const QFont& font) override { m_painter.setFont(font); }
    int textWidth(const QString& text) const override
    {
        return m_painter.fontMetrics().horizontalAdvance(text);
    }
    int lineHeight() const override { return m_painter.fontMetrics().height(); }
    int averageCharWidth() const override { return m_painter.fontMetrics().averageCharWidth(); }
    int pageWidth() const override { return m_printer.width(); }
    int pageHeight() const override { return m_printer.height(); }
    void drawText(int x, int y, const QString& text) override
    {
        // Callers give the line's top; the painter wants the base line.
        m_painter.drawText(x, y + m_painter.fontMetrics().ascent(), text);
    }
    void newPage() override { m_printer.newPage(); }
    void finish() override
    {
        if (m_painter.isActive())
            m_painter.end();
    }

private:
    QPrinter& m_printer;
    QPainter m_painter;
};

} // namespace

QtPrinter::QtPrinter() = default;

QtPrinter::~QtPrinter() = default;

bool QtPrinter::usable() const
{
    if (m_printer.outputFormat() == QPrinter::PdfFormat)
        return !m_printer.outputFileName().isEmpty();
    return !m_printer.printerName().isEmpty() || !QPrinterInfo::defaultPrinter().isNull();
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
    m_printer.setDocName(title);
    auto canvas = std::make_unique<PainterCanvas>(m_printer);
    if (!canvas->start()) {
        const QString name = m_printer.outputFormat() == QPrinter::PdfFormat
                                 ? m_printer.outputFileName()
                                 : m_printer.printerName();
        m_error = kPrinterFailed.arg(name);
        return nullptr;
    }
    return canvas;
}

} // namespace platform
