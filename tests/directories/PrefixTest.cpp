// The two telephone-prefix windows: one implementation, their differences
// in the table below.

#include "DirectoriesFixture.h"

#include "directories/PrefixForm.h"

#include "widgets/DBGrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include <functional>

namespace dirtest {
namespace {

using directories::PrefixForm;
using platform::ToneList;

struct PrefixCase {
    const char* name;
    std::function<std::unique_ptr<PrefixForm>(store::Database&)> make;
    QString caption;
    std::string keyField;
    QString first;
    std::vector<std::pair<QString, QString>> searches; // typed, found
    QString taken;
    QString deleteQuestion;
    QString duplicateMessage;
    const char* backButton;
};

const std::vector<PrefixCase>& windows()
{
    static const std::vector<PrefixCase> cases = {
        {"TTlfCrForm",
         [](store::Database& db) { return std::make_unique<directories::TTlfCrForm>(db); },
         QStringLiteral("Telefonní předvolby v ČR"),
         "Telefonní obvod",
         QStringLiteral("Jihočeský kraj"),
         {{QStringLiteral("pl"), QStringLiteral("Plzeňský kraj")},
          {QStringLiteral("kraj"), QStringLiteral("Kraj Vysočina")},
          {QStringLiteral("us"), QStringLiteral("Ústecký kraj")},
          {QStringLiteral("ž"), QStringLiteral("Zlínský kraj")}},
         QStringLiteral("Praha"),
         QStringLiteral("Smazat záznam Jihočeský kraj?"),
         QStringLiteral("Nelze vložit dva stejné telefonní obvody."),
         "ToolButtonZpet"},
        {"TTlfSvtForm",
         [](store::Database& db) { return std::make_unique<directories::TTlfSvtForm>(db); },
         QStringLiteral("Mezinárodní telefonní předvolby"),
         "Země",
         QStringLiteral("Afghánistán"),
         {{QStringLiteral("slov"), QStringLiteral("Slovensko")},
          {QStringLiteral("če"), QStringLiteral("Černá Hora")},
          {QStringLiteral("čes"), QStringLiteral("Česko")},
          {QStringLiteral("něm"), QStringLiteral("Německo")}},
         QStringLiteral("Česko"),
         QStringLiteral("Smazat záznam Afghánistán?"),
         QStringLiteral("Nelze vložit dvě stejné země."),
         "ToolButton5"},
    };
    return cases;
}

class PrefixTest : public DirectoriesTest, public ::testing::WithParamInterface<PrefixCase> {
protected:
    void SetUp() override
    {
        DirectoriesTest::SetUp();
        m_form = GetParam().make(database());
        m_form->FormCreate();
        showActive(*m_form);
        checkModel(grid()->model());
        m_fakes.tones.clear();
        m_fakes.dialogs.clear();
    }
    void TearDown() override
    {
        stopModelChecks();
        m_form.reset();
        DirectoriesTest::TearDown();
    }
    // A new window on the same tables, as the program creates it at start.
    void reopen()
    {
        stopModelChecks();
        m_form.reset();
        m_form = GetParam().make(database());
        m_form->FormCreate();
        showActive(*m_form);
        checkModel(grid()->model());
        m_fakes.tones.clear();
        m_fakes.dialogs.clear();
    }
    const PrefixCase& w() const { return GetParam(); }
    PrefixForm& form() { return *m_form; }
    QLineEdit* search() { return child<QLineEdit>(*m_form, "HledEdit"); }
    widgets::DBGrid* grid() { return child<widgets::DBGrid>(*m_form, "DBGrid"); }
    QString current() { return QString::fromStdString(form().Table().text(w().keyField)); }
    bool saveEnabled() { return child<QToolButton>(*m_form, "ToolButtonPotvrd")->isEnabled(); }
    bool discardEnabled() { return child<QToolButton>(*m_form, "ToolButtonZrus")->isEnabled(); }
    QStringList keys() { return column(form().settings().table, w().keyField); }

    std::unique_ptr<PrefixForm> m_form;
};

// All four buttons start enabled; the first Save or Discard disables the
// pair, and from then only Insert enables it again.
TEST_P(PrefixTest, SaveAndDiscardStartEnabled)
{
    EXPECT_EQ(form().windowTitle(), w().caption);
    EXPECT_EQ(QApplication::focusWidget(), search());
    EXPECT_EQ(current(), w().first);
    const struct {
        const char* button;
        ToneList tones;
    } firsts[] = {{"ToolButtonPotvrd", {{400, 100}}}, {"ToolButtonZrus", {{90, 70}, {0, 70}, {90, 70}}}};
    for (const auto& first : firsts) {
        SCOPED_TRACE(first.button);
        reopen();
        EXPECT_TRUE(saveEnabled());
        EXPECT_TRUE(discardEnabled());
        click(form(), first.button);
        EXPECT_EQ(m_fakes.tones.sounded(), first.tones);
        EXPECT_FALSE(saveEnabled());
        EXPECT_FALSE(discardEnabled());
        // A change typed into a cell leaves them off; moving away stores it.
        grid()->setFocus();
        clickCell(grid(), 0, 1);
        typeText(QApplication::focusWidget(), QStringLiteral("777"));
        EXPECT_FALSE(saveEnabled());
        key(Qt::Key_Down);
        EXPECT_EQ(column(form().settings().table, "Předvolba").front(), QStringLiteral("777"));
        EXPECT_FALSE(saveEnabled());
        click(form(), "ToolButtonVloz");
        EXPECT_TRUE(saveEnabled());
        EXPECT_TRUE(discardEnabled());
    }
}

// A key that is there already: the window's message, the entry stays typed
// with Save and Discard on, and Discard then drops it.
TEST_P(PrefixTest, DuplicateStaysInEditing)
{
    const QStringList before = keys();
    click(form(), "ToolButtonVloz");
    EXPECT_EQ(m_fakes.tones.sounded(), (ToneList{{400, 50}}));
    typeText(grid(), w().taken);
    key(Qt::Key_Tab);
    typeText(QApplication::focusWidget(), QStringLiteral("123"));
    m_fakes.tones.clear();
    click(form(), "ToolButtonPotvrd");
    EXPECT_EQ(m_fakes.tones.sounded(), (ToneList{{400, 100}}));
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    EXPECT_EQ(m_fakes.dialogs.lastBox().text, w().duplicateMessage);
    EXPECT_EQ(m_fakes.dialogs.lastBox().icon, platform::Icon::Error);
    EXPECT_EQ(form().Table().state(), store::CursorState::Insert);
    EXPECT_EQ(current(), w().taken);
    EXPECT_TRUE(saveEnabled());
    EXPECT_TRUE(discardEnabled());
    click(form(), "ToolButtonZrus");
    EXPECT_EQ(form().Table().state(), store::CursorState::Browse);
    EXPECT_EQ(keys(), before);

    // Insert and Save with nothing typed stores no empty entry.
    click(form(), "ToolButtonVloz");
    click(form(), "ToolButtonPotvrd");
    EXPECT_EQ(keys(), before);
    EXPECT_FALSE(saveEnabled());
}

// Delete asks with the entry's name; No does nothing and sounds nothing, Yes
// deletes and sounds the delete tone.
TEST_P(PrefixTest, DeleteAsksFirst)
{
    m_fakes.dialogs.answerNext(platform::Button::No);
    click(form(), "ToolButtonSmaz");
    EXPECT_EQ(m_fakes.dialogs.lastBox().text, w().deleteQuestion);
    EXPECT_EQ(m_fakes.dialogs.lastBox().caption, QStringLiteral("Confirm"));
    EXPECT_TRUE(m_fakes.tones.sounded().isEmpty());
    EXPECT_TRUE(keys().contains(w().first));
    click(form(), "ToolButtonSmaz");
    EXPECT_EQ(m_fakes.tones.sounded(), (ToneList{{90, 150}}));
    EXPECT_FALSE(keys().contains(w().first));
}

// Typing the beginning lands on the first entry at or after it; "Zpět"
// empties the search, goes to the first entry and hides the window.
TEST_P(PrefixTest, SearchAndBack)
{
    for (const auto& [typed, found] : w().searches) {
        SCOPED_TRACE(typed.toStdString());
        search()->clear();
        typeText(search(), typed);
        EXPECT_EQ(search()->text(), typed.toUpper());
        EXPECT_EQ(current(), found);
        EXPECT_EQ(grid()->currentIndex().row(), form().Table().currentRow());
    }
    click(form(), w().backButton);
    EXPECT_FALSE(form().isVisible());
    EXPECT_TRUE(search()->text().isEmpty());
    EXPECT_EQ(current(), w().first);
    // With the field already empty, "Zpět" still returns to the first entry.
    showActive(form());
    form().Table().last();
    click(form(), w().backButton);
    EXPECT_EQ(current(), w().first);
}

INSTANTIATE_TEST_SUITE_P(Windows, PrefixTest, ::testing::ValuesIn(windows()),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace dirtest
