#include "reports/ReportLayout.h"

#include <algorithm>

namespace reports {

namespace {

constexpr double kMmPerPoint = 25.4 / 72.0;
// A line of text is about this many times its font size high (ascent plus
// descent of Arial-like faces, with a little to spare).
constexpr double kLineHeightPerSize = 1.15;
// Room kept between an elided text and the item it would have run into.
constexpr double kGapMm = 1.0;

double lineHeightMm(const ReportItem& item)
{
    return item.font.pointSize * kMmPerPoint * kLineHeightPerSize;
}

bool sharesLine(const ReportItem& a, const ReportItem& b)
{
    return a.yMm < b.yMm + lineHeightMm(b) && b.yMm < a.yMm + lineHeightMm(a);
}

} // namespace

int ReportLayout::bandIndex(BandKind kind) const
{
    for (std::size_t i = 0; i < bands.size(); ++i)
        if (bands[i].kind == kind)
            return static_cast<int>(i);
    return -1;
}

double itemWidthLimitMm(const ReportBand& band, std::size_t item, double bandWidthMm)
{
    const ReportItem& self = band.items.at(item);
    double limit = bandWidthMm - self.xMm;
    for (std::size_t i = 0; i < band.items.size(); ++i) {
        const ReportItem& other = band.items[i];
        if (i != item && other.xMm > self.xMm && sharesLine(self, other))
            limit = std::min(limit, other.xMm - self.xMm - kGapMm);
    }
    return std::max(limit, 0.0);
}

} // namespace reports
