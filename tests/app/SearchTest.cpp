// Quick search and text search through the real main window.

#include "AppFixture.h"

#include "store/TextSearch.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

using platform::ToneList;

namespace apptest {
namespace {

const ToneList kFoundTones = {{500, 70}};
const ToneList kNotFoundTones = {{90, 70}, {0, 70}, {90, 70}, {500, 70}};

class SearchTest : public AppFixture {
protected:
    void openSearch(const char* radio, const QString& text)
    {
        QTest::keyClick(&form(), Qt::Key_F2);
        auto* edit = control<QLineEdit>("EditHledani");
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        typeText(edit, text);
        if (radio)
            QTest::mouseClick(control<QRadioButton>(radio), Qt::LeftButton);
        m_fakes.tones.clear();
        m_fakes.dialogs.clear();
    }
    bool enabled(const char* name) { return control<QAbstractButton>(name)->isEnabled(); }
    QColor labelColour(const char* name)
    {
        return control<QLabel>(name)->palette().color(QPalette::WindowText);
    }
};

// Typing walks the grid letter by letter to the nearest surname, in capitals.
TEST_F(SearchTest, QuickSearchFollowsEachLetter)
{
    startWith(standardAddresses());
    auto* edit = control<QLineEdit>("HledEdit");
    EXPECT_EQ(QApplication::focusWidget(), edit);
    const std::pair<QChar, const char*> steps[] = {
        {QLatin1Char('n'), "Nekola"}, {QLatin1Char('o'), "Nohavica"}, {QLatin1Char('v'), "Novák"}};
    QString typed;
    for (const auto& [letter, surname] : steps) {
        typeText(edit, QString(letter));
        typed += letter.toUpper();
        EXPECT_EQ(edit->text(), typed);
        EXPECT_EQ(currentSurname(), QString::fromUtf8(surname)) << typed.toStdString();
    }
    edit->clear();
    EXPECT_EQ(currentSurname(), QStringLiteral("Čermák")); // empty: the first record
}

// Czech letters are capitalised too, and the field stops at 18 characters.
TEST_F(SearchTest, QuickSearchCapitalisesCzechAndStopsAt18)
{
    startWith(standardAddresses());
    auto* edit = control<QLineEdit>("HledEdit");
    typeText(edit, QStringLiteral("čer"));
    EXPECT_EQ(edit->text(), QStringLiteral("ČER"));
    EXPECT_EQ(currentSurname(), QStringLiteral("Čermák"));
    edit->clear();
    typeText(edit, QStringLiteral("abcdefghijklmnopqrstuvwxyz"));
    EXPECT_EQ(edit->text(), QStringLiteral("ABCDEFGHIJKLMNOPQR"));
}

// F2 shows the panel in its ready state; the search field writes small letters.
TEST_F(SearchTest, F2ShowsPanelReadyWithLowerCaseField)
{
    startWith(standardAddresses());
    EXPECT_FALSE(control<QWidget>("PanelHledText")->isVisible());
    QTest::keyClick(&form(), Qt::Key_F2);
    EXPECT_TRUE(control<QWidget>("PanelHledText")->isVisible());
    auto* edit = control<QLineEdit>("EditHledani");
    EXPECT_EQ(edit->text(), QStringLiteral("text"));
    EXPECT_EQ(QApplication::focusWidget(), edit);
    EXPECT_TRUE(enabled("SpeedButtonHledej"));
    EXPECT_FALSE(enabled("SpeedButtonDalsi"));
    for (const char* radio : {"RadioButtonPrijmeni", "RadioButtonJmeno", "RadioButtonAdresa",
                              "RadioButtonTelefon", "RadioButtonPoznamka"})
        EXPECT_FALSE(control<QRadioButton>(radio)->isChecked()) << radio;
    edit->clear();
    typeText(edit, QStringLiteral("ČEZ"));
    EXPECT_EQ(edit->text(), QStringLiteral("čez"));
}

// Without a column the search must say so and touch nothing else.
TEST_F(SearchTest, NoColumnChosenSaysSo)
{
    startWith(standardAddresses());
    openSearch(nullptr, QStringLiteral("nov"));
    click("SpeedButtonHledej");
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    EXPECT_EQ(m_fakes.dialogs.lastBox().caption, QStringLiteral("Information"));
    EXPECT_EQ(m_fakes.dialogs.lastBox().text, QStringLiteral("Není vybrán sloupec..."));
    EXPECT_TRUE(m_fakes.tones.sounded().isEmpty());
}

struct SearchCase {
    const char* label;
    const char* radio;
    QString text;
    const char* found; // nullptr: not found
    const char* yellowLabel;
};

class TextSearchFromStart : public SearchTest, public ::testing::WithParamInterface<SearchCase> {};

// Search from the start: the first record in key order whose chosen field
// contains the text, whatever the case; otherwise the message, the tones and
// the position from before the search.
TEST_P(TextSearchFromStart, FindsFirstMatchOrRestoresPosition)
{
    const SearchCase& c = GetParam();
    startWith(standardAddresses());
    table().findNearest("Nekola");
    openSearch(c.radio, c.text);
    click("SpeedButtonHledej");
    EXPECT_FALSE(table().controlsDisabled());
    if (c.found) {
        EXPECT_TRUE(m_fakes.dialogs.shown().isEmpty());
        EXPECT_EQ(currentSurname(), QString::fromUtf8(c.found));
        EXPECT_EQ(m_fakes.tones.sounded(), kFoundTones);
        EXPECT_FALSE(enabled("SpeedButtonHledej"));
        EXPECT_TRUE(enabled("SpeedButtonDalsi"));
        EXPECT_TRUE(control<QWidget>("PanelNaDotaz")->isVisible());
        EXPECT_EQ(control<QLabel>("DBTextPrijmeni")->text(), QString::fromUtf8(c.found));
        for (const char* label : {"DBTextPrijmeni", "DBTextJmeno", "DBTextTelefon", "DBTextAdresa",
                                  "DBTextPoznamka"})
            EXPECT_EQ(labelColour(label),
                      QString::fromLatin1(label) == QString::fromLatin1(c.yellowLabel)
                          ? QColor(Qt::yellow)
                          : QColor(Qt::black))
                << label;
    } else {
        ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
        EXPECT_EQ(m_fakes.dialogs.lastBox().caption, QStringLiteral("Information"));
        EXPECT_EQ(m_fakes.dialogs.lastBox().text,
                  QStringLiteral("Výskyt textu \"%1\" nenalezen").arg(c.text));
        EXPECT_EQ(currentSurname(), QStringLiteral("Nekola"));
        EXPECT_EQ(m_fakes.tones.sounded(), kNotFoundTones);
        EXPECT_TRUE(enabled("SpeedButtonHledej"));
        EXPECT_FALSE(enabled("SpeedButtonDalsi"));
        EXPECT_FALSE(control<QWidget>("PanelNaDotaz")->isVisible());
    }
    EXPECT_FALSE(m_fakes.tones.sounding());
    EXPECT_EQ(QApplication::focusWidget(), control<QWidget>("EditHledani"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextSearchFromStart,
    ::testing::Values(
        SearchCase{"SurnameInKeyOrder", "RadioButtonPrijmeni", QStringLiteral("nov"), "Kasanová",
                   "DBTextPrijmeni"},
        SearchCase{"CzechCaseInsensitive", "RadioButtonPoznamka", QStringLiteral("čez"), "Zeman",
                   "DBTextPoznamka"},
        SearchCase{"InsideTheAddress", "RadioButtonAdresa", QStringLiteral("praha"), "Dvořák",
                   "DBTextAdresa"},
        SearchCase{"Telephone", "RadioButtonTelefon", QStringLiteral("555"), "Novák",
                   "DBTextTelefon"},
        SearchCase{"OnlyTheChosenColumn", "RadioButtonJmeno", QStringLiteral("praha"), nullptr, ""},
        SearchCase{"NotFound", "RadioButtonPrijmeni", QStringLiteral("xyz"), nullptr, ""},
        SearchCase{"EmptyTextNeverMatches", "RadioButtonPoznamka", QString(), nullptr, ""},
        SearchCase{"QuoteIsPlainText", "RadioButtonPrijmeni", QStringLiteral("o'"), nullptr, ""}),
    [](const auto& info) { return std::string(info.param.label); });

// "Další" walks on from the found record; after the last match it says so and
// that match stays current.
TEST_F(SearchTest, DalsiAfterLastMatchKeepsItCurrent)
{
    startWith(standardAddresses());
    openSearch("RadioButtonPrijmeni", QStringLiteral("nov"));
    click("SpeedButtonHledej");
    ASSERT_EQ(currentSurname(), QStringLiteral("Kasanová"));
    m_fakes.tones.clear();
    click("SpeedButtonDalsi");
    EXPECT_EQ(currentSurname(), QStringLiteral("Novák"));
    EXPECT_TRUE(m_fakes.dialogs.shown().isEmpty());
    EXPECT_EQ(m_fakes.tones.sounded(), kFoundTones);
    EXPECT_TRUE(enabled("SpeedButtonDalsi"));
    EXPECT_TRUE(control<QWidget>("PanelNaDotaz")->isVisible());

    m_fakes.tones.clear();
    click("SpeedButtonDalsi");
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    EXPECT_EQ(m_fakes.dialogs.lastBox().text, QStringLiteral("Další výskyt textu \"nov\" nenalezen"));
    EXPECT_EQ(currentSurname(), QStringLiteral("Novák"));
    EXPECT_EQ(m_fakes.tones.sounded(), kNotFoundTones);
    EXPECT_TRUE(enabled("SpeedButtonHledej"));
    EXPECT_FALSE(enabled("SpeedButtonDalsi"));
    EXPECT_FALSE(control<QWidget>("PanelNaDotaz")->isVisible());
    EXPECT_FALSE(table().controlsDisabled());
}

// Alt+D is both the mnemonic of "Další" and of the menu "Doplňky"; while the
// button can be pressed the key must press it, as the keyboard user expects.
TEST_F(SearchTest, AltDPressesDalsiWhileItIsEnabled)
{
    startWith(standardAddresses());
    openSearch("RadioButtonPrijmeni", QStringLiteral("nov"));
    click("SpeedButtonHledej");
    ASSERT_EQ(currentSurname(), QStringLiteral("Kasanová"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_D, Qt::AltModifier);
    EXPECT_EQ(currentSurname(), QStringLiteral("Novák"));
    // Once "Další" cannot be pressed, Alt+D is left to the menu.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_D, Qt::AltModifier);
    ASSERT_FALSE(enabled("SpeedButtonDalsi"));
    m_fakes.dialogs.clear();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_D, Qt::AltModifier);
    EXPECT_TRUE(m_fakes.dialogs.shown().isEmpty());
    EXPECT_EQ(currentSurname(), QStringLiteral("Novák"));
}

// A match on the very last record must still be found from the start, and
// "Další" from it must report "no further" without moving.
TEST_F(SearchTest, MatchOnLastRecord)
{
    startWith(standardAddresses());
    openSearch("RadioButtonPrijmeni", QStringLiteral("zem"));
    click("SpeedButtonHledej");
    EXPECT_EQ(currentSurname(), QStringLiteral("Zeman"));
    click("SpeedButtonDalsi");
    EXPECT_EQ(m_fakes.dialogs.lastBox().text, QStringLiteral("Další výskyt textu \"zem\" nenalezen"));
    EXPECT_EQ(currentSurname(), QStringLiteral("Zeman"));
}

// Changing the text or the column returns the panel to its ready state.
TEST_F(SearchTest, ChangingTextOrColumnResets)
{
    startWith(standardAddresses());
    openSearch("RadioButtonPrijmeni", QStringLiteral("nov"));
    click("SpeedButtonHledej");
    ASSERT_TRUE(enabled("SpeedButtonDalsi"));
    typeText(control<QLineEdit>("EditHledani"), QStringLiteral("á"));
    EXPECT_TRUE(enabled("SpeedButtonHledej"));
    EXPECT_FALSE(enabled("SpeedButtonDalsi"));
    EXPECT_FALSE(control<QWidget>("PanelNaDotaz")->isVisible());
    EXPECT_EQ(labelColour("DBTextPrijmeni"), QColor(Qt::black));

    ASSERT_EQ(control<QLineEdit>("EditHledani")->text(), QStringLiteral("nová"));
    click("SpeedButtonHledej"); // finds Kasanová
    ASSERT_TRUE(enabled("SpeedButtonDalsi")) << m_fakes.dialogs.shownTexts().join('|').toStdString();
    QTest::mouseClick(control<QRadioButton>("RadioButtonJmeno"), Qt::LeftButton);
    EXPECT_TRUE(enabled("SpeedButtonHledej"));
    EXPECT_FALSE(enabled("SpeedButtonDalsi"));

    click("SpeedButtonZpet");
    EXPECT_FALSE(control<QWidget>("PanelHledText")->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), control<QWidget>("HledEdit"));
}

// A found firm with a long name and address must show them whole: the panel
// cut a 40-character name at its first line's edge.
TEST_F(SearchTest, FoundPanelShowsLongNamesWhole)
{
    std::vector<Address> addresses = standardAddresses();
    addresses.push_back({"Stavební společnost Hořejší a synové sro", "Jaroslava Bohumila",
                         "Hradec Králové, Třída Karla IV. 1234/56, vchod B, 3. patro", "+420 495 123 456",
                         "dodavatel oken"});
    startWith(addresses);
    openSearch("RadioButtonPoznamka", QStringLiteral("oken"));
    click("SpeedButtonHledej");
    auto* panel = control<QWidget>("PanelNaDotaz");
    ASSERT_TRUE(panel->isVisible());
    for (const char* name : {"DBTextPrijmeni", "DBTextJmeno", "DBTextTelefon", "DBTextAdresa"}) {
        auto* label = control<QLabel>(name);
        SCOPED_TRACE(name);
        EXPECT_TRUE(panel->rect().contains(label->geometry()));
        // Every line of the text fits: wrapped lines add height, none is cut.
        const QRect needed = label->fontMetrics().boundingRect(
            QRect(0, 0, label->contentsRect().width(), 10000), Qt::TextWordWrap, label->text());
        EXPECT_LE(needed.width(), label->contentsRect().width());
        EXPECT_LE(needed.height(), label->contentsRect().height());
    }
}

// The matching rule on its own.
TEST(TextMatches, CzechUpperCaseContains)
{
    struct Case {
        const char* field;
        const char* search;
        bool matches;
    };
    const Case cases[] = {
        {"Kasanová", "nov", true},  {"Novák", "NOV", true},   {"ČEZ", "čez", true},
        {"Žluťoučký", "ŤOU", true}, {"Novák", "", false},     {"", "", false},
        {"Novák", "nováková", false}, {"Dvořák", "rak", false}, {"O'Brien", "o'b", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(store::textMatches(c.field, c.search), c.matches) << c.field << " / " << c.search;
}

} // namespace
// Stopped in the progress dialog, a search goes back where it started and
// tells nothing: no box, only the tone that ends every search.
TEST_F(SearchTest, CancelledSearchReturnsQuietly)
{
    std::vector<Address> many = standardAddresses();
    for (int i = 0; i < 400; ++i)
        many.push_back({"Zubatý " + std::to_string(1000 + i), "", "", "", ""});
    startWith(many);
    table().findNearest("Nekola");
    openSearch("RadioButtonPoznamka", QStringLiteral("nikde"));
    m_fakes.progress.cancelAt(1);
    click("SpeedButtonHledej");
    EXPECT_TRUE(m_fakes.dialogs.shown().isEmpty());
    EXPECT_EQ(currentSurname(), QStringLiteral("Nekola"));
    EXPECT_FALSE(table().controlsDisabled());
    ASSERT_FALSE(m_fakes.progress.steps().isEmpty());
    EXPECT_EQ(m_fakes.progress.steps().last().label, QStringLiteral("Hledá se text…"));
    EXPECT_EQ(m_fakes.progress.steps().last().done, 256);
    EXPECT_EQ(m_fakes.tones.sounded(), kFoundTones);
    EXPECT_FALSE(control<QWidget>("PanelNaDotaz")->isVisible());
}

} // namespace apptest
