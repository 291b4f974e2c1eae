#include "reports/ReportEngine.h"

#include "store/DataSet.h"

#include <limits>
#include <stdexcept>
#include <utility>

namespace reports {

namespace {

// How many records pass between two progress reports.
constexpr int kProgressEvery = 256;

// Suspends the data set's display for a walk and resumes it however the walk ends.
class SuspendedDisplay {
public:
    explicit SuspendedDisplay(store::DataSet& data) : m_data(data) { m_data.disableControls(); }
    ~SuspendedDisplay() { m_data.enableControls(); }
    SuspendedDisplay(const SuspendedDisplay&) = delete;
    SuspendedDisplay& operator=(const SuspendedDisplay&) = delete;

private:
    store::DataSet& m_data;
};

// Lays bands out page by page as records come.
class Paginator {
public:
    Paginator(const ReportLayout& layout, store::DataSet& data, PreparedReport& report)
        : m_layout(layout), m_data(data), m_report(report)
    {
        m_title = layout.bandIndex(BandKind::Title);
        m_columnHeader = layout.bandIndex(BandKind::ColumnHeader);
        m_groupHeader = layout.bandIndex(BandKind::GroupHeader);
        m_detail = layout.bandIndex(BandKind::Detail);
        m_footer = layout.bandIndex(BandKind::PageFooter);
        m_footerTop = layout.page.contentHeightMm() - height(m_footer);
        for (const ReportBand& band : layout.bands) {
            std::vector<std::string> fields;
            for (const ReportItem& item : band.items)
                if (item.readsRecord())
                    fields.push_back(item.text.toStdString());
            m_fields.push_back(std::move(fields));
        }
        if (m_groupHeader >= 0)
            m_groupField = layout.bands[m_groupHeader].groupField.toStdString();
    }

    void startPage()
    {
        m_report.addPage();
        m_top = 0.0;
        if (m_report.pageCount() == 1)
            place(m_title);
        place(m_columnHeader);
        m_bodyTop = m_top;
    }

    void finishPage()
    {
        m_top = m_footerTop;
        place(m_footer);
    }

    void addRecord()
    {
        if (m_groupHeader >= 0) {
            std::string key = firstCharacter(m_data.text(m_groupField));
            if (!m_previousKey || key != *m_previousKey) {
                // A group header stays with its first record.
                makeRoom(height(m_groupHeader) + height(m_detail));
                place(m_groupHeader);
                m_previousKey = std::move(key);
            }
        }
        makeRoom(height(m_detail));
        place(m_detail);
    }

private:
    double height(int band) const { return band >= 0 ? m_layout.bands[band].heightMm : 0.0; }

    // Starts a new page unless the bands fit above the footer. A page that
    // holds no record yet keeps even a band too tall for it, so no layout
    // can make pages without end.
    void makeRoom(double needed)
    {
        constexpr double kTolerance = 1e-6;
        if (m_top + needed > m_footerTop + kTolerance && m_top > m_bodyTop + kTolerance) {
            finishPage();
            startPage();
        }
    }

    void place(int band)
    {
        if (band < 0)
            return;
        PlacedBand placed;
        placed.band = static_cast<std::uint16_t>(band);
        placed.topMm = static_cast<float>(m_top);
        placed.firstText = m_report.textCount();
        const ReportBand& layoutBand = m_layout.bands[band];
        std::size_t field = 0;
        for (const ReportItem& item : layoutBand.items) {
            if (!item.readsRecord())
                continue;
            const std::string text = m_data.text(m_fields[band][field++]);
            m_report.addText(item.content == ItemContent::FirstCharacter ? firstCharacter(text)
                                                                         : text);
        }
        m_report.addBand(placed);
        m_top += layoutBand.heightMm;
    }

    const ReportLayout& m_layout;
    store::DataSet& m_data;
    PreparedReport& m_report;
    int m_title = -1, m_columnHeader = -1, m_groupHeader = -1, m_detail = -1, m_footer = -1;
    double m_footerTop = 0.0;
    double m_top = 0.0;
    double m_bodyTop = 0.0;
    std::vector<std::vector<std::string>> m_fields; // per band, the fields its items read
    std::string m_groupField;
    std::optional<std::string> m_previousKey;
};

} // namespace

PreparedReport::PreparedReport(ReportLayout layout, QString dateText)
    : m_layout(std::move(layout)), m_dateText(std::move(dateText))
{
}

void PreparedReport::addText(std::string_view utf8)
{
    if (m_pool.size() + utf8.size() > std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("Sestava je příliš rozsáhlá.");
    m_pool.append(utf8);
    m_textEnds.push_back(static_cast<std::uint32_t>(m_pool.size()));
}

std::string_view PreparedReport::storedText(std::uint32_t index) const
{
    const std::uint32_t begin = index == 0 ? 0 : m_textEnds.at(index - 1);
    return std::string_view(m_pool).substr(begin, m_textEnds.at(index) - begin);
}

QString PreparedReport::itemText(const PlacedBand& placed, std::size_t item, int page) const
{
    const std::vector<ReportItem>& items = m_layout.bands.at(placed.band).items;
    const ReportItem& target = items.at(item);
    switch (target.content) {
    case ItemContent::Label:
        return target.text;
    case ItemContent::PrintDate:
        return m_dateText;
    case ItemContent::PageNumber:
        return QString::number(page + 1);
    case ItemContent::Field:
    case ItemContent::FirstCharacter:
        break;
    }
    std::uint32_t index = placed.firstText;
    for (std::size_t i = 0; i < item; ++i)
        if (items[i].readsRecord())
            ++index;
    const std::string_view text = storedText(index);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string firstCharacter(std::string_view utf8)
{
    if (utf8.empty())
        return {};
    const auto lead = static_cast<unsigned char>(utf8.front());
    std::size_t length = 1;
    if (lead >= 0xF0)
        length = 4;
    else if (lead >= 0xE0)
        length = 3;
    else if (lead >= 0xC0)
        length = 2;
    return std::string(utf8.substr(0, length));
}

std::optional<PreparedReport> prepare(const ReportLayout& layout, store::DataSet& data,
                                      const QString& dateText, const PrepareProgress& progress)
{
    PreparedReport report(layout, dateText);
    SuspendedDisplay suspended(data);
    data.first();
    if (data.eof())
        return report;
    const int total = data.recordCount();
    if (progress && !progress(0, total))
        return std::nullopt;

    Paginator paginator(report.layout(), data, report);
    paginator.startPage();
    int done = 0;
    for (; !data.eof(); data.next()) {
        paginator.addRecord();
        if (++done % kProgressEvery == 0 && progress && !progress(done, total))
            return std::nullopt;
    }
    paginator.finishPage();
    if (progress && !progress(total, total))
        return std::nullopt;
    return report;
}

} // namespace reports
