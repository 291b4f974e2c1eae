#include "calculators/WeightGraph.h"

#include "store/DataSet.h"

#include <QPainter>

#include <charconv>
#include <string>

namespace calculators {

namespace {

constexpr int kLongLines[] = {0, 50, 100, 150};
constexpr int kShortTicks[] = {10, 20, 30, 40, 60, 70, 80, 90, 110, 120, 130, 140, 160};
constexpr int kTickLength = 3;
constexpr int kMarginLongFrom = 17;
constexpr int kMarginShortFrom = 18;
constexpr int kMarginTo = 20;

const QColor kScaleBlue(0, 0, 255);
const QColor kBarOutline(255, 0, 0);
const QColor kBarFill(255, 255, 255);

int wholeNumber(const std::string& text)
{
    int value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

} // namespace

QRect barRect(int n, int weight, int areaHeight)
{
    const int left = kBarPitch * n + 2;
    const int base = baselineY(areaHeight);
    // A negative weight hangs below the baseline.
    const int top = std::min(base - weight, base);
    const int bottom = std::max(base - weight, base);
    return QRect(left, top, kBarWidth, bottom - top);
}

std::vector<ScaleLine> areaScale(int areaWidth, int areaHeight)
{
    std::vector<ScaleLine> lines;
    for (int kg : kLongLines)
        lines.push_back({0, weightY(kg, areaHeight), areaWidth});
    for (int kg : kShortTicks)
        lines.push_back({0, weightY(kg, areaHeight), kTickLength});
    return lines;
}

std::vector<ScaleLine> marginScale(int areaHeight)
{
    std::vector<ScaleLine> lines;
    for (int kg : kLongLines)
        lines.push_back({kMarginLongFrom, weightY(kg, areaHeight), kMarginTo});
    for (int kg : kShortTicks)
        lines.push_back({kMarginShortFrom, weightY(kg, areaHeight), kMarginTo});
    return lines;
}

std::vector<int> labelledWeights()
{
    return {std::begin(kLongLines), std::end(kLongLines)};
}

std::vector<int> weightsOf(const store::DataSet& data, const QString& name)
{
    std::vector<int> weights;
    if (!data.isActive())
        return weights;
    const int nameField = data.fieldIndex("Jméno");
    const int weightField = data.fieldIndex("Váha");
    const std::string wanted = name.toStdString();
    for (int row = data.rowCount() - 1; row >= 0; --row) {
        if (data.rowText(row, nameField) == wanted)
            weights.push_back(wholeNumber(data.rowText(row, weightField)));
    }
    return weights;
}

void paintWeightGraph(GraphCanvas& canvas, const std::vector<int>& weights, const QRect& exposed,
                      int areaWidth, int areaHeight)
{
    for (const ScaleLine& line : areaScale(areaWidth, areaHeight))
        canvas.scaleLine(line);
    // Only the bars in the exposed columns: the area is 30000 pixels wide.
    const int firstBar = std::max(0, (exposed.left() - 2 - kBarWidth) / kBarPitch);
    const int lastBar = std::min(static_cast<int>(weights.size()) - 1,
                                 std::min(exposed.right(), areaWidth) / kBarPitch + 1);
    for (int n = firstBar; n <= lastBar; ++n) {
        const QRect rect = barRect(n, weights[static_cast<std::size_t>(n)], areaHeight);
        if (rect.left() < areaWidth && rect.intersects(exposed))
            canvas.bar(rect);
    }
}

void PainterCanvas::scaleLine(const ScaleLine& line)
{
    m_painter.setPen(kScaleBlue);
    m_painter.drawLine(line.x1, line.y, line.x2 - 1, line.y);
}

void PainterCanvas::bar(const QRect& rect)
{
    if (rect.height() <= 0)
        return;
    m_painter.setPen(kBarOutline);
    m_painter.setBrush(kBarFill);
    // A pen-drawn rectangle covers one pixel more each way than its size.
    m_painter.drawRect(rect.adjusted(0, 0, -1, -1));
}

} // namespace calculators
