// The appliance register: its grid, search and toolbar, the repair entry and
// the printed list.

#include "DirectoriesFixture.h"

#include "directories/ApplianceRegister.h"
#include "directories/VyrobForm.h"

#include "widgets/DBComboBox.h"
#include "widgets/DBDateEdit.h"
#include "widgets/DBGrid.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextCharFormat>
#include <QToolButton>

namespace dirtest {
namespace {

using platform::ToneList;

const QString kRepairQuestion = QStringLiteral(
    "Údaje o opravě které vkládáte, nelze smazat zvlášť.\n\nMůžete smazat pouze celý výrobek i s daty o "
    "opravách.\n\nMám je tedy uložit?");

class VyrobTest : public DirectoriesTest {
protected:
    void SetUp() override
    {
        DirectoriesTest::SetUp();
        addRecords("Vyrob.db", {{"Lednice", "Calex", "L-100", "3.4.2021", "3.4.2023", "8 990 Kč", "Elektro Brno",
                                 "kuchyně", "Servis Brno", "dvoudveřová"},
                                {"Myčka", "Bosch", "SMS2", "1.6.2022", "1.6.2024", "11 500 Kč", "Datart", "kuchyně",
                                 "", ""},
                                {"Pračka", "Whirlpool", "W7", "", "", "", "", "koupelna", "", ""},
                                {"Televizor", "Sony", "", "", "", "", "", "obývák", "", ""}});
        open();
    }
    void TearDown() override
    {
        stopModelChecks();
        m_form.reset();
        DirectoriesTest::TearDown();
    }
    void open()
    {
        stopModelChecks();
        m_form.reset();
        m_form = std::make_unique<directories::TVyrobForm>(database());
        m_form->FormCreate();
        showActive(*m_form);
        checkModel(grid()->model());
        m_fakes.tones.clear();
        m_fakes.dialogs.clear();
    }
    directories::TVyrobForm& form() { return *m_form; }
    store::Cursor& table() { return m_form->Table(); }
    template <typename T> T* control(const char* name) { return child<T>(*m_form, name); }
    widgets::DBGrid* grid() { return control<widgets::DBGrid>("DBGrid1"); }
    QString current() { return QString::fromStdString(table().text("Výrobek")); }
    bool saveEnabled() { return control<QToolButton>("ToolButtonPotvrd")->isEnabled(); }
    void goTo(const QString& product)
    {
        auto* search = control<QLineEdit>("HledEdit");
        search->clear();
        typeText(search, product);
        ASSERT_EQ(current(), product);
    }
    void typeDate(const char* field, const QString& text)
    {
        auto* date = control<widgets::DBDateEdit>(field);
        date->lineEdit()->selectAll();
        typeText(date->lineEdit(), text);
        key(Qt::Key_Return);
    }

    std::unique_ptr<directories::TVyrobForm> m_form;
};

// The ten columns with their titles in order, bold, dark green and whole.
TEST_F(VyrobTest, GridColumns)
{
    const QStringList expected = {"Výrobek",       "Výrobce",  "Číslo výrobku", "Datum koupě",    "Záruka do",
                                  "Cena",          "Prodejce", "Umístění výrobku", "Adresy opraven", "Poznámka"};
    QStringList titles;
    for (int c = 0; c < grid()->model()->columnCount(); ++c)
        titles << grid()->model()->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(titles, expected);
    EXPECT_EQ(grid()->model()->index(0, 6).data().toString(), QStringLiteral("Elektro Brno"));
    EXPECT_TRUE(grid()->horizontalHeader()->font().bold());
    EXPECT_EQ(grid()->horizontalHeader()->palette().color(QPalette::ButtonText), QColor(0, 60, 0));
    // Each title whole in its bold type ("Datum koupě" was cut).
    for (int c = 0; c < grid()->model()->columnCount(); ++c)
        EXPECT_GE(grid()->columnWidth(c), grid()->horizontalHeader()->sectionSizeHint(c)) << titles[c].toStdString();
    EXPECT_EQ(QApplication::focusWidget(), control<QLineEdit>("HledEdit"));
    EXPECT_FALSE(saveEnabled());
}

// The search takes the text as typed and lands on the first appliance at or
// after it; "Zpět" empties it, goes to the first appliance and hides.
TEST_F(VyrobTest, SearchAndBack)
{
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("my"), QStringLiteral("Myčka")},
        {QStringLiteral("p"), QStringLiteral("Pračka")},
        {QStringLiteral("pz"), QStringLiteral("Televizor")},
        {QString(), QStringLiteral("Lednice")},
    };
    auto* search = control<QLineEdit>("HledEdit");
    for (const auto& [typed, found] : cases) {
        SCOPED_TRACE(typed.toStdString());
        search->clear();
        typeText(search, typed);
        EXPECT_EQ(search->text(), typed);
        EXPECT_EQ(current(), found);
    }
    typeText(search, QStringLiteral("t"));
    click(form(), "SpeedButtonZpet");
    EXPECT_FALSE(form().isVisible());
    EXPECT_TRUE(search->text().isEmpty());
    EXPECT_EQ(current(), QStringLiteral("Lednice"));
}

// The toolbar's tones; Delete sounds after the answer whatever it is; a name
// that is there already stays in editing with the register's message.
TEST_F(VyrobTest, EditingToolbar)
{
    m_fakes.dialogs.answerNext(platform::Button::No);
    click(form(), "ToolButtonSmaz");
    EXPECT_EQ(m_fakes.dialogs.lastBox().text, QStringLiteral("Smazat záznam Lednice?"));
    EXPECT_EQ(m_fakes.tones.sounded(), (ToneList{{90, 150}}));
    EXPECT_EQ(table().recordCount(), 4);

    m_fakes.tones.clear();
    click(form(), "ToolButtonVloz");
    EXPECT_EQ(m_fakes.tones.sounded(), (ToneList{{400, 50}}));
    EXPECT_TRUE(saveEnabled());
    typeText(grid(), QStringLiteral("Myčka"));
    m_fakes.tones.clear();
    click(form(), "ToolButtonPotvrd");
    EXPECT_EQ(m_fakes.tones.sounded(), (ToneList{{400, 100}}));
    EXPECT_EQ(m_fakes.dialogs.lastBox().text, QStringLiteral("Nelze vložit dva stejné názvy výrobku."));
    EXPECT_EQ(table().state(), store::CursorState::Insert);
    EXPECT_TRUE(saveEnabled());
    m_fakes.tones.clear();
    click(form(), "ToolButtonZrus");
    EXPECT_EQ(m_fakes.tones.sounded(), (ToneList{{90, 70}, {0, 70}, {90, 70}}));
    EXPECT_EQ(table().recordCount(), 4);
    EXPECT_FALSE(saveEnabled());

    // A change typed into a cell does not enable Save and Discard.
    grid()->setFocus();
    clickCell(grid(), 0, 1);
    typeText(QApplication::focusWidget(), QStringLiteral("Gorenje"));
    EXPECT_FALSE(saveEnabled());
    key(Qt::Key_Down);
    EXPECT_EQ(column("Vyrob.db", "Výrobce").front(), QStringLiteral("Gorenje"));
}

// The repair entry appends "od - do   záruční" as the last line of the
// record of repairs and saves the appliance.
TEST_F(VyrobTest, RepairLines)
{
    struct Case {
        const char* what;
        QString before; // the record of repairs to start from
        QString from, to, warranty;
        int presses;
        QString after;
    };
    const Case cases[] = {
        {"empty fields", QString(), QString(), QString(), QString(), 1, QStringLiteral(" -    ")},
        {"dates and a warranty", QString(), QStringLiteral("1.2.2024"), QStringLiteral("15.02.2024"),
         QStringLiteral("Ano"), 1, QStringLiteral("1.2.2024 - 15.2.2024   Ano")},
        {"pressed twice", QString(), QStringLiteral("3.3.2024"), QString(), QStringLiteral("Ne"), 2,
         QStringLiteral("3.3.2024 -    Ne\n3.3.2024 -    Ne")},
        {"after earlier repairs", QStringLiteral("1.1.2020 - 2.1.2020   Ano"), QString(), QStringLiteral("5.5.2024"),
         QStringLiteral("jen část"), 1, QStringLiteral("1.1.2020 - 2.1.2020   Ano\n - 5.5.2024   jen část")},
        {"after a trailing line break", QStringLiteral("starší oprava\n"), QString(), QString(), QStringLiteral("Ne"),
         1, QStringLiteral("starší oprava\n -    Ne")},
    };
    const QStringList products = {"Lednice", "Myčka", "Pračka", "Televizor", "Lednice"};
    int i = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString product = products[i++];
        {
            store::Cursor cursor(database(), "Vyrob.db");
            cursor.open();
            ASSERT_TRUE(cursor.findKey(product.toStdString()));
            cursor.edit();
            for (const char* field : {"Oprava od", "Oprava do", "Záruční"})
                cursor.clearField(field);
            cursor.setText("Záruční opravy", c.before.toStdString());
            cursor.post();
        }
        goTo(product);
        if (!c.from.isEmpty())
            typeDate("DBDateEditOd", c.from);
        if (!c.to.isEmpty())
            typeDate("DBDateEditDo", c.to);
        if (!c.warranty.isEmpty()) {
            auto* combo = control<widgets::DBComboBox>("DBComboBoxZarucni");
            combo->lineEdit()->selectAll();
            typeText(combo->lineEdit(), c.warranty);
        }
        m_fakes.dialogs.clear();
        m_fakes.tones.clear();
        for (int press = 0; press < c.presses; ++press)
            click(form(), "ButtonOprava");
        ASSERT_EQ(m_fakes.dialogs.shown().size(), c.presses);
        EXPECT_EQ(m_fakes.dialogs.lastBox().text, kRepairQuestion);
        EXPECT_EQ(m_fakes.dialogs.lastBox().caption, QStringLiteral("Confirm"));
        EXPECT_TRUE(m_fakes.tones.sounded().isEmpty());
        EXPECT_EQ(table().state(), store::CursorState::Browse);
        EXPECT_EQ(control<QPlainTextEdit>("DBMemoOpravy")->toPlainText(), c.after);
        store::Cursor check(database(), "Vyrob.db");
        check.open();
        ASSERT_TRUE(check.findKey(product.toStdString()));
        EXPECT_EQ(QString::fromStdString(check.text("Záruční opravy")), c.after);
        // The fields keep the repair just entered.
        EXPECT_EQ(QString::fromStdString(check.text("Záruční")), c.warranty);
    }
}

// No to the question leaves the record of repairs alone and the typed fields
// pending; an empty register has no appliance to repair; the memo cannot be
// typed into.
TEST_F(VyrobTest, RepairEntryRefusals)
{
    typeDate("DBDateEditOd", QStringLiteral("2.2.2024"));
    m_fakes.dialogs.answerNext(platform::Button::No);
    click(form(), "ButtonOprava");
    EXPECT_EQ(table().state(), store::CursorState::Edit);
    EXPECT_EQ(QString::fromStdString(table().text("Oprava od")), QStringLiteral("2.2.2024"));
    EXPECT_TRUE(QString::fromStdString(table().text("Záruční opravy")).isEmpty());
    EXPECT_TRUE(control<QPlainTextEdit>("DBMemoOpravy")->isReadOnly());

    table().cancel();
    while (table().recordCount() > 0)
        table().remove();
    m_fakes.dialogs.clear();
    click(form(), "ButtonOprava");
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    EXPECT_EQ(m_fakes.dialogs.lastBox().caption, QStringLiteral("Information"));
    EXPECT_EQ(table().recordCount(), 0);
}

// The date fields: a text that is no date is refused with a warning and
// changes nothing; a day chosen in the calendar (weekends marked) is taken.
TEST_F(VyrobTest, DateFields)
{
    auto* from = control<widgets::DBDateEdit>("DBDateEditOd");
    EXPECT_EQ(from->dropDownButton()->toolTip(), QStringLiteral("Vybrat datum"));
    typeDate("DBDateEditOd", QStringLiteral("31.2.2024"));
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    EXPECT_EQ(m_fakes.dialogs.lastBox().caption, QStringLiteral("Warning"));
    EXPECT_TRUE(m_fakes.dialogs.lastBox().text.startsWith(QStringLiteral("„31.2.2024“ není platné datum.")));
    EXPECT_TRUE(table().text("Oprava od").empty());
    EXPECT_EQ(from->text(), QStringLiteral("31.2.2024"));

    QTest::mouseClick(from->dropDownButton(), Qt::LeftButton);
    QCalendarWidget* calendar = from->calendar();
    ASSERT_NE(calendar, nullptr);
    EXPECT_EQ(calendar->weekdayTextFormat(Qt::Saturday).foreground().color(), QColor(Qt::red));
    EXPECT_EQ(calendar->weekdayTextFormat(Qt::Sunday).foreground().color(), QColor(Qt::red));
    // Nothing valid typed: the calendar opens on today.
    EXPECT_EQ(calendar->selectedDate(), QDate(2025, 12, 8));
    Q_EMIT calendar->activated(QDate(2024, 3, 9));
    EXPECT_FALSE(calendar->isVisible());
    EXPECT_EQ(QString::fromStdString(table().text("Oprava od")), QStringLiteral("9.3.2024"));
    EXPECT_EQ(from->text(), QStringLiteral("9.3.2024"));
}

// The whole register in key order: eleven labelled lines per appliance, the
// record of repairs with its own line breaks, and the appliance that was
// current is current again.
TEST_F(VyrobTest, PrintsTheRegister)
{
    {
        store::Cursor cursor(database(), "Vyrob.db");
        cursor.open();
        ASSERT_TRUE(cursor.findKey("Lednice"));
        cursor.edit();
        cursor.setText("Záruční opravy", "1.2.2024 - 15.2.2024   Ano\n3.3.2024 - 4.3.2024   Ne");
        cursor.post();
    }
    goTo(QStringLiteral("Pračka"));
    click(form(), "SpeedButtonTisk");
    EXPECT_EQ(m_fakes.dialogs.lastBox().text, QStringLiteral("Chcete vytisknout celý obsah seznamu přístrojů?"));
    ASSERT_EQ(m_fakes.printer.jobs().size(), 1);
    const platform::PrintJob job = m_fakes.printer.lastJob();
    EXPECT_TRUE(job.finished);
    const QStringList lines = job.pageLines(1);
    const QStringList lednice = {
        "VÝROBEK:       Lednice",          "VÝROBCE:       Calex",
        "ČÍSLO VÝROBKU: L-100",            "DATUM KOUPĚ:   3.4.2021",
        "ZÁRUKA DO:     3.4.2023",         "KOUPENO U:     Elektro Brno",
        "CENA:          8 990 Kč",         "UMÍSTĚNÍ:      kuchyně",
        "ADRESY OPRAVEN:Servis Brno",      "V OPRAVĚ:      1.2.2024 - 15.2.2024   Ano",
        "3.3.2024 - 4.3.2024   Ne",        "Poznámka:      dvoudveřová",
    };
    ASSERT_GT(lines.size(), lednice.size() + 1);
    EXPECT_EQ(lines.mid(0, lednice.size()), lednice);
    // An empty line, then the next appliance.
    EXPECT_EQ(lines[lednice.size()], QString());
    EXPECT_EQ(lines[lednice.size() + 1], QStringLiteral("VÝROBEK:       Myčka"));
    // The second repair line starts at the left margin.
    for (const platform::PrintedText& text : job.texts) {
        if (text.text.startsWith(QStringLiteral("3.3.2024"))) {
            EXPECT_EQ(text.x, 0);
        }
    }
    // Every appliance, in key order, each with its eleven labels.
    QStringList printed;
    for (const QString& line : lines) {
        if (line.startsWith(QStringLiteral("VÝROBEK:       ")))
            printed << line.mid(15);
    }
    EXPECT_EQ(printed, (QStringList{"Lednice", "Myčka", "Pračka", "Televizor"}));
    EXPECT_EQ(lines.count(QStringLiteral("Poznámka:      ")), 3);
    EXPECT_EQ(current(), QStringLiteral("Pračka"));

    // No prints nothing; an empty register starts and ends a job without lines.
    m_fakes.printer.clear();
    m_fakes.dialogs.answerNext(platform::Button::No);
    click(form(), "SpeedButtonTisk");
    EXPECT_TRUE(m_fakes.printer.jobs().isEmpty());
    while (table().recordCount() > 0)
        table().remove();
    click(form(), "SpeedButtonTisk");
    ASSERT_EQ(m_fakes.printer.jobs().size(), 1);
    EXPECT_TRUE(m_fakes.printer.lastJob().finished);
    EXPECT_TRUE(m_fakes.printer.lastJob().texts.isEmpty());
}

// A printer that cannot start says why; the appliance stays current.
TEST_F(VyrobTest, PrinterErrorIsReported)
{
    goTo(QStringLiteral("Myčka"));
    m_fakes.printer.setAvailable(false);
    click(form(), "SpeedButtonTisk");
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 2);
    EXPECT_EQ(m_fakes.dialogs.lastBox().icon, platform::Icon::Error);
    EXPECT_EQ(current(), QStringLiteral("Myčka"));
}

// The printed labels are exactly fifteen characters.
TEST(ApplianceLines, LabelsAreFifteenCharacters)
{
    ASSERT_EQ(directories::applianceLines().size(), 11u);
    for (const auto& line : directories::applianceLines())
        EXPECT_EQ(line.label.size(), 15) << line.label.toStdString();
}

} // namespace
} // namespace dirtest
