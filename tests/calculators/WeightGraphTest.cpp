// The graph's pixel rules, from the geometry to the painted pixels.
#include "CalculatorsFixture.h"

#include "calculators/WeightGraph.h"

#include "store/Cursor.h"

#include <QImage>
#include <QPainter>

namespace calctest {
namespace {

using calculators::barRect;
using calculators::ScaleLine;

// A canvas that remembers what was drawn.
class RecordingCanvas : public calculators::GraphCanvas {
public:
    void scaleLine(const ScaleLine& line) override { lines.push_back(line); }
    void bar(const QRect& rect) override { bars.push_back(rect); }
    std::vector<ScaleLine> lines;
    std::vector<QRect> bars;
};

// Bars stand on the baseline 10 pixels over the bottom (y = 215), 7 wide on a
// 9-pixel pitch; the 257th bar goes on to the right instead of wrapping to the left.
TEST(WeightGraph, BarGeometry)
{
    struct Case {
        int n, weight;
        QRect rect;
    };
    const Case cases[] = {
        {0, 79, QRect(2, 136, 7, 79)},   {1, 82, QRect(11, 133, 7, 82)}, {2, 80, QRect(20, 135, 7, 80)},
        {256, 70, QRect(2306, 145, 7, 70)}, {0, 215, QRect(2, 0, 7, 215)}, {0, 230, QRect(2, -15, 7, 230)},
        {3, 0, QRect(29, 215, 7, 0)},      {0, -5, QRect(2, 215, 7, 5)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(barRect(c.n, c.weight), c.rect) << c.n << " " << c.weight;
}

TEST(WeightGraph, ScaleLinesAndTicks)
{
    const auto area = calculators::areaScale();
    ASSERT_EQ(area.size(), 17u);
    EXPECT_EQ(area[0], (ScaleLine{0, 215, 30000}));   // 0 kg across the whole width
    EXPECT_EQ(area[3], (ScaleLine{0, 65, 30000}));    // 150 kg
    EXPECT_EQ(area[4], (ScaleLine{0, 205, 3}));       // 10 kg tick
    EXPECT_EQ(area.back(), (ScaleLine{0, 55, 3}));    // 160 kg tick
    const auto margin = calculators::marginScale();
    EXPECT_EQ(margin[1], (ScaleLine{17, 165, 20}));   // 50 kg, long
    EXPECT_EQ(margin[5], (ScaleLine{18, 195, 20}));   // 20 kg, short
}

class WeightRecordsTest : public CalculatorsFixture {
protected:
    void SetUp() override
    {
        CalculatorsFixture::SetUp();
        m_records = std::make_unique<store::Cursor>(*m_database, "Data.DB");
        m_records->open();
    }
    void TearDown() override
    {
        m_records.reset();
        CalculatorsFixture::TearDown();
    }
    void add(const char* name, const char* weight)
    {
        m_records->append();
        m_records->setText("Jméno", name);
        m_records->setText("Váha", weight);
        m_records->post();
    }
    std::unique_ptr<store::Cursor> m_records;
};

// Three measurements stored 80, 82, 79 draw 79 leftmost; other names, a name
// differing only in case or accent, and the position of the cursor do not matter.
TEST_F(WeightRecordsTest, RecordingPaintDrawsThePersonsBarsLatestFirst)
{
    add("Jan", "80");
    add("jan", "90");
    add("Eva", "60");
    add("Jan", "82");
    add("Ján", "70");
    add("Jan", "79");
    add("Jan", "");
    m_records->moveToRow(2);

    std::vector<int> weights = calculators::weightsOf(*m_records, QStringLiteral("Jan"));
    EXPECT_EQ(weights, (std::vector<int>{0, 79, 82, 80}));
    weights.erase(weights.begin()); // the measurement without a weight draws no bar either way
    RecordingCanvas canvas;
    calculators::paintWeightGraph(canvas, weights, QRect(0, 0, 459, 225));
    EXPECT_EQ(canvas.bars, (std::vector<QRect>{QRect(2, 136, 7, 79), QRect(11, 133, 7, 82), QRect(20, 135, 7, 80)}));
    EXPECT_EQ(canvas.lines.size(), 17u);
    EXPECT_EQ(m_records->currentRow(), 2); // read, never moved
    EXPECT_TRUE(calculators::weightsOf(*m_records, QString()).empty());
}

// Only the exposed columns are drawn: the area is 30000 pixels wide.
TEST(WeightGraph, PaintsOnlyTheExposedBars)
{
    const std::vector<int> weights(5000, 70);
    RecordingCanvas canvas;
    calculators::paintWeightGraph(canvas, weights, QRect(9000, 0, 459, 225));
    ASSERT_FALSE(canvas.bars.empty());
    EXPECT_LE(canvas.bars.size(), 53u);
    EXPECT_LE(canvas.bars.front().left(), 9000 + 8);
    EXPECT_GE(canvas.bars.front().right(), 9000);
    EXPECT_GE(canvas.bars.back().right(), 9458);
    for (const QRect& bar : canvas.bars)
        EXPECT_LT(bar.left(), 30000);
}

// Real pixels: red outline on the bar's edges (right and bottom exclusive),
// white inside, blue scale.
TEST(WeightGraph, PainterDrawsOutlineFillAndScale)
{
    calctest::ensureApplication();
    QImage image(60, 225, QImage::Format_RGB32);
    image.fill(Qt::lightGray);
    {
        QPainter painter(&image);
        calculators::PainterCanvas canvas(painter);
        calculators::paintWeightGraph(canvas, {79, 250}, image.rect(), 60);
    }
    const QRgb red = qRgb(255, 0, 0), white = qRgb(255, 255, 255), blue = qRgb(0, 0, 255);
    EXPECT_EQ(image.pixel(2, 200), red);   // left edge
    EXPECT_EQ(image.pixel(8, 200), red);   // right edge, x = 9 exclusive
    EXPECT_NE(image.pixel(9, 200), red);
    EXPECT_EQ(image.pixel(5, 136), red);   // top: 79 kg above the baseline
    EXPECT_NE(image.pixel(5, 135), red);
    EXPECT_EQ(image.pixel(5, 214), red);   // bottom row, the baseline itself is the scale's
    EXPECT_EQ(image.pixel(5, 200), white); // filled
    EXPECT_EQ(image.pixel(40, 215), blue); // 0 kg across
    EXPECT_EQ(image.pixel(40, 65), blue);  // 150 kg across
    EXPECT_EQ(image.pixel(1, 205), blue);  // 10 kg tick, 3 pixels
    EXPECT_NE(image.pixel(3, 205), blue);
    EXPECT_EQ(image.pixel(14, 0), white);  // 250 kg: cut off at the top
}

} // namespace
} // namespace calctest
