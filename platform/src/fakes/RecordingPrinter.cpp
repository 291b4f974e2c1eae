#include "platform/Fakes.h"

#include <QPrinter>

#include <algorithm>

namespace platform {

class RecordingCanvas : public PrintCanvas {
public:
    RecordingCanvas(RecordingPrinter& printer, int job) : m_printer(printer), m_job(job) {}

    void setFont(const QFont& font) override { m_font = font; }
    int textWidth(const QString& text) const override
    {
        return static_cast<int>(text.size()) * m_printer.m_charWidth;
    }
    int lineHeight() const override { return m_printer.m_lineHeight; }
    int averageCharWidth() const override { return m_printer.m_charWidth; }
    int pageWidth() const override { return m_printer.m_pageWidth; }
    int pageHeight() const override { return m_printer.m_pageHeight; }
    void drawText(int x, int y, const QString& text) override
    {
        PrintJob& job = m_printer.m_jobs[m_job];
        job.texts.append({job.pages, x, y, text, m_font});
    }
    void newPage() override { ++m_printer.m_jobs[m_job].pages; }
    void finish() override { m_printer.m_jobs[m_job].finished = true; }

private:
    RecordingPrinter& m_printer;
    int m_job;
    QFont m_font;
};

QStringList PrintJob::pageLines(int page) const
{
    QList<PrintedText> onPage;
    for (const PrintedText& text : texts)
        if (text.page == page)
            onPage.append(text);
    std::stable_sort(onPage.begin(), onPage.end(), [](const PrintedText& a, const PrintedText& b) {
        return a.y != b.y ? a.y < b.y : a.x < b.x;
    });
    QStringList lines;
    // A text line moves down by more than one line height (the height and a
    // small gap, less than another line), an empty line by exactly one.
    int previousY = -lineHeight;
    for (const PrintedText& text : onPage) {
        if (text.y != previousY && lineHeight > 0) {
            for (int empty = (text.y - previousY) / lineHeight - 1; empty > 0; --empty)
                lines.append(QString());
            previousY = text.y;
        }
        lines.append(text.text);
    }
    return lines;
}

RecordingPrinter::RecordingPrinter() = default;
RecordingPrinter::~RecordingPrinter() = default;

std::unique_ptr<PrintCanvas> RecordingPrinter::begin(const QString& title)
{
    if (!m_available)
        return nullptr;
    m_jobs.append(PrintJob{title, {}, 1, false, m_lineHeight});
    return std::make_unique<RecordingCanvas>(*this, static_cast<int>(m_jobs.size()) - 1);
}

QString RecordingPrinter::errorString() const
{
    return m_available ? QString() : QStringLiteral("Není nainstalována žádná tiskárna.");
}

QPrinter* RecordingPrinter::qprinter()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>();
    return m_printer.get();
}

void RecordingPrinter::setMetrics(int charWidth, int lineHeight, int pageWidth, int pageHeight)
{
    m_charWidth = charWidth;
    m_lineHeight = lineHeight;
    m_pageWidth = pageWidth;
    m_pageHeight = pageHeight;
}

} // namespace platform
