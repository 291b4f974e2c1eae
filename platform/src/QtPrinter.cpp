#include "platform/RealServices.h"

#include <QDir>
#include <QFontMetrics>
#include <QPainter>

namespace platform {

namespace {

// The PDF's name when a job has no usable title.
const QString untitledJob = QStringLiteral("tisk");

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

// A title may hold characters that file names must not.
QString pdfFileName(const QString& title)
{
    QString name = title.trimmed();
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|");
    for (QChar& c : name)
        if (forbidden.contains(c) || c.unicode() < 0x20)
            c = QLatin1Char('_');
    if (name.isEmpty())
        name = untitledJob;
    return name + QStringLiteral(".pdf");
}

} // namespace

QtPrinter::QtPrinter(const QString& pdfDir) : m_pdfDir(pdfDir) {}

QtPrinter::~QtPrinter() = default;

std::unique_ptr<PrintCanvas> QtPrinter::begin(const QString& title)
{
    m_printer.setDocName(title);
    if (m_printer.printerName().isEmpty()) {
        m_printer.setOutputFormat(QPrinter::PdfFormat);
        m_lastPdf = QDir(m_pdfDir).filePath(pdfFileName(title));
        m_printer.setOutputFileName(m_lastPdf);
    }
    auto canvas = std::make_unique<PainterCanvas>(m_printer);
    if (!canvas->start())
        return nullptr;
    return canvas;
}

} // namespace platform
