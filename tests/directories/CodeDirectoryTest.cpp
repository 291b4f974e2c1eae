// The postal codes and the vehicle codes: one implementation, two windows.
// Each test runs on both, with what differs between them in the table below.

#include "DirectoriesFixture.h"

#include "directories/CodeDirectoryForm.h"

#include "store/Query.h"
#include "widgets/DBGrid.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include <functional>

namespace dirtest {
namespace {

using directories::CodeDirectoryForm;

struct SearchCase {
    bool byCode;
    QString typed;
    QString found; // the name of the record the search lands on
};

struct WindowCase {
    const char* name;
    std::function<std::unique_ptr<CodeDirectoryForm>(store::Database&)> make;
    std::string keyField;
    std::string codeField;
    int count;
    QString firstByName;
    QString firstByCode;
    std::vector<SearchCase> searches;
    QString newName;     // a name that is not there yet
    QString newCode;
    QString takenName;   // a name that is there already
    QString deleteQuestion;
    QString duplicateMessage;
    const char* backButton;
    bool editableByCode;
};

const std::vector<WindowCase>& windows()
{
    static const std::vector<WindowCase> cases = {
        {"TPscForm",
         [](store::Database& db) { return std::make_unique<directories::TPscForm>(db); },
         "MÍSTO",
         "PSČ",
         80,
         QStringLiteral("Benešov"),
         QStringLiteral("Praha 10"),
         {{false, QStringLiteral("hra"), QStringLiteral("Hradec Králové")},
          // "ch" is a letter of its own after "h".
          {false, QStringLiteral("ch"), QStringLiteral("Cheb")},
          {false, QStringLiteral("česká l"), QStringLiteral("Česká Lípa")},
          {false, QStringLiteral("ces"), QStringLiteral("Česká")},
          {false, QString(), QStringLiteral("Benešov")},
          {true, QStringLiteral("37"), QStringLiteral("České Budějovice")},
          {true, QStringLiteral("371"), QStringLiteral("Jindřichův Hradec")},
          // A code typed without its blank finds the code stored with it.
          {true, QStringLiteral("37001"), QStringLiteral("České Budějovice")},
          {true, QStringLiteral("3770"), QStringLiteral("Jindřichův Hradec")},
          {true, QStringLiteral("370 01"), QStringLiteral("České Budějovice")},
          {true, QStringLiteral("37702"), QStringLiteral("Český Krumlov")}},
         QStringLiteral("Lelekovice"),
         QStringLiteral("664 31"),
         QStringLiteral("Brno"),
         QStringLiteral("Smazat údaj pro obec Benešov?"),
         QStringLiteral("Nelze vložit dva stejné názvy obcí. Je třeba je odlišit."),
         "BitBtnZpet",
         true},
        {"TSpzForm",
         [](store::Database& db) { return std::make_unique<directories::TSpzForm>(db); },
         "ZEMĚ",
         "ZNAČKA",
         157,
         QStringLiteral("Afghánistán"),
         QStringLiteral("Rakousko"),
         {{false, QStringLiteral("ně"), QStringLiteral("Německo")},
          // "C" sorts before "Č": the first Č follows.
          {false, QStringLiteral("ces"), QStringLiteral("Černá Hora")},
          {false, QStringLiteral("čes"), QStringLiteral("Česko")},
          {true, QStringLiteral("cz"), QStringLiteral("Česko")},
          {true, QStringLiteral("c"), QStringLiteral("Kuba")},
          // "CH" comes after "H" in Czech order, so the codes after "CZ" begin with D.
          {true, QStringLiteral("cza"), QStringLiteral("Německo")}},
         QStringLiteral("Atlantida"),
         QStringLiteral("ATL"),
         QStringLiteral("Česko"),
         QStringLiteral("Smazat SPZ pro Afghánistán?"),
         QStringLiteral("Nelze vložit dvě stejné země. Stejná země už v seznamu je."),
         "BitBtnSpz",
         false},
    };
    return cases;
}

class CodeDirectoryTest : public DirectoriesTest, public ::testing::WithParamInterface<WindowCase> {
protected:
    void SetUp() override
    {
        DirectoriesTest::SetUp();
        if (GetParam().keyField == "MÍSTO") {
            // Places sharing a code, for the post-office view.
            addRecords("Psc.DB", {{"Česká", "664 31"}, {"Vranov", "664 32"}, {"Kuřim", "664 34"}});
            addRecords("Psc.DB", {{"Lelekovice u Brna", "664 31"}, {"Hvozdec", "664 31"}});
            m_extra = 5;
        }
        m_form = GetParam().make(database());
        m_form->FormCreate();
        showActive(*m_form);
        checkModel(keyGrid()->model());
        checkModel(codeGrid()->model());
        m_fakes.dialogs.clear();
        m_fakes.tones.clear();
    }
    void TearDown() override
    {
        stopModelChecks();
        m_form.reset();
        DirectoriesTest::TearDown();
    }

    const WindowCase& w() const { return GetParam(); }
    CodeDirectoryForm& form() { return *m_form; }
    template <typename T> T* control(const char* name) { return child<T>(*m_form, name); }
    QLineEdit* search() { return control<QLineEdit>("EditHled"); }
    widgets::DBGrid* keyGrid() { return m_form->findChild<widgets::DBGrid*>(QString::fromLatin1(w().keyField == "MÍSTO" ? "DBGridPsc" : "DBGridSpz")); }
    widgets::DBGrid* codeGrid() { return control<widgets::DBGrid>("DBGridZmena"); }
    QString current() { return QString::fromStdString(form().Table().text(w().keyField)); }
    QString countLabel() { return control<QLabel>("LabelPocetZaznamu")->text(); }
    QString expectedCount(int delta = 0) { return QStringLiteral("(%1 záznamů)").arg(w().count + m_extra + delta); }
    bool editing() { return control<QToolButton>("SpeedButtonPotvrd")->isEnabled(); }
    void typeIntoCell(widgets::DBGrid* grid, const QString& text)
    {
        typeText(grid, text);
    }
    // A new record typed into the name grid and saved with the toolbar.
    void insertAndSave(const QString& name, const QString& code)
    {
        click(form(), "SpeedButtonVloz");
        typeIntoCell(keyGrid(), name);
        key(Qt::Key_Tab);
        typeText(QApplication::focusWidget(), code);
        click(form(), "SpeedButtonPotvrd");
    }

    std::unique_ptr<CodeDirectoryForm> m_form;
    int m_extra = 0;
};

// The window opens by name with the count, the focus in the search field and
// nothing to save.
TEST_P(CodeDirectoryTest, StartsByName)
{
    EXPECT_EQ(form().objectName(), QString::fromLatin1(w().name));
    EXPECT_EQ(countLabel(), expectedCount());
    EXPECT_EQ(control<QLabel>("BlabelRazeni")->text(), form().settings().byKeyLabel);
    EXPECT_EQ(QApplication::focusWidget(), search());
    EXPECT_FALSE(codeGrid()->isVisible());
    EXPECT_TRUE(control<QToolButton>("SpeedButtonVloz")->isEnabled());
    EXPECT_TRUE(control<QToolButton>("SpeedButtonSmaz")->isEnabled());
    EXPECT_FALSE(control<QToolButton>("SpeedButtonPotvrd")->isEnabled());
    EXPECT_FALSE(control<QToolButton>("SpeedButtonZrus")->isEnabled());
    EXPECT_EQ(current(), w().firstByName);
    // Small letters become capitals as they are typed.
    typeText(search(), QStringLiteral("čes"));
    EXPECT_EQ(search()->text(), QStringLiteral("ČES"));
}

// Typing the beginning of a name or a code lands on the first record that
// equals it or sorts after it, in the ordering shown.
TEST_P(CodeDirectoryTest, SearchLandsOnTheFirstAtOrAfterTheText)
{
    for (const SearchCase& c : w().searches) {
        SCOPED_TRACE((c.byCode ? "by code: " : "by name: ") + c.typed.toStdString());
        if (control<QToolButton>("SpeedButtonIndex")->isChecked() != c.byCode)
            click(form(), "SpeedButtonIndex");
        search()->clear();
        typeText(search(), c.typed);
        EXPECT_EQ(current(), c.found);
        widgets::DBGrid* shown = c.byCode ? codeGrid() : keyGrid();
        EXPECT_EQ(shown->currentIndex().row(), form().Table().currentRow());
    }
}

// The ordering switch empties the search, goes to the first record of the
// new ordering and swaps the grids, labels and buttons; and back.
TEST_P(CodeDirectoryTest, OrderingSwitch)
{
    QToolButton* posta = form().findChild<QToolButton*>(QStringLiteral("SpeedButtonVyber"));
    EXPECT_EQ(posta != nullptr, w().keyField == "MÍSTO");
    for (const bool byCode : {true, false, true}) {
        SCOPED_TRACE(byCode);
        typeText(search(), QStringLiteral("K"));
        click(form(), "SpeedButtonIndex");
        EXPECT_TRUE(search()->text().isEmpty());
        EXPECT_EQ(current(), byCode ? w().firstByCode : w().firstByName);
        EXPECT_EQ(codeGrid()->isVisible(), byCode);
        EXPECT_EQ(control<QLabel>("BlabelRazeni")->text(),
                  byCode ? form().settings().byCodeLabel : form().settings().byKeyLabel);
        EXPECT_EQ(control<QToolButton>("SpeedButtonVloz")->isEnabled(), !byCode);
        EXPECT_EQ(control<QToolButton>("SpeedButtonSmaz")->isEnabled(), !byCode);
        if (posta) {
            EXPECT_EQ(posta->isEnabled(), !byCode);
        }
        EXPECT_EQ(QApplication::focusWidget(), search());
    }
}

// Insert, save, discard and delete: the beeps instead of tones, the count
// after saves and deletes, and a duplicate that is dropped with the message.
TEST_P(CodeDirectoryTest, EditingRules)
{
    // A new name: saved, counted; a beep before the insert and before the save.
    insertAndSave(w().newName, w().newCode);
    EXPECT_EQ(m_fakes.dialogs.shown().size(), 0) << m_fakes.dialogs.lastBox().text.toStdString();
    EXPECT_EQ(countLabel(), expectedCount(1));
    EXPECT_EQ(m_fakes.tones.beeps(), 2);
    EXPECT_TRUE(m_fakes.tones.sounded().isEmpty());
    EXPECT_FALSE(editing());
    EXPECT_TRUE(column(form().settings().table, w().keyField).contains(w().newName));

    // A name that is there: the new record goes, the message says why.
    const QStringList stored = column(form().settings().table, w().keyField);
    insertAndSave(w().takenName, QStringLiteral("999 99"));
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    EXPECT_EQ(m_fakes.dialogs.lastBox().text, w().duplicateMessage);
    EXPECT_EQ(m_fakes.dialogs.lastBox().caption, QStringLiteral("Pelmir a telefony"));
    EXPECT_EQ(m_fakes.dialogs.lastBox().icon, platform::Icon::Error);
    EXPECT_EQ(form().Table().state(), store::CursorState::Browse);
    EXPECT_FALSE(editing());
    EXPECT_EQ(countLabel(), expectedCount(1));
    EXPECT_EQ(column(form().settings().table, w().keyField), stored);

    // Insert then discard: nothing stored, the count as it was.
    m_fakes.tones.clear();
    click(form(), "SpeedButtonVloz");
    typeIntoCell(keyGrid(), QStringLiteral("Nic"));
    click(form(), "SpeedButtonZrus");
    EXPECT_EQ(m_fakes.tones.beeps(), 2);
    EXPECT_EQ(column(form().settings().table, w().keyField), stored);
    EXPECT_FALSE(editing());

    // Delete: the question names the record; No keeps it, Yes deletes it and beeps after.
    form().Table().first();
    m_fakes.tones.clear();
    m_fakes.dialogs.clear();
    m_fakes.dialogs.answerNext(platform::Button::No);
    click(form(), "SpeedButtonSmaz");
    EXPECT_EQ(m_fakes.dialogs.lastBox().text, w().deleteQuestion);
    EXPECT_EQ(m_fakes.tones.beeps(), 0);
    EXPECT_EQ(countLabel(), expectedCount(1));
    click(form(), "SpeedButtonSmaz");
    EXPECT_EQ(m_fakes.tones.beeps(), 1);
    EXPECT_EQ(countLabel(), expectedCount(0));
    EXPECT_FALSE(column(form().settings().table, w().keyField).contains(w().firstByName));
}

// A change typed into a cell enables Save and Discard; in the by-code
// ordering only the postal codes can be changed.
TEST_P(CodeDirectoryTest, CellEditsByNameAndByCode)
{
    keyGrid()->setFocus();
    clickCell(keyGrid(), 0, 1);
    typeText(QApplication::focusWidget(), QStringLiteral("1"));
    EXPECT_TRUE(editing());
    click(form(), "SpeedButtonZrus");
    EXPECT_FALSE(editing());

    click(form(), "SpeedButtonIndex");
    clickCell(codeGrid(), 0, 0);
    typeText(QApplication::focusWidget(), QStringLiteral("9"));
    EXPECT_EQ(editing(), w().editableByCode);
    EXPECT_EQ(form().Table().state() == store::CursorState::Edit, w().editableByCode);
    if (!w().editableByCode) {
        key(Qt::Key_Insert);
        EXPECT_EQ(form().Table().state(), store::CursorState::Browse);
    } else {
        click(form(), "SpeedButtonPotvrd");
        EXPECT_TRUE(column(form().settings().table, w().codeField).contains(QStringLiteral("9")));
    }
}

// "Zpět" returns the window to its first state and hides it; the search
// field keeps its text.
TEST_P(CodeDirectoryTest, BackResetsAndHides)
{
    QToolButton* posta = form().findChild<QToolButton*>(QStringLiteral("SpeedButtonVyber"));
    if (posta)
        click(form(), "SpeedButtonVyber");
    click(form(), "SpeedButtonIndex");
    typeText(search(), QStringLiteral("K"));
    click(form(), w().backButton);
    EXPECT_FALSE(form().isVisible());
    EXPECT_FALSE(control<QToolButton>("SpeedButtonIndex")->isChecked());
    EXPECT_EQ(control<QLabel>("BlabelRazeni")->text(), form().settings().byKeyLabel);
    EXPECT_FALSE(codeGrid()->isVisibleTo(&form()));
    EXPECT_TRUE(control<QToolButton>("SpeedButtonVloz")->isEnabled());
    EXPECT_TRUE(control<QToolButton>("SpeedButtonSmaz")->isEnabled());
    EXPECT_EQ(search()->text(), QStringLiteral("K"));
    EXPECT_EQ(QString::fromStdString(form().Table().indexFieldNames()), QString::fromStdString(w().keyField));
    EXPECT_EQ(current(), w().firstByName);
    EXPECT_EQ(keyGrid()->dataSet(), &form().Table());
    if (posta) {
        EXPECT_FALSE(posta->isChecked());
        EXPECT_TRUE(posta->isEnabled());
    }
}

INSTANTIATE_TEST_SUITE_P(Windows, CodeDirectoryTest, ::testing::ValuesIn(windows()),
                         [](const auto& info) { return std::string(info.param.name); });

// --- the postal codes' own view

class PostOfficeTest : public DirectoriesTest {
protected:
    void SetUp() override
    {
        DirectoriesTest::SetUp();
        addRecords("Psc.DB", {{"Česká", "664 31"}, {"Vranov", "664 32"}, {"Kuřim", "664 34"},
                              {"Lelekovice", "664 31"}, {"Hvozdec", "664 31"}});
        m_form = std::make_unique<directories::TPscForm>(database());
        m_form->FormCreate();
        showActive(*m_form);
        checkModel(grid()->model());
        m_fakes.tones.clear();
    }
    void TearDown() override
    {
        stopModelChecks();
        m_form.reset();
        DirectoriesTest::TearDown();
    }
    widgets::DBGrid* grid() { return child<widgets::DBGrid>(*m_form, "DBGridPsc"); }
    QStringList listed()
    {
        QStringList places;
        for (int row = 0; row < grid()->model()->rowCount(); ++row)
            places << grid()->model()->index(row, 0).data().toString();
        return places;
    }
    // The places that carry this code, read from the table itself.
    QStringList withCode(const QString& code)
    {
        const QStringList places = column("Psc.DB", "MÍSTO");
        const QStringList codes = column("Psc.DB", "PSČ");
        QStringList found;
        for (qsizetype i = 0; i < places.size(); ++i) {
            if (codes[i] == code)
                found << places[i];
        }
        return found;
    }
    std::unique_ptr<directories::TPscForm> m_form;
};

// However the current place was reached, "Pošta" lists exactly the places
// with its code, and beeps.
TEST_F(PostOfficeTest, ListsThePlacesOfTheCurrentCode)
{
    QLineEdit* search = child<QLineEdit>(*m_form, "EditHled");
    const struct {
        const char* how;
        std::function<void()> reach;
        QString code;
    } ways[] = {
        {"by the search", [&] { typeText(search, QStringLiteral("LELE")); }, QStringLiteral("664 31")},
        {"by a click in the grid",
         [&] { clickCell(grid(), m_form->Table().recordCount() - 1, 0); }, QString()},
        {"by the keyboard", [&] {
             typeText(search, QStringLiteral("HVOZ"));
             grid()->setFocus();
             key(Qt::Key_Down);
         }, QString()},
        {"by a new code saved", [&] {
             typeText(search, QStringLiteral("VRANOV"));
             clickCell(grid(), m_form->Table().currentRow(), 1);
             typeText(QApplication::focusWidget(), QStringLiteral("664 31"));
             click(*m_form, "SpeedButtonPotvrd");
         }, QStringLiteral("664 31")},
        {"by the search after the ordering went back",
         [&] {
             click(*m_form, "SpeedButtonIndex");
             click(*m_form, "SpeedButtonIndex");
             typeText(search, QStringLiteral("KUŘ"));
         },
         QStringLiteral("664 34")},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.how);
        search->clear();
        way.reach();
        const QString code = QString::fromStdString(m_form->Table().text("PSČ"));
        if (!way.code.isEmpty()) {
            EXPECT_EQ(code, way.code);
        }
        m_fakes.tones.clear();
        click(*m_form, "SpeedButtonVyber");
        EXPECT_EQ(listed(), withCode(code));
        EXPECT_EQ(m_fakes.tones.beeps(), 1);
        EXPECT_NE(grid()->dataSet(), &m_form->Table());
        click(*m_form, "SpeedButtonVyber");
        EXPECT_EQ(grid()->dataSet(), &m_form->Table());
    }
}

// While the view is on, the search moves the table, not the list; the view
// stays on behind the code grid and shows again with the name ordering.
TEST_F(PostOfficeTest, SearchActsOnTheTableBehindTheView)
{
    QLineEdit* search = child<QLineEdit>(*m_form, "EditHled");
    typeText(search, QStringLiteral("ČESKÁ"));
    click(*m_form, "SpeedButtonVyber");
    const QStringList view = listed();
    search->clear();
    typeText(search, QStringLiteral("BRNO"));
    EXPECT_EQ(QString::fromStdString(m_form->Table().text("MÍSTO")), QStringLiteral("Brno"));
    EXPECT_EQ(listed(), view);
    click(*m_form, "SpeedButtonIndex");
    EXPECT_TRUE(child<QToolButton>(*m_form, "SpeedButtonVyber")->isChecked());
    click(*m_form, "SpeedButtonIndex");
    EXPECT_EQ(listed(), view);
}

// The code goes to the store as a bound value: a quote in it is searched
// for like any other character.
TEST_F(PostOfficeTest, ACodeWithQuotesIsSearchedAsItIs)
{
    addRecords("Psc.DB", {{"Uvozovky", "12\"45"}, {"Apostrof", "12'45"}});
    typeText(child<QLineEdit>(*m_form, "EditHled"), QStringLiteral("UVOZ"));
    click(*m_form, "SpeedButtonVyber");
    EXPECT_TRUE(m_fakes.dialogs.shown().isEmpty()) << m_fakes.dialogs.lastBox().text.toStdString();
    EXPECT_EQ(listed(), QStringList{QStringLiteral("Uvozovky")});
}

} // namespace
} // namespace dirtest
