// The name-day window: today's row at start-up, the four navigation buttons,
// editing in place, the name search, the zodiac button and lists, printing.

#include "OrganiserFixture.h"

#include "organiser/GlyphButton.h"
#include "organiser/NameDayRules.h"
#include "organiser/Zodiac.h"

#include "store/CzechText.h"
#include "store/Errors.h"
#include "store/Query.h"
#include "tools/DataDir.h"
#include "widgets/DBGrid.h"
#include "widgets/DBNavigator.h"
#include "widgets/Pictures.h"

#include <QAbstractButton>
#include <QFile>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>
#include <QTreeWidget>

#include <fstream>

namespace organiser_test {
namespace {

class NameDayTest : public OrganiserFixture {
protected:
    store::Cursor& table() { return svatek().Table(); }
    int currentDay() { return static_cast<int>(table().integer("Číslo")); }
    widgets::DBGrid* grid() { return control<widgets::DBGrid>(svatek(), "DBGridSvatek"); }
    organiser::GlyphButton* signButton()
    {
        return control<organiser::GlyphButton>(svatek(), "BitBtnZverokruh");
    }
    bool enabled(const char* name)
    {
        return control<QAbstractButton>(svatek(), name)->isEnabled();
    }
    organiser::NavigationButtons buttons()
    {
        const bool backward = enabled("SpeedButtonPrvni");
        EXPECT_EQ(backward, enabled("SpeedButtonLevy"));
        const bool forward = enabled("SpeedButtonPravy");
        EXPECT_EQ(forward, enabled("SpeedButtonPosledni"));
        return {backward, forward};
    }
    // Changes one field of the calendar before the windows open.
    void changeDay(const std::string& key, const char* field, const std::string& value)
    {
        store::Database database(workDir() / "Data");
        database.registerPassword("pTl");
        store::Cursor cursor(database, "Svatek.db");
        cursor.open();
        for (cursor.first(); !cursor.eof(); cursor.next()) {
            if (cursor.text("Datum") == key) {
                cursor.edit();
                cursor.setText(field, value);
                cursor.post();
                return;
            }
        }
        FAIL() << key;
    }
    void search(const QString& text)
    {
        auto* edit = control<QLineEdit>(svatek(), "EditDotaz");
        edit->setText(text);
        click(svatek(), "SpeedButtonHledej");
    }
};

// Today's row is found by its key in stored order: the 5th lands on the 5th
// (not the 15th or 25th), 29 February only in a leap year, and the backward
// pair is off only when today's row is the first.
TEST_F(NameDayTest, StartUpPositioningOnToday)
{
    struct Case {
        QDate today;
        int day;
        organiser::NavigationButtons buttons;
        const char* sign;
    };
    const Case cases[] = {
        {QDate(2025, 1, 1), 1, {false, true}, "Kozoroh"},
        {QDate(2024, 5, 5), 126, {true, true}, "Býk"},
        {QDate(2023, 5, 1), 122, {true, true}, "Býk"},
        {QDate(2024, 2, 29), 60, {true, true}, "Ryby"},
        {QDate(2023, 2, 28), 59, {true, true}, "Ryby"},
        {QDate(2023, 3, 1), 61, {true, true}, "Ryby"},
        {QDate(2024, 3, 21), 81, {true, true}, "Skopec (Beran)"},
        {QDate(2025, 12, 31), 366, {true, true}, "Kozoroh"},
    };
    for (const Case& c : cases) {
        setToday(c.today);
        createWindows();
        EXPECT_EQ(currentDay(), c.day) << c.today.toString().toStdString();
        EXPECT_EQ(buttons(), c.buttons) << c.today.toString().toStdString();
        EXPECT_EQ(svatek().navigationButtons(), c.buttons);
        EXPECT_EQ(signButton()->text(), QString::fromUtf8(c.sign));
        EXPECT_EQ(grid()->currentIndex().row(), c.day - 1);
        destroyWindows();
    }
    EXPECT_TRUE(m_fakes.dialogs.shown().isEmpty());
}

// A day the calendar lacks (here a calendar of a common year) leaves the
// window on its first row, every button on.
TEST_F(NameDayTest, MissingDayStaysOnTheFirstRow)
{
    changeDay("29. únor", "Datum", "");
    setToday(QDate(2024, 2, 29));
    createWindows();
    EXPECT_EQ(currentDay(), 1);
    EXPECT_EQ(buttons(), (organiser::NavigationButtons{true, true}));
}

// The enabling table: a move of 15 cut short by an end turns its pair off,
// an exact one leaves it on; the other pair always comes on.
TEST_F(NameDayTest, NavigationButtons)
{
    struct Case {
        int fromRow; // 1-based, as the rows are counted
        const char* button;
        int toRow;
        organiser::NavigationButtons after;
    };
    const Case cases[] = {
        {10, "SpeedButtonLevy", 1, {false, true}},     {16, "SpeedButtonLevy", 1, {true, true}},
        {360, "SpeedButtonPravy", 366, {true, false}}, {351, "SpeedButtonPravy", 366, {true, true}},
        {200, "SpeedButtonLevy", 185, {true, true}},   {200, "SpeedButtonPravy", 215, {true, true}},
        {200, "SpeedButtonPrvni", 1, {false, true}},   {200, "SpeedButtonPosledni", 366, {true, false}},
    };
    createWindows();
    for (const Case& c : cases) {
        // Moves in the grid leave the buttons as they are; turn both pairs on first.
        if (!buttons().backward)
            click(svatek(), "SpeedButtonPravy");
        if (!buttons().forward)
            click(svatek(), "SpeedButtonLevy");
        table().moveToRow(c.fromRow - 1);
        EXPECT_EQ(buttons(), (organiser::NavigationButtons{true, true}));
        click(svatek(), c.button);
        EXPECT_EQ(currentDay(), c.toRow) << c.button << " from " << c.fromRow;
        EXPECT_EQ(buttons(), c.after) << c.button << " from " << c.fromRow;
    }
}

// Svátek and Výročí are edited in place; Enter saves, Esc drops, Datum stays
// read-only; the two navigator buttons work only while editing and beep.
TEST_F(NameDayTest, EditingInPlaceWithEnterEscAndTheNavigator)
{
    createWindows();
    svatek().show();
    widgets::DBGrid* g = grid();
    auto* navigator = control<widgets::DBNavigator>(svatek(), "DBNavigatorSvatek");
    QAbstractButton* save = navigator->button(widgets::DBNavigator::Button::Post);
    QAbstractButton* discard = navigator->button(widgets::DBNavigator::Button::Cancel);
    EXPECT_FALSE(save->isEnabled());
    EXPECT_EQ(save->toolTip(), QStringLiteral("Uložit změnu <Ent>"));
    EXPECT_EQ(discard->toolTip(), QStringLiteral("Neukládat <Esc>"));
    EXPECT_FALSE(g->model()->flags(g->model()->index(125, 0)) & Qt::ItemIsEditable);

    g->setCurrentIndex(g->model()->index(125, 2)); // Výročí of 5 May
    typeText(g, QStringLiteral("Svatba Jany"));
    EXPECT_TRUE(save->isEnabled());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(table().state(), store::CursorState::Browse);
    EXPECT_EQ(table().text("Výročí"), "Svatba Jany");
    EXPECT_FALSE(save->isEnabled());

    g->setCurrentIndex(g->model()->index(125, 1));
    typeText(g, QStringLiteral("Nic"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(table().state(), store::CursorState::Browse);
    EXPECT_EQ(table().text("Svátek"), "Klaudie");

    // The navigator: save beeps once and stores; discard beeps once and drops.
    g->setCurrentIndex(g->model()->index(126, 1));
    typeText(g, QStringLiteral("Radoslav, Radek"));
    g->commitOpenEditor();
    QTest::mouseClick(save, Qt::LeftButton);
    EXPECT_EQ(m_fakes.tones.beeps(), 1);
    table().edit();
    table().setText("Svátek", "pryč");
    QTest::mouseClick(discard, Qt::LeftButton);
    EXPECT_EQ(m_fakes.tones.beeps(), 2);

    destroyWindows();
    createWindows();
    table().moveToRow(125);
    EXPECT_EQ(table().text("Výročí"), "Svatba Jany");
    table().moveToRow(126);
    EXPECT_EQ(table().text("Svátek"), "Radoslav, Radek");
}

// The calendar keeps one row per day: the grid's Insert, Down past the last
// row and Ctrl+Del add and delete nothing and ask nothing.
TEST_F(NameDayTest, GridKeysNeverAddOrDeleteDays)
{
    createWindows();
    widgets::DBGrid* g = grid();
    showActive(svatek());
    table().last();
    g->setFocus();
    for (const auto& [key, modifiers] : {std::pair{Qt::Key_Insert, Qt::NoModifier},
                                         std::pair{Qt::Key_Down, Qt::NoModifier},
                                         std::pair{Qt::Key_Delete, Qt::ControlModifier}}) {
        QTest::keyClick(g, key, modifiers);
        EXPECT_EQ(table().state(), store::CursorState::Browse);
        EXPECT_EQ(table().rowCount(), 366);
    }
    EXPECT_TRUE(m_fakes.dialogs.shown().isEmpty());
    EXPECT_EQ(currentDay(), 366);
}

// The rows a pattern must find: every Svátek of the seed file whose upper-cased
// text matches it, "%" standing for any run of characters and "_" for one.
std::vector<std::string> expectedMatches(const std::string& pattern)
{
    QString regex;
    for (const QChar c : QString::fromStdString(store::czechUpper(pattern))) {
        if (c == QLatin1Char('%'))
            regex += QStringLiteral(".*");
        else if (c == QLatin1Char('_'))
            regex += QLatin1Char('.');
        else
            regex += QRegularExpression::escape(QString(c));
    }
    const QRegularExpression match(QStringLiteral("^.*") + regex + QStringLiteral(".*$"));
    std::ifstream seeds(tools::sourceSeedsDir() / "Svatek.tsv");
    std::vector<std::string> found;
    std::string line;
    bool header = false;
    while (std::getline(seeds, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        if (!header) {
            header = true;
            continue;
        }
        const std::string name = line.substr(line.find('\t') + 1, line.find('\t', line.find('\t') + 1) - line.find('\t') - 1);
        if (!name.empty() && match.match(QString::fromStdString(store::czechUpper(name))).hasMatch())
            found.push_back(name);
    }
    return found;
}

// The search lists every row whose Svátek contains the typed text whatever
// the case; "%" and "_" keep their wildcard meaning, a quote is just a letter.
TEST_F(NameDayTest, NameSearchWithWildcardsAndQuotes)
{
    createWindows();
    svatek().show();
    click(svatek(), "SpeedButtonHled");
    EXPECT_TRUE(control<QWidget>(svatek(), "PanelDotaz")->isVisible());
    EXPECT_EQ(control<QLineEdit>(svatek(), "EditDotaz")->text(), QStringLiteral("hledané jméno(část) "));
    table().moveToRow(200);

    for (const char* pattern : {"mar", "MAR", "ěj", "j%a", "j_n", "%", "a_a", "o'", "hledané jméno(část) "}) {
        search(QString::fromUtf8(pattern));
        EXPECT_TRUE(m_fakes.dialogs.shown().isEmpty()) << pattern;
        const std::vector<std::string> expected = expectedMatches(pattern);
        store::Query& query = svatek().QueryDotaz();
        std::vector<std::string> shown;
        for (int row = 0; row < grid()->model()->rowCount(); ++row)
            shown.push_back(grid()->model()->index(row, 1).data().toString().toStdString());
        EXPECT_EQ(shown, expected) << pattern;
        EXPECT_EQ(query.rowCount(), static_cast<int>(expected.size())) << pattern;
    }
    EXPECT_TRUE(expectedMatches("o'").empty());
    EXPECT_EQ(expectedMatches("%").size(), 366u);

    // The result cannot be edited; "Zpět" shows the table on the row it had.
    search(QStringLiteral("mar"));
    EXPECT_FALSE(grid()->model()->flags(grid()->model()->index(0, 1)) & Qt::ItemIsEditable);
    EXPECT_EQ(grid()->dataSet(), &svatek().QueryDotaz());
    click(svatek(), "SpeedButtonZpet");
    EXPECT_FALSE(control<QWidget>(svatek(), "PanelDotaz")->isVisible());
    EXPECT_EQ(grid()->dataSet(), &table());
    EXPECT_EQ(currentDay(), 201);
    EXPECT_EQ(grid()->currentIndex().row(), 200);
}

// The search field turns what is typed into small letters.
TEST_F(NameDayTest, SearchTextIsTypedInSmallLetters)
{
    createWindows();
    svatek().show();
    click(svatek(), "SpeedButtonHled");
    auto* edit = control<QLineEdit>(svatek(), "EditDotaz");
    edit->clear();
    typeText(edit, QStringLiteral("ŽOFIE"));
    EXPECT_EQ(edit->text(), QStringLiteral("žofie"));
}

// The button names the current row's sign with its picture and gap, on every
// change of row; a day number outside 1..366 changes nothing.
TEST_F(NameDayTest, SignFollowsTheCurrentRow)
{
    changeDay("10. leden", "Číslo", "0");
    setToday(QDate(2024, 5, 5));
    createWindows();
    EXPECT_EQ(signButton()->text(), QStringLiteral("Býk"));
    EXPECT_FALSE(signButton()->glyph().isNull());
    EXPECT_EQ(signButton()->spacing(), 30);
    table().moveToRow(89); // 30 March
    EXPECT_EQ(signButton()->text(), QStringLiteral("Skopec (Beran)"));
    EXPECT_EQ(signButton()->spacing(), 6);
    table().moveToRow(8); // 9 January
    EXPECT_EQ(signButton()->text(), QStringLiteral("Kozoroh"));
    table().moveToRow(49); // 19 February
    EXPECT_EQ(signButton()->text(), QStringLiteral("Ryby"));
    table().moveToRow(9); // 10 January, its number spoilt
    EXPECT_EQ(signButton()->text(), QStringLiteral("Ryby"));
    EXPECT_EQ(signButton()->toolTip(), QStringLiteral("Seznam znamení"));
    EXPECT_TRUE(m_fakes.dialogs.shown().isEmpty());
}

// The pictures the windows name are the ones the data directory's builder
// draws: every sign and both flowers load, with their background see-through.
TEST_F(NameDayTest, EveryPictureTheWindowsNameIsDrawn)
{
    QStringList files;
    for (const organiser::ZodiacSign& sign : organiser::zodiacSigns())
        files << sign.pictureFile;
    files << QStringLiteral("Obrazky/Kvetina1.bmp") << QStringLiteral("Obrazky/Kvetina2.bmp");
    for (const QString& file : files) {
        const QPixmap picture = widgets::loadPicture(file);
        EXPECT_EQ(picture.size(), QSize(32, 32)) << file.toStdString();
        const QImage image = picture.toImage();
        EXPECT_EQ(qAlpha(image.pixel(0, 31)), 0) << file.toStdString();
        // A glyph is drawn: some pixels stay, most of the square is background.
        int drawn = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                drawn += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
        EXPECT_GT(drawn, 30) << file.toStdString();
        EXPECT_LT(drawn, 32 * 32 / 2) << file.toStdString();
    }
}

// A missing picture is reported with its path; the caption has changed and
// the row stays current.
TEST_F(NameDayTest, MissingPictureIsReported)
{
    std::filesystem::remove(workDir() / "Obrazky" / "Rak.bmp");
    createWindows();
    table().moveToRow(180);
    QTRY_COMPARE(m_fakes.dialogs.shown().size(), 1);
    EXPECT_EQ(m_fakes.dialogs.lastBox().text, QStringLiteral("Cannot open file Obrazky/Rak.bmp"));
    EXPECT_EQ(m_fakes.dialogs.lastBox().caption, QStringLiteral("Pelmir a telefony"));
    EXPECT_EQ(signButton()->text(), QStringLiteral("Rak"));
    EXPECT_EQ(currentDay(), 181);
    // Further rows of the same sign ask for no picture again.
    table().moveToRow(181);
    QTest::qWait(10);
    EXPECT_EQ(m_fakes.dialogs.shown().size(), 1);
}

// The lists open from their buttons and close on a click anywhere over them,
// leaving the current row alone.
TEST_F(NameDayTest, ZodiacAndWeddingLists)
{
    createWindows();
    svatek().show();
    auto* zodiac = control<QTreeWidget>(svatek(), "ListViewZverokruh");
    auto* weddings = control<QTreeWidget>(svatek(), "ListViewSvatby");
    EXPECT_FALSE(zodiac->isVisible());
    EXPECT_FALSE(weddings->isVisible());
    ASSERT_EQ(zodiac->topLevelItemCount(), 12);
    EXPECT_EQ(zodiac->headerItem()->text(0), QStringLiteral("ZNAMENÍ"));
    EXPECT_EQ(zodiac->headerItem()->text(1), QStringLiteral("OBDOBÍ"));
    EXPECT_EQ(zodiac->topLevelItem(0)->text(0), QStringLiteral("Vodnář"));
    EXPECT_EQ(zodiac->topLevelItem(2)->text(0), QStringLiteral("Skopec"));
    EXPECT_EQ(zodiac->topLevelItem(11)->text(1), QStringLiteral("Od 22.prosince do 19.ledna"));
    EXPECT_FALSE(zodiac->topLevelItem(5)->icon(0).isNull());
    ASSERT_EQ(weddings->topLevelItemCount(), 15);
    EXPECT_EQ(weddings->headerItem()->text(0), QStringLiteral("Roků"));
    EXPECT_EQ(weddings->topLevelItem(8)->text(0), QStringLiteral("25"));
    EXPECT_EQ(weddings->topLevelItem(8)->text(1), QStringLiteral("Stříbrná svatba"));
    EXPECT_EQ(weddings->toolTip(), QStringLiteral("Klikni"));

    const int day = currentDay();
    QTest::mouseClick(signButton(), Qt::LeftButton);
    EXPECT_TRUE(zodiac->isVisible());
    QTest::mouseClick(zodiac->viewport(), Qt::LeftButton, {}, QPoint(20, 30));
    EXPECT_FALSE(zodiac->isVisible());
    click(svatek(), "SpeedButtonSvatby");
    EXPECT_TRUE(weddings->isVisible());
    QTest::mouseClick(weddings->viewport(), Qt::LeftButton, {}, QPoint(40, 60));
    EXPECT_FALSE(weddings->isVisible());
    EXPECT_EQ(currentDay(), day);
}

// Printing asks first, prints four lines per day (the anniversary line even
// when empty) and returns to the row, whose sign the button shows again.
TEST_F(NameDayTest, PrintingAsksAndPrintsFourLinesPerDay)
{
    changeDay("2. leden", "Výročí", "Babička 80");
    createWindows();
    table().moveToRow(200);
    const QString sign = signButton()->text();
    m_fakes.dialogs.answerNext(platform::Button::No);
    click(svatek(), "SpeedButtonTisk");
    EXPECT_EQ(m_fakes.dialogs.lastBox().text, QStringLiteral("Chcete vytisknout obsah přehledu svátků a výročí?"));
    EXPECT_EQ(m_fakes.dialogs.lastBox().caption, QStringLiteral("Confirm"));
    EXPECT_TRUE(m_fakes.printer.jobs().isEmpty());

    click(svatek(), "SpeedButtonTisk");
    ASSERT_EQ(m_fakes.printer.jobs().size(), 1);
    const platform::PrintJob job = m_fakes.printer.lastJob();
    EXPECT_TRUE(job.finished);
    QStringList lines;
    for (int page = 1; page <= job.pages; ++page)
        lines += job.pageLines(page);
    // An empty line after each day; one that ends a page leaves no trace.
    const QStringList printed = lines.filter(QRegularExpression(QStringLiteral(".")));
    ASSERT_EQ(printed.size(), 366 * 3);
    EXPECT_EQ(lines[0], QStringLiteral("DATUM:   1. leden"));
    EXPECT_EQ(lines[1], QStringLiteral("SVÁTEK:  Nový rok"));
    EXPECT_EQ(lines[2], QStringLiteral("Výročí:  "));
    EXPECT_EQ(lines[3], QString());
    EXPECT_EQ(lines[4], QStringLiteral("DATUM:   2. leden"));
    EXPECT_EQ(lines[6], QStringLiteral("Výročí:  Babička 80"));
    EXPECT_EQ(lines[7], QString());
    EXPECT_EQ(currentDay(), 201);
    EXPECT_EQ(signButton()->text(), sign);
}

// The calendar button opens the date picker for browsing, without OK.
TEST_F(NameDayTest, CalendarButtonOpensThePickerWithoutOk)
{
    createWindows();
    svatek().show();
    click(svatek(), "SpeedButtonKalendar");
    EXPECT_TRUE(kalendar().isVisible());
    EXPECT_FALSE(control<QWidget>(kalendar(), "BitBtnOK")->isVisible());
    click(svatek(), "BitBtnZpet");
    EXPECT_FALSE(svatek().isVisible());
}

// A calendar file that is missing or damaged stops the window with the store's error.
TEST_F(NameDayTest, DamagedCalendarFileIsReported)
{
    {
        QFile file(QString::fromStdString((workDir() / "Data" / "Svatek.DB").string()));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("no table here, only text that is long enough to be read as a header\n");
    }
    EXPECT_THROW(organiser::TSvatekForm form(*m_database), store::StoreError);
    std::filesystem::remove(workDir() / "Data" / "Svatek.DB");
    EXPECT_THROW(organiser::TSvatekForm form(*m_database), store::StoreError);
}

} // namespace
} // namespace organiser_test
