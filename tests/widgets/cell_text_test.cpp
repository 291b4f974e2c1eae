// The grid lays each cell text out once and draws it from then on.

#include "WidgetsFixture.h"

#include "../../widgets/src/CellTextCache.h"
#include "widgets/DBGrid.h"

#include <QFontMetrics>
#include <QImage>
#include <QTest>

using widgets_test::WidgetsFixture;

namespace {

// A cached text must be the one that fits its room: a text laid out for a
// wider column, or in another font, would run over the next cell.
TEST(CellTextCacheTest, ElidesToTheRoomAndFontItIsAskedFor)
{
    widgets_test::ensureApplication();
    widgets::CellTextCache cache;
    QFont font;
    font.setPixelSize(12);
    const QString longText = QStringLiteral("Vodárenská a kanalizační společnost Přeštice");
    const int whole = QFontMetrics(font).horizontalAdvance(longText);

    const QStaticText fits = cache.text(longText, whole + 10, font);
    EXPECT_EQ(fits.text(), longText);

    const QStaticText cut = cache.text(longText, whole / 2, font);
    EXPECT_TRUE(cut.text().endsWith(QChar(0x2026))) << cut.text().toStdString();
    EXPECT_LE(cut.size().width(), whole / 2);

    // The same room again is the same layout; another is laid out anew.
    EXPECT_EQ(cache.text(longText, whole / 2, font).text(), cut.text());
    EXPECT_NE(cache.text(longText, whole / 3, font).text(), cut.text());

    QFont bigger = font;
    bigger.setPixelSize(24);
    const QStaticText big = cache.text(longText, whole / 2, bigger);
    EXPECT_LT(big.text().size(), cut.text().size());
    EXPECT_LE(big.size().width(), whole / 2);
}

TEST(CellTextCacheTest, KeepsNoMoreThanItsLimit)
{
    widgets_test::ensureApplication();
    widgets::CellTextCache cache(16);
    const QFont font;
    for (int i = 0; i < 100; ++i)
        cache.text(QString::number(i), 200, font);
    EXPECT_LE(cache.size(), 16);
    EXPECT_EQ(cache.text(QStringLiteral("7"), 200, font).text(), QStringLiteral("7"));
}

class GridPaintTest : public WidgetsFixture {
protected:
    void SetUp() override
    {
        WidgetsFixture::SetUp();
        addPeople({"Beneš", "Černý", "Dvořák"});
        m_grid = std::make_unique<widgets::DBGrid>();
        m_grid->setDataSet(m_cursor.get(), {{"Příjmení", "", 120}, {"Jméno", "", 80}});
        m_grid->resize(300, 200);
        showActive(*m_grid);
    }
    void TearDown() override
    {
        m_grid.reset();
        WidgetsFixture::TearDown();
    }
    QImage cellImage(int row, int column) const
    {
        const QRect rect = m_grid->visualRect(m_grid->model()->index(row, column));
        return m_grid->viewport()->grab(rect).toImage();
    }
    void setFirstName(int row, const std::string& name)
    {
        m_cursor->moveToRow(row);
        m_cursor->edit();
        m_cursor->setText("Jméno", name);
        m_cursor->post();
        QCoreApplication::processEvents();
    }
    std::unique_ptr<widgets::DBGrid> m_grid;
};

// A cell shows its record's current value: a cache that kept the text of
// the row painted before a save would show the old name.
TEST_F(GridPaintTest, ACellShowsTheValueSavedLast)
{
    m_cursor->moveToRow(1);
    QCoreApplication::processEvents();
    const QImage before = cellImage(1, 1);
    setFirstName(1, "");
    const QImage empty = cellImage(1, 1);
    EXPECT_NE(before, empty); // the text is drawn at all
    setFirstName(1, "Zdeněk");
    const QImage changed = cellImage(1, 1);
    EXPECT_NE(changed, empty);
    EXPECT_NE(changed, before);
    setFirstName(1, "JČerný");
    EXPECT_EQ(cellImage(1, 1), before);
}

} // namespace
