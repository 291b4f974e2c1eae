// The world clock: the tick with the fake clock, the tones, paging by 15,
// and the timer running only while the window is shown.
#include "CalculatorsFixture.h"

#include "calculators/CasyForm.h"

#include "store/Catalogue.h"
#include "store/Cursor.h"
#include "store/Errors.h"
#include "widgets/DBGrid.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace calctest {
namespace {

class CasyFormTest : public CalculatorsFixture {
protected:
    void SetUp() override
    {
        CalculatorsFixture::SetUp();
        m_form = std::make_unique<calculators::TCasyForm>(*m_database);
        m_form->FormCreate();
    }
    void TearDown() override
    {
        m_form.reset();
        CalculatorsFixture::TearDown();
    }
    QString label(const char* name) const { return child<QLabel>(*m_form, name)->text(); }
    QToolButton* button(const char* name) const { return child<QToolButton>(*m_form, name); }
    // The current city's direction and difference, as the table keeps them.
    void setCity(const char* direction, const char* difference)
    {
        store::Cursor& table = m_form->TableCas();
        table.edit();
        table.setText("Směr", direction);
        table.setText("Posun", difference);
        table.post();
    }
    void tickAt(const QTime& time)
    {
        m_fakes.clock.setNow(QDateTime(QDate(2024, 3, 15), time));
        m_fakes.tones.clear();
        m_form->Timer1Timer();
    }

    std::unique_ptr<calculators::TCasyForm> m_form;
};

TEST_F(CasyFormTest, CreatedStoppedWithBothButtonsEnabled)
{
    EXPECT_EQ(m_form->windowTitle(), QStringLiteral("Časové odchylky měst"));
    EXPECT_FALSE(m_form->timer()->isActive());
    EXPECT_EQ(m_form->timer()->interval(), 1000);
    EXPECT_TRUE(button("SpeedButtonZacatek")->isEnabled());
    EXPECT_TRUE(button("SpeedButtonDale")->isEnabled());
    EXPECT_EQ(m_form->TableCas().currentRow(), 0);
    EXPECT_TRUE(label("LabelMesto").isEmpty());
    EXPECT_TRUE(label("LabelMistni").isEmpty());
    EXPECT_EQ(button("SpeedButtonDale")->toolTip(), QStringLiteral("+15 záznamů"));
    auto* grid = child<widgets::DBGrid>(*m_form, "DBGridCas");
    EXPECT_TRUE(grid->isReadOnly());
    EXPECT_EQ(grid->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("+/-"));
    EXPECT_EQ(grid->model()->headerData(3, Qt::Horizontal).toString(), QStringLiteral("Hod."));
}

// City time wraps round midnight both ways; the full minute sounds the high
// tone, every other second the simple beep.
TEST_F(CasyFormTest, TickShowsCityAndLocalTimeWithItsSound)
{
    setCity("+", "2:00");
    tickAt(QTime(23, 30, 0));
    EXPECT_EQ(label("LabelMesto"), QStringLiteral("1:30:00"));
    EXPECT_EQ(label("LabelMistni"), QStringLiteral("23:30:00"));
    EXPECT_EQ(m_fakes.tones.sounded(), (platform::ToneList{{3005, 60}}));
    EXPECT_EQ(m_fakes.tones.beeps(), 0);
    EXPECT_FALSE(m_fakes.tones.sounding());

    setCity("-", "5:00");
    tickAt(QTime(1, 0, 1));
    EXPECT_EQ(label("LabelMesto"), QStringLiteral("20:00:01"));
    EXPECT_EQ(label("LabelMistni"), QStringLiteral("1:00:01"));
    EXPECT_TRUE(m_fakes.tones.sounded().isEmpty());
    EXPECT_EQ(m_fakes.tones.beeps(), 1);

    setCity("", "3:30");
    tickAt(QTime(12, 0, 0));
    EXPECT_EQ(label("LabelMesto"), QStringLiteral("8:30:00"));

    // A city without a difference, and an empty table: no time, no failure.
    m_form->TableCas().edit();
    m_form->TableCas().setText("Posun", "");
    m_form->TableCas().post();
    tickAt(QTime(9, 5, 7));
    EXPECT_EQ(label("LabelMesto"), QStringLiteral("chybný posun"));
    EXPECT_EQ(label("LabelMistni"), QStringLiteral("9:05:07"));
    while (m_form->TableCas().rowCount() > 0)
        m_form->TableCas().remove();
    tickAt(QTime(9, 5, 8));
    EXPECT_TRUE(label("LabelMesto").isEmpty());
    EXPECT_EQ(label("LabelMistni"), QStringLiteral("9:05:08"));
}

// With 20 cities: "+15" from the first goes to the sixteenth with both
// enabled, then stops on the last and disables itself; "-15" likewise back.
TEST_F(CasyFormTest, PagingByFifteen)
{
    store::Cursor& table = m_form->TableCas();
    table.last();
    while (table.rowCount() > 20)
        table.remove();
    table.first();
    ASSERT_EQ(table.rowCount(), 20);

    QTest::mouseClick(button("SpeedButtonDale"), Qt::LeftButton);
    EXPECT_EQ(table.currentRow(), 15);
    EXPECT_TRUE(button("SpeedButtonZacatek")->isEnabled());
    EXPECT_TRUE(button("SpeedButtonDale")->isEnabled());
    QTest::mouseClick(button("SpeedButtonDale"), Qt::LeftButton);
    EXPECT_EQ(table.currentRow(), 19);
    EXPECT_FALSE(button("SpeedButtonDale")->isEnabled());
    EXPECT_TRUE(button("SpeedButtonZacatek")->isEnabled());

    QTest::mouseClick(button("SpeedButtonZacatek"), Qt::LeftButton);
    EXPECT_EQ(table.currentRow(), 4);
    EXPECT_TRUE(button("SpeedButtonDale")->isEnabled());
    EXPECT_TRUE(button("SpeedButtonZacatek")->isEnabled());
    QTest::mouseClick(button("SpeedButtonZacatek"), Qt::LeftButton);
    EXPECT_EQ(table.currentRow(), 0);
    EXPECT_FALSE(button("SpeedButtonZacatek")->isEnabled());

    // Any other move enables both again, as far as the ends allow.
    table.moveToRow(7);
    EXPECT_TRUE(button("SpeedButtonZacatek")->isEnabled());
    EXPECT_TRUE(button("SpeedButtonDale")->isEnabled());
    table.prior();
    table.first();
    EXPECT_FALSE(button("SpeedButtonZacatek")->isEnabled());
    EXPECT_EQ(child<QLabel>(*m_form, "DBTextMesto")->text(), QString::fromStdString(table.text("Město")));
}

// The clock runs only while the window is shown: "Zpět" and the close box stop it.
TEST_F(CasyFormTest, TimerRunsOnlyWhileShown)
{
    m_form->showClock();
    EXPECT_TRUE(m_form->isVisible());
    EXPECT_TRUE(m_form->timer()->isActive());
    QTest::mouseClick(child<QPushButton>(*m_form, "SpeedButtonZpet"), Qt::LeftButton);
    EXPECT_FALSE(m_form->isVisible());
    EXPECT_FALSE(m_form->timer()->isActive());

    m_form->showClock();
    m_form->close();
    EXPECT_FALSE(m_form->timer()->isActive());

    // The real timer drives the same tick.
    m_form->showClock();
    m_fakes.clock.setNow(QDateTime(QDate(2024, 3, 15), QTime(8, 15, 30)));
    QTest::qWait(1100);
    EXPECT_EQ(label("LabelMistni"), QStringLiteral("8:15:30"));
}

// A missing table stops the window's start-up with the store's error.
TEST_F(CasyFormTest, MissingTableFailsTheStartUp)
{
    m_form.reset();
    ASSERT_TRUE(QFile::remove(workPath(QStringLiteral("Data/Cas.DB"))));
    auto form = std::make_unique<calculators::TCasyForm>(*m_database);
    EXPECT_THROW(form->FormCreate(), store::StoreError);
}

} // namespace
} // namespace calctest
