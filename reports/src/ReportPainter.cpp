#include "reports/ReportEngine.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>

namespace reports {

namespace {

constexpr double kMmPerInch = 25.4;

QFont itemFont(const ReportFont& font)
{
    QFont result(font.family);
    result.setPointSizeF(font.pointSize);
    result.setBold(font.bold);
    return result;
}

} // namespace

void paintPage(QPainter& painter, const PreparedReport& report, int page)
{
    QPaintDevice* device = painter.device();
    const double xScale = device->logicalDpiX() / kMmPerInch;
    const double yScale = device->logicalDpiY() / kMmPerInch;
    const ReportLayout& layout = report.layout();
    const PageSetup& setup = layout.page;
    const double bandWidthMm = setup.contentWidthMm();

    painter.save();
    for (const PlacedBand& placed : report.pages().at(page).bands) {
        const ReportBand& band = layout.bands.at(placed.band);
        // Whole device pixels, so bands meeting at a fraction of a pixel
        // show no seam of blended background between them.
        const double top = std::round((setup.topMm + placed.topMm) * yScale);
        const double bottom = std::round((setup.topMm + placed.topMm + band.heightMm) * yScale);
        const double left = std::round(setup.leftMm * xScale);
        const double right = std::round((setup.leftMm + bandWidthMm) * xScale);
        const QRectF bandRect(left, top, right - left, bottom - top);
        painter.setClipping(false);
        painter.fillRect(bandRect, band.background);
        // Nothing of an item shows outside its band.
        painter.setClipRect(bandRect);
        for (std::size_t i = 0; i < band.items.size(); ++i) {
            const QString text = report.itemText(placed, i, page);
            if (text.isEmpty())
                continue;
            const ReportItem& item = band.items[i];
            painter.setFont(itemFont(item.font));
            painter.setPen(item.colour);
            const QFontMetricsF metrics(painter.font(), device);
            const double room = itemWidthLimitMm(band, i, bandWidthMm) * xScale;
            const QString shown = metrics.elidedText(text, Qt::ElideRight, room);
            painter.drawText(QPointF(bandRect.left() + item.xMm * xScale,
                                     bandRect.top() + item.yMm * yScale + metrics.ascent()),
                             shown);
        }
    }
    painter.restore();
}

QImage renderPage(const PreparedReport& report, int page, double dpi)
{
    // Whole dots per inch, so the image's size and the painter's scale agree.
    const int dots = std::max(1, qRound(dpi));
    const PageSetup& setup = report.layout().page;
    QImage image(qRound(setup.widthMm / kMmPerInch * dots),
                 qRound(setup.heightMm / kMmPerInch * dots), QImage::Format_RGB32);
    const int dotsPerMetre = qRound(dots / 0.0254);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    paintPage(painter, report, page);
    return image;
}

bool paintPages(QPagedPaintDevice& device, const PreparedReport& report)
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    for (int page = 0; page < report.pageCount(); ++page) {
        if (page > 0 && !device.newPage()) {
            painter.end();
            return false;
        }
        paintPage(painter, report, page);
    }
    return painter.end();
}

bool writePdf(const PreparedReport& report, const QString& fileName)
{
    const PageSetup& setup = report.layout().page;
    QPdfWriter writer(fileName);
    writer.setTitle(report.layout().name);
    writer.setPageLayout(
        QPageLayout(QPageSize(QSizeF(setup.widthMm, setup.heightMm), QPageSize::Millimeter),
                    QPageLayout::Portrait, QMarginsF(), QPageLayout::Millimeter));
    return paintPages(writer, report);
}

} // namespace reports
