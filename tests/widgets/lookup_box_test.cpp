#include "WidgetsFixture.h"

#include "widgets/DBLookupComboBox.h"

#include "../../widgets/src/UniformListView.h"

#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStringListModel>
#include <QTest>

using widgets_test::WidgetsFixture;

namespace {

QStringList numberedRows(int count)
{
    QStringList rows;
    rows.reserve(count);
    for (int i = 0; i < count; ++i)
        rows << QStringLiteral("řádek %1").arg(i);
    return rows;
}

// The list places rows by their number: what a point shows, what a row's
// rectangle holds and where the scroll bar stands must agree, or a click
// chooses another row than the one under the mouse.
TEST(UniformListView, PointsRowsAndScrollingAgree)
{
    widgets_test::ensureApplication();
    QStringListModel model(numberedRows(100000));
    widgets::UniformListView view;
    view.setModel(&model);
    view.resize(200, 10 * view.rowHeight() + 2 * view.frameWidth());
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    ASSERT_EQ(view.visibleRows(), 10);
    EXPECT_EQ(view.verticalScrollBar()->maximum(), 100000 - 10);

    view.scrollTo(model.index(54321), QAbstractItemView::PositionAtTop);
    EXPECT_EQ(view.firstVisibleRow(), 54321);
    const QModelIndex third = model.index(54323);
    const QRect rect = view.visualRect(third);
    EXPECT_EQ(view.indexAt(rect.center()), third);

    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, rect.center());
    EXPECT_EQ(view.currentIndex(), third);
    EXPECT_TRUE(view.selectionModel()->isSelected(third));

    // A row far below the screen is out of sight, not wrapped round onto it.
    EXPECT_FALSE(view.viewport()->rect().intersects(view.visualRect(model.index(99999))));
    view.scrollTo(model.index(54000)); // above: it becomes the first row
    EXPECT_EQ(view.firstVisibleRow(), 54000);
    view.scrollTo(model.index(54100)); // below: it becomes the last row
    EXPECT_EQ(view.firstVisibleRow(), 54100 - 9);
}

// The keys move the current row by one, by a page and to either end.
TEST(UniformListView, KeysMoveTheCurrentRow)
{
    widgets_test::ensureApplication();
    QStringListModel model(numberedRows(1000));
    widgets::UniformListView view;
    view.setModel(&model);
    view.resize(200, 10 * view.rowHeight() + 2 * view.frameWidth());
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    view.setCurrentIndex(model.index(0));
    const struct {
        Qt::Key key;
        int row;
    } steps[] = {{Qt::Key_Down, 1},  {Qt::Key_PageDown, 11}, {Qt::Key_Up, 10},
                 {Qt::Key_End, 999}, {Qt::Key_Down, 999},    {Qt::Key_PageUp, 989},
                 {Qt::Key_Home, 0},  {Qt::Key_Up, 0}};
    for (const auto& step : steps) {
        QTest::keyClick(&view, step.key);
        EXPECT_EQ(view.currentIndex().row(), step.row) << step.key;
        EXPECT_TRUE(view.viewport()->rect().contains(view.visualRect(view.currentIndex())));
    }
}

class LookupBoxTest : public WidgetsFixture {
protected:
    void SetUp() override
    {
        WidgetsFixture::SetUp();
        std::vector<std::string> people;
        for (int i = 0; i < 60; ++i)
            people.push_back("Adam" + std::to_string(100 + i));
        people.insert(people.end(), {"Beneš", "Černý", "Dvořák", "Novák", "Novotný"});
        addPeople(people);
        m_box.setDataSet(m_cursor.get());
        m_box.setDataField(QStringLiteral("Příjmení"));
        showActive(m_box);
    }
    void TearDown() override
    {
        m_box.hidePopup();
        m_box.setDataSet(nullptr);
        WidgetsFixture::TearDown();
    }
    widgets::DBLookupComboBox m_box;
};

// Typing into the open list moves it to the entry found by the index; Enter
// chooses that entry, whatever the box showed before.
TEST_F(LookupBoxTest, TypingIntoTheOpenListFindsAndEnterChooses)
{
    QSignalSpy chosen(&m_box, &widgets::DBLookupComboBox::recordChosen);
    m_box.showPopup();
    QAbstractItemView* list = m_box.view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list));
    QTest::keyClicks(list, QStringLiteral("novo")); // keys on the list go to the text
    EXPECT_EQ(m_box.lineEdit()->text(), QStringLiteral("Novotný"));
    EXPECT_EQ(list->currentIndex().data().toString(), QStringLiteral("Novotný"));
    EXPECT_TRUE(list->viewport()->rect().contains(list->visualRect(list->currentIndex()).center()));
    QTest::keyClick(list, Qt::Key_Up);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_FALSE(list->isVisible());
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(m_cursor->text("Příjmení"), "Novák");
}

// A click on a row of the open list chooses the row under the mouse.
TEST_F(LookupBoxTest, ClickInTheOpenListChoosesTheRowUnderTheMouse)
{
    QSignalSpy chosen(&m_box, &widgets::DBLookupComboBox::recordChosen);
    m_box.showPopup();
    QAbstractItemView* list = m_box.view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list));
    QTest::keyClicks(m_box.lineEdit(), QStringLiteral("Be"));
    const QModelIndex below = list->model()->index(list->currentIndex().row() + 2, 0);
    ASSERT_EQ(below.data().toString(), QStringLiteral("Dvořák"));
    const QPoint at = list->visualRect(below).center();
    QTest::mouseMove(list->viewport(), at);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(m_cursor->text("Příjmení"), "Dvořák");
}

} // namespace
