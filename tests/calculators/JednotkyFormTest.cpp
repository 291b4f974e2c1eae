// The unit conversion window driven as a user drives it: clicks in the
// lists, typing in the input, changing pages.
#include "CalculatorsFixture.h"

#include "calculators/JednotkyForm.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

namespace calctest {
namespace {

enum Page { Length = 0, Weight = 1, Temperature = 6 };

class JednotkyFormTest : public CalculatorsFixture {
protected:
    void SetUp() override
    {
        CalculatorsFixture::SetUp();
        m_form = std::make_unique<calculators::TJednotkyForm>();
        showActive(*m_form);
    }
    void TearDown() override
    {
        m_form.reset();
        CalculatorsFixture::TearDown();
    }

    QListWidget* list(int page, bool to) const
    {
        return child<QListWidget>(*m_form, calculators::TJednotkyForm::listName(page, to).toLatin1().constData());
    }
    void choose(int page, int from, int to)
    {
        clickItem(list(page, false), from);
        clickItem(list(page, true), to);
    }
    void input(const QString& text)
    {
        QLineEdit* edit = field("EditZadani");
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        typeText(edit, text);
    }
    QLineEdit* field(const char* name) const { return child<QLineEdit>(*m_form, name); }
    QLabel* label(const char* name) const { return child<QLabel>(*m_form, name); }
    QString result() const { return field("EditVysledek")->text(); }
    QLabel* warning() const { return label("Blabel1"); }

    std::unique_ptr<calculators::TJednotkyForm> m_form;
};

// At creation: the first page, nothing chosen, input "1" with the focus.
TEST_F(JednotkyFormTest, StartsOnTheFirstPageWithNothingChosen)
{
    auto* pages = child<QTabWidget>(*m_form, "PageControl1");
    ASSERT_EQ(pages->count(), 10);
    EXPECT_EQ(pages->currentIndex(), 0);
    EXPECT_EQ(pages->tabText(9), QStringLiteral("Rychlost"));
    EXPECT_EQ(m_form->windowTitle(), QStringLiteral("Převody jednotek"));
    EXPECT_EQ(field("EditZadani")->text(), QStringLiteral("1"));
    EXPECT_EQ(QApplication::focusWidget(), field("EditZadani"));
    EXPECT_TRUE(result().isEmpty());
    EXPECT_FALSE(warning()->isVisible());
    EXPECT_TRUE(list(Length, false)->selectedItems().isEmpty());
    EXPECT_EQ(list(Temperature, true)->objectName(), QStringLiteral("ListBox16"));
    EXPECT_EQ(list(Length, true)->count(), 9);
}

// Mouse release over a list and every keystroke recompute; labels name the units.
TEST_F(JednotkyFormTest, ClicksAndTypingRecompute)
{
    input(QStringLiteral("5"));
    EXPECT_EQ(result(), QStringLiteral("0.0000000000")); // no units yet: the last result, 0
    EXPECT_EQ(label("Label1")->text(), QStringLiteral("Zadání"));

    choose(Length, 0, 1);
    input(QStringLiteral("1"));
    EXPECT_EQ(result(), QStringLiteral("0.0006213712"));
    EXPECT_EQ(label("Label1")->text(), QStringLiteral("metr"));
    EXPECT_EQ(label("Label2")->text(), QStringLiteral("míle"));

    input(QStringLiteral("1,5")); // a decimal comma is no number
    EXPECT_EQ(result(), QStringLiteral("0.0000000000"));

    input(QStringLiteral("1e3"));
    clickItem(list(Length, true), 2); // metre to millimetre, by the mouse
    EXPECT_EQ(result(), QStringLiteral("1000000.0000000000"));
    EXPECT_EQ(label("Label2")->text(), QStringLiteral("milimetr"));

    // The keyboard alone moves the selection without recomputing.
    list(Length, false)->setFocus();
    QTest::keyClick(list(Length, false), Qt::Key_Down);
    EXPECT_EQ(list(Length, false)->selectedItems().value(0)->text(), QStringLiteral("Míle"));
    EXPECT_EQ(result(), QStringLiteral("1000000.0000000000"));
    clickItem(list(Length, false), 1);
    EXPECT_EQ(result(), QStringLiteral("1609344000.0000000000"));
    EXPECT_EQ(label("Label2")->text(), QStringLiteral("mm"));
}

// Below absolute zero the warning shows beside the result; it goes with a
// valid result and with a click into a temperature list.
TEST_F(JednotkyFormTest, TemperatureWarning)
{
    child<QTabWidget>(*m_form, "PageControl1")->setCurrentIndex(Temperature);
    choose(Temperature, 0, 2); // Celsius to Kelvin
    input(QStringLiteral("-300"));
    EXPECT_EQ(result(), QStringLiteral("-26.8500000000"));
    EXPECT_TRUE(warning()->isVisible());
    EXPECT_EQ(warning()->text(), QStringLiteral("Výsledek nemá smysl, teplota 0°K je absolutní nula"));
    EXPECT_EQ(label("Label2")->text(), QStringLiteral("°K"));

    input(QStringLiteral("-273.15"));
    EXPECT_EQ(result(), QStringLiteral("0.0000000000"));
    EXPECT_FALSE(warning()->isVisible());

    input(QStringLiteral("-500"));
    ASSERT_TRUE(warning()->isVisible());
    // The press of a click hides it; the release recomputes and shows it again.
    QListWidget* to = list(Temperature, true);
    QTest::mousePress(to->viewport(), Qt::LeftButton, {}, to->visualItemRect(to->item(1)).center());
    EXPECT_FALSE(warning()->isVisible());
    QTest::mouseRelease(to->viewport(), Qt::LeftButton, {}, to->visualItemRect(to->item(1)).center());
    EXPECT_TRUE(warning()->isVisible());
    EXPECT_EQ(warning()->text(), QStringLiteral("Výsledek nemá smysl, teplota -459.67°F je absolutní nula"));
    EXPECT_EQ(result(), QStringLiteral("-868.0000000000"));
}

// Leaving a page resets input, result, labels and warning; the selections and
// the last result stay, so a page without units shows the last result again.
TEST_F(JednotkyFormTest, LeavingAPageResetsButKeepsSelections)
{
    auto* pages = child<QTabWidget>(*m_form, "PageControl1");
    choose(Length, 0, 2);
    pages->setCurrentIndex(Weight);
    choose(Weight, 4, 1); // tonne to carat
    EXPECT_EQ(result(), QStringLiteral("5000000.0000000000"));
    input(QStringLiteral("2"));
    EXPECT_EQ(result(), QStringLiteral("10000000.0000000000"));

    pages->setCurrentIndex(Temperature);
    EXPECT_EQ(field("EditZadani")->text(), QStringLiteral("1"));
    EXPECT_TRUE(result().isEmpty());
    EXPECT_EQ(label("Label1")->text(), QStringLiteral("Zadání"));
    EXPECT_EQ(label("Label2")->text(), QStringLiteral("Výsledek"));
    EXPECT_EQ(QApplication::focusWidget(), field("EditZadani"));
    // The input went back to "1" while the weight page was still the one converted.
    EXPECT_EQ(static_cast<double>(m_form->lastResult()), 5000000.0);

    input(QStringLiteral("7"));
    EXPECT_EQ(result(), QStringLiteral("5000000.0000000000"));
    EXPECT_EQ(label("Label1")->text(), QStringLiteral("Zadání"));

    pages->setCurrentIndex(Weight);
    EXPECT_EQ(list(Weight, false)->selectedItems().value(0)->text(), QStringLiteral("Tuna"));
    input(QStringLiteral("3"));
    EXPECT_EQ(result(), QStringLiteral("15000000.0000000000"));
}

// A number beyond what can be converted says so instead of showing infinity.
TEST_F(JednotkyFormTest, OutOfRangeSaysSoInCzech)
{
    choose(Length, 0, 2);
    input(QStringLiteral("1e4931"));
    EXPECT_TRUE(result().isEmpty());
    EXPECT_TRUE(warning()->isVisible());
    EXPECT_EQ(warning()->text(), QStringLiteral("Číslo je mimo rozsah, který lze převést. Zadejte menší číslo."));
    input(QStringLiteral("2"));
    EXPECT_EQ(result(), QStringLiteral("2000.0000000000"));
    EXPECT_FALSE(warning()->isVisible());
}

TEST_F(JednotkyFormTest, BackHidesAndKeepsEverything)
{
    choose(Length, 0, 1);
    QTest::mouseClick(child<QPushButton>(*m_form, "BitBtn1"), Qt::LeftButton);
    EXPECT_FALSE(m_form->isVisible());
    m_form->show();
    EXPECT_EQ(result(), QStringLiteral("0.0006213712"));
}

} // namespace
} // namespace calctest
