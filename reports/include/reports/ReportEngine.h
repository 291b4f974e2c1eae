#pragma once

// Preparing a banded report from a data set, and painting the prepared pages
// on any paint device. Preparation reads the data once; the prepared pages
// are a snapshot, so what is printed later is what the preview shows even if
// the table has changed meanwhile.

#include "reports/ReportLayout.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QPainter;
class QPagedPaintDevice;

namespace store {
class DataSet;
}

namespace reports {

// A band placed on a page. Its record texts (the values of its Field and
// FirstCharacter items, in item order) are kept in the report's text pool.
struct PlacedBand {
    std::uint16_t band = 0; // index into the layout's bands
    float topMm = 0.0f;     // from the top of the page's content area
    std::uint32_t firstText = 0;
};

struct PreparedPage {
    std::vector<PlacedBand> bands;
};

class PreparedReport {
public:
    PreparedReport() = default;
    PreparedReport(ReportLayout layout, QString dateText);

    const ReportLayout& layout() const { return m_layout; }
    const QString& dateText() const { return m_dateText; }
    const std::vector<PreparedPage>& pages() const { return m_pages; }
    int pageCount() const { return static_cast<int>(m_pages.size()); }
    bool empty() const { return m_pages.empty(); }

    // The text item `item` of a placed band shows on page `page` (0-based).
    QString itemText(const PlacedBand& placed, std::size_t item, int page) const;

    // Used while preparing: a new page, a band on the last page, a record text.
    void addPage() { m_pages.emplace_back(); }
    void addBand(const PlacedBand& placed) { m_pages.back().bands.push_back(placed); }
    void addText(std::string_view utf8);
    std::uint32_t textCount() const { return static_cast<std::uint32_t>(m_textEnds.size()); }

private:
    std::string_view storedText(std::uint32_t index) const;

    ReportLayout m_layout;
    QString m_dateText;
    std::vector<PreparedPage> m_pages;
    // All record texts, UTF-8 back to back: a million records cost their
    // text and a few bytes each, not an object per text.
    std::string m_pool;
    std::vector<std::uint32_t> m_textEnds;
};

// Called now and then while preparing with the records done and their total;
// returning false cancels.
using PrepareProgress = std::function<bool(int done, int total)>;

// Walks `data` from its first record to its end with its display suspended
// (resumed also when the walk fails), leaving it on the last record. Returns
// no pages for an empty data set and nullopt when `progress` cancelled.
// Throws what the data set throws.
std::optional<PreparedReport> prepare(const ReportLayout& layout, store::DataSet& data,
                                      const QString& dateText,
                                      const PrepareProgress& progress = {});

// The first character of a UTF-8 text (a whole code point), empty for an empty text.
std::string firstCharacter(std::string_view utf8);

// Paints one prepared page, the whole sheet from its top-left corner, on the
// painter's device: millimetres become pixels by the device's logical DPI and
// fonts keep their point sizes, so screen images, printers and PDF files
// all come out alike.
void paintPage(QPainter& painter, const PreparedReport& report, int page);

// The page as an image at `dpi` dots per inch, on white paper.
QImage renderPage(const PreparedReport& report, int page, double dpi);

// Paints every page on a paged device (a PDF writer, a printer) already set
// up for the page size; false when the device cannot be painted on.
bool paintPages(QPagedPaintDevice& device, const PreparedReport& report);

// Writes the report as an A4 PDF file; false when the file cannot be written.
bool writePdf(const PreparedReport& report, const QString& fileName);

} // namespace reports
