// The weight records window and the graph: adding from the calculator,
// deleting, the name selection and the bars of one person.
#include "CalculatorsFixture.h"

#include "calculators/FormData.h"
#include "calculators/FormGraf.h"
#include "calculators/HlavniForm.h"

#include "store/Cursor.h"
#include "store/Query.h"
#include "widgets/DBGrid.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace calctest {
namespace {

class FormDataTest : public CalculatorsFixture {
protected:
    void SetUp() override
    {
        CalculatorsFixture::SetUp();
        m_fakes.clock.setNow(QDateTime(QDate(2024, 3, 15), QTime(10, 0)));
        m_data = std::make_unique<calculators::TFormData>(*m_database);
        m_graph = std::make_unique<calculators::TFormGraf>(m_data->Table());
        m_calculator = std::make_unique<calculators::THlavniForm>();
        m_data->setCalculator(m_calculator.get());
        m_data->setGraph(m_graph.get());
        m_calculator->setRecordsWindow(m_data.get());
        showActive(*m_data);
    }
    void TearDown() override
    {
        m_graph.reset();
        m_calculator.reset();
        m_data.reset();
        CalculatorsFixture::TearDown();
    }

    void click(const char* name) { QTest::mouseClick(child<QPushButton>(*m_data, name), Qt::LeftButton); }
    widgets::DBGrid* grid() const { return child<widgets::DBGrid>(*m_data, "DBGrid"); }
    void calculate(const char* height, const char* weight)
    {
        child<QLineEdit>(*m_calculator, "EditVyska")->setText(QString::fromUtf8(height));
        child<QLineEdit>(*m_calculator, "EditVaha")->setText(QString::fromUtf8(weight));
        m_calculator->BitBtnVypocetClick();
    }
    // Adds the calculator's measurement under a name typed into the grid, and saves.
    void addMeasurement(const char* name, const char* height, const char* weight)
    {
        calculate(height, weight);
        click("BitBtnPridat");
        typeText(grid(), QString::fromUtf8(name));
        click("BitBtnUlozit");
    }
    QStringList names()
    {
        QStringList all;
        const int field = grid()->gridModel()->fieldIndexOf(0);
        for (int row = 0; row < grid()->model()->rowCount(); ++row)
            all << QString::fromStdString(grid()->dataSet()->rowText(row, field));
        return all;
    }

    std::unique_ptr<calculators::TFormData> m_data;
    std::unique_ptr<calculators::TFormGraf> m_graph;
    std::unique_ptr<calculators::THlavniForm> m_calculator;
};

// "Přidat" takes the calculator's three texts as they stand; the name is
// typed into the grid; the table dates the record.
TEST_F(FormDataTest, AddTakesTheCalculatorsTexts)
{
    calculate("180", "80");
    click("BitBtnPridat");
    store::Cursor& table = m_data->Table();
    EXPECT_EQ(table.state(), store::CursorState::Insert);
    EXPECT_EQ(table.text("Výška"), "180");
    EXPECT_EQ(table.text("Kategorie"), "NORMÁLNÍ VÁHA");
    EXPECT_EQ(QApplication::focusWidget(), grid());
    EXPECT_EQ(grid()->currentIndex().column(), 0);
    typeText(grid(), QStringLiteral("Jan Novák"));
    click("BitBtnUlozit");
    EXPECT_EQ(table.state(), store::CursorState::Browse);
    EXPECT_EQ(table.recordCount(), 1);
    EXPECT_EQ(table.text("Jméno"), "Jan Novák");
    EXPECT_EQ(table.text("Váha"), "80");
    EXPECT_EQ(table.text("Datum"), "15.3.2024");

    // Only the name can be typed into: the other columns stay as stored.
    grid()->setCurrentIndex(grid()->model()->index(0, 3));
    typeText(grid(), QStringLiteral("9"));
    EXPECT_EQ(table.state(), store::CursorState::Browse);

    // An empty calculator stores empty texts; "Zrušit" drops the new record.
    m_calculator->SmazEdity();
    click("BitBtnPridat");
    EXPECT_EQ(table.text("Výška"), "");
    EXPECT_EQ(table.text("Kategorie"), "");
    click("BitBtnZrusit");
    EXPECT_EQ(table.recordCount(), 1);
    EXPECT_TRUE(m_fakes.dialogs.shown().isEmpty());
}

// Texts typed into the calculator after a computation that are no whole
// numbers: a clear message, and no half-filled record left behind.
TEST_F(FormDataTest, AddRefusesTextsThatAreNoNumbers)
{
    child<QLineEdit>(*m_calculator, "EditVyska")->setText(QStringLiteral("sto"));
    click("BitBtnPridat");
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    EXPECT_EQ(m_fakes.dialogs.lastBox().text,
              QStringLiteral("Záznam nelze přidat: výška a váha v okně Váha musí být celá čísla (nebo prázdné)."));
    EXPECT_EQ(m_data->Table().state(), store::CursorState::Browse);
    EXPECT_EQ(m_data->Table().rowCount(), 0);
}

TEST_F(FormDataTest, DeleteAsksAndNamesTheRecord)
{
    click("BitBtnSmazat"); // nothing to delete: the table's own message, no question
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    EXPECT_EQ(m_fakes.dialogs.lastBox().text, QStringLiteral("Cannot perform this operation on an empty dataset"));

    addMeasurement("Eva", "165", "55");
    addMeasurement("Jan", "180", "80");
    m_fakes.dialogs.clear();
    m_fakes.dialogs.answerNext(platform::Button::No);
    click("BitBtnSmazat");
    EXPECT_EQ(m_fakes.dialogs.lastBox().text, QStringLiteral("Smazat záznam Jan z 15.3.2024?"));
    EXPECT_EQ(m_fakes.dialogs.lastBox().caption, QStringLiteral("Confirm"));
    EXPECT_EQ(names(), (QStringList{"Eva", "Jan"}));
    EXPECT_EQ(m_data->Table().currentRow(), 1);
    m_fakes.dialogs.answerNext(platform::Button::Yes);
    click("BitBtnSmazat");
    EXPECT_EQ(names(), QStringList{"Eva"});
}

// The selection: typed in capitals, any case and position matches, "%" and
// "_" keep their meaning, an apostrophe is only a letter; the beep confirms.
TEST_F(FormDataTest, SelectionByName)
{
    addMeasurement("Jan Novák", "180", "80");
    addMeasurement("Eva Nováková", "165", "55");
    addMeasurement("Petr Kovář", "175", "70");
    addMeasurement("O'Neil", "190", "95");
    click("BitBtnVybrat");
    auto* panel = child<QWidget>(*m_data, "PanelDotaz");
    auto* edit = child<QLineEdit>(*m_data, "Edit1");
    EXPECT_TRUE(panel->isVisible());
    EXPECT_FALSE(child<QPushButton>(*m_data, "BitBtnGraf")->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), edit);

    struct Case {
        const char* typed;
        const char* shown;
        QStringList found;
    };
    const Case cases[] = {
        {"nov", "NOV", {"Jan Novák", "Eva Nováková"}},
        {"ová", "OVÁ", {"Jan Novák", "Eva Nováková", "Petr Kovář"}},
        {"nováK", "NOVÁK", {"Jan Novák", "Eva Nováková"}},
        {"k%v", "K%V", {"Eva Nováková", "Petr Kovář"}},
        {"o_á", "O_Á", {"Jan Novák", "Eva Nováková", "Petr Kovář"}},
        {"o'n", "O'N", {"O'Neil"}},
        {"x", "X", {}},
    };
    for (const Case& c : cases) {
        edit->clear();
        typeText(edit, QString::fromUtf8(c.typed));
        EXPECT_EQ(edit->text(), QString::fromUtf8(c.shown));
        m_fakes.tones.clear();
        click("BitBtnVyber");
        EXPECT_EQ(grid()->dataSet(), &m_data->QueryDotaz());
        EXPECT_EQ(names(), c.found) << c.typed;
        EXPECT_EQ(m_fakes.tones.beeps(), 1);
    }
    EXPECT_TRUE(m_fakes.dialogs.shown().isEmpty());

    // A click into the input shows the whole table again, the panel stays.
    QTest::mouseClick(edit, Qt::LeftButton);
    EXPECT_EQ(grid()->dataSet(), &m_data->Table());
    EXPECT_TRUE(panel->isVisible());
    EXPECT_FALSE(child<QPushButton>(*m_data, "BitBtnGraf")->isEnabled());
    click("BitBtnVyber");
    click("BitBtnPanelZpet");
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(grid()->dataSet(), &m_data->Table());
    EXPECT_TRUE(child<QPushButton>(*m_data, "BitBtnGraf")->isEnabled());
    EXPECT_EQ(names().size(), 4);
}

TEST_F(FormDataTest, WhatNowPictureFollowsTheButton)
{
    auto* picture = child<QLabel>(*m_data, "ImageCoStim");
    EXPECT_FALSE(picture->isVisible());
    click("SpeedButtonCoStim");
    EXPECT_TRUE(picture->isVisible());
    EXPECT_EQ(picture->size(), QSize(200, 100));
    click("SpeedButtonCoStim");
    EXPECT_FALSE(picture->isVisible());
}

// "Graf" shows the current person's bars; the records window keeps its row;
// leaving the graph forgets the name.
TEST_F(FormDataTest, GraphShowsTheCurrentPersonsBars)
{
    addMeasurement("Jan", "180", "80");
    addMeasurement("Eva", "165", "55");
    addMeasurement("Jan", "180", "82");
    addMeasurement("Jan", "180", "79");
    m_data->Table().moveToRow(2);
    click("BitBtnGraf");
    ASSERT_TRUE(m_graph->isVisible());
    EXPECT_EQ(m_graph->name(), QStringLiteral("Jan"));
    EXPECT_EQ(child<QLabel>(*m_graph, "LabelJmeno")->text(), QStringLiteral("Jan"));

    QImage painted = m_graph->drawingArea()->grab(QRect(0, 0, 60, 225)).toImage();
    const QRgb red = qRgb(255, 0, 0);
    EXPECT_EQ(painted.pixel(2, 214 - 40), red);  // 79 kg, leftmost
    EXPECT_EQ(painted.pixel(5, 215 - 79), red);
    EXPECT_EQ(painted.pixel(14, 215 - 82), red); // 82 kg
    EXPECT_EQ(painted.pixel(23, 215 - 80), red); // 80 kg
    EXPECT_NE(painted.pixel(32, 200), red);      // Eva's is not Jan's
    EXPECT_EQ(m_data->Table().currentRow(), 2);

    // A new measurement stored meanwhile stands leftmost at the next repaint.
    store::Cursor& table = m_data->Table();
    table.append();
    table.setText("Jméno", "Jan");
    table.setText("Váha", "100");
    table.post();
    painted = m_graph->drawingArea()->grab(QRect(0, 0, 60, 225)).toImage();
    EXPECT_EQ(painted.pixel(5, 215 - 100), red);
    EXPECT_EQ(painted.pixel(14, 215 - 79), red);

    showActive(*m_graph);
    showActive(*m_data);
    EXPECT_TRUE(m_graph->name().isEmpty());
    click("BitBtnGraf");
    EXPECT_EQ(m_graph->name(), QStringLiteral("Jan"));
    QTest::mouseClick(child<QPushButton>(*m_graph, "BitBtnZpet"), Qt::LeftButton);
    EXPECT_FALSE(m_graph->isVisible());
    EXPECT_TRUE(m_graph->name().isEmpty());
}

} // namespace
} // namespace calctest
