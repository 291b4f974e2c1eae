// The personal records window driven as a user does: the toolbar with its
// tones and focus moves, Enter and Esc in both editors, the duplicate title,
// the list of titles and printing.

#include "organiser/OsobZaznamyForm.h"
#include "organiser/RecordsPrinting.h"

#include "platform/Fakes.h"
#include "richtext/Rtf.h"
#include "store/Cursor.h"
#include "store/Database.h"
#include "tools/DataDir.h"
#include "widgets/DataControls.h"

#include <QAbstractButton>
#include <QApplication>
#include <QListView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <memory>

namespace {

using platform::Button;
using platform::ToneList;

void ensureApplication()
{
    if (QApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "organiser_tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

const QString kDuplicate = QStringLiteral("Nelze vložit dva stejné názvy. Stejný název už existuje.");

class OsobZaznamyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensureApplication();
        ASSERT_TRUE(m_dir.isValid());
        const std::filesystem::path work = m_dir.path().toStdString();
        tools::makeDataDir(tools::sourceSeedsDir(), work);
        m_database = std::make_unique<store::Database>(work / "Data");
        {
            store::Cursor notes(*m_database, "Datz.db");
            notes.open();
            notes.insertRecord({"Hrad", "{\\rtf1 o hradu}"});
            notes.insertRecord({"Chata", "klíče u souseda"});
            notes.insertRecord({"Auto", ""});
        }
        m_form = std::make_unique<organiser::TOsobZaznamyForm>(*m_database);
        m_form->showOnFirstRecord();
        m_form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_form.get()));
        m_fakes.tones.clear();
    }
    void TearDown() override
    {
        m_form.reset();
        m_database.reset();
    }

    template <typename T> T* control(const char* name)
    {
        T* found = m_form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void click(const char* name) { QTest::mouseClick(control<QAbstractButton>(name), Qt::LeftButton); }
    bool editing() { return control<QAbstractButton>("SpeedButtonPotvrd")->isEnabled(); }
    QStringList titles()
    {
        QStringList list;
        QAbstractItemModel* model = control<QListView>("DBLookupListBoxSeznamNazvu")->model();
        for (int row = 0; row < model->rowCount(); ++row)
            list << model->index(row, 0).data().toString();
        return list;
    }
    QString current() { return QString::fromStdString(m_form->TableZaznamy().text("Název")); }
    static void type(QWidget* widget, const QString& text)
    {
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    QWidget* title() { return control<QWidget>("DBMemoNazev"); }
    QWidget* text() { return control<QWidget>("DBRichEditText"); }
    QWidget* list() { return control<QWidget>("DBLookupListBoxSeznamNazvu"); }

    platform::ScopedFakeServices m_fakes;
    QTemporaryDir m_dir;
    std::unique_ptr<store::Database> m_database;
    std::unique_ptr<organiser::TOsobZaznamyForm> m_form;
};

// The list shows the titles in Czech order ("ch" after "h") and has the focus first.
TEST_F(OsobZaznamyTest, StartsOnTheFirstTitleWithTheListFocused)
{
    EXPECT_EQ(m_form->windowTitle(), QStringLiteral("Osobní záznamy"));
    EXPECT_EQ(titles(), (QStringList{QStringLiteral("Auto"), QStringLiteral("Hrad"), QStringLiteral("Chata")}));
    EXPECT_EQ(current(), QStringLiteral("Auto"));
    EXPECT_EQ(QApplication::focusWidget(), list());
    EXPECT_FALSE(editing());
    EXPECT_FALSE(control<QAbstractButton>("SpeedButtonZrus")->isEnabled());
}

// A title that exists: the window's own message, nothing stored, still
// editing with the focus in the title; discard goes back to the record
// that was current before the insert.
TEST_F(OsobZaznamyTest, DuplicateTitleOnSave)
{
    m_form->TableZaznamy().last();
    click("SpeedButtonVloz");
    EXPECT_EQ(m_fakes.tones.sounded(), (ToneList{{400, 50}}));
    EXPECT_EQ(QApplication::focusWidget(), title());
    EXPECT_TRUE(editing());
    type(title(), QStringLiteral("Hrad"));
    m_fakes.tones.clear();
    click("SpeedButtonPotvrd");
    EXPECT_EQ(m_fakes.tones.sounded(), (ToneList{{400, 100}}));
    EXPECT_EQ(m_fakes.dialogs.lastBox().text, kDuplicate);
    EXPECT_EQ(m_fakes.dialogs.lastBox().caption, QStringLiteral("Pelmir a telefony"));
    EXPECT_TRUE(editing());
    EXPECT_EQ(QApplication::focusWidget(), title());
    {
        store::Cursor saved(*m_database, "Datz.db");
        saved.open();
        EXPECT_EQ(saved.recordCount(), 3);
    }
    m_fakes.tones.clear();
    click("SpeedButtonZrus");
    EXPECT_EQ(m_fakes.tones.sounded(), (ToneList{{90, 70}, {0, 70}, {90, 70}}));
    EXPECT_FALSE(editing());
    EXPECT_EQ(current(), QStringLiteral("Chata"));
    EXPECT_EQ(QApplication::focusWidget(), list());
}

// 35 characters go in, the 36th is refused.
TEST_F(OsobZaznamyTest, TitleTakesThirtyFiveCharacters)
{
    click("SpeedButtonVloz");
    type(title(), QString(34, u'a') + QStringLiteral("žx"));
    EXPECT_EQ(static_cast<widgets::DBMemo*>(title())->toPlainText(), QString(34, u'a') + QStringLiteral("ž"));
    click("SpeedButtonPotvrd");
    EXPECT_EQ(current(), QString(34, u'a') + QStringLiteral("ž"));
}

// The list follows an insert, a rename and a delete, always in key order.
TEST_F(OsobZaznamyTest, ListFollowsInsertRenameAndDelete)
{
    click("SpeedButtonVloz");
    type(title(), QStringLiteral("Banka"));
    click("SpeedButtonPotvrd");
    EXPECT_EQ(titles(), (QStringList{QStringLiteral("Auto"), QStringLiteral("Banka"), QStringLiteral("Hrad"),
                                     QStringLiteral("Chata")}));
    EXPECT_EQ(QApplication::focusWidget(), list());
    // Rename "Auto" to "Zahrada".
    m_form->TableZaznamy().first();
    auto* memo = static_cast<widgets::DBMemo*>(title());
    memo->selectAll();
    type(memo, QStringLiteral("Zahrada"));
    EXPECT_TRUE(editing());
    click("SpeedButtonPotvrd");
    EXPECT_EQ(titles(), (QStringList{QStringLiteral("Banka"), QStringLiteral("Hrad"), QStringLiteral("Chata"),
                                     QStringLiteral("Zahrada")}));
    // Delete asks with the title; No keeps it silently, Yes deletes with the tone.
    m_form->TableZaznamy().first();
    m_fakes.tones.clear();
    m_fakes.dialogs.answerNext(Button::No);
    click("SpeedButtonSmaz");
    EXPECT_EQ(m_fakes.dialogs.lastBox().text, QStringLiteral("Smazat záznam s názvem Banka?"));
    EXPECT_TRUE(m_fakes.tones.sounded().isEmpty());
    EXPECT_EQ(titles().size(), 4);
    m_fakes.dialogs.answerNext(Button::Yes);
    click("SpeedButtonSmaz");
    EXPECT_EQ(m_fakes.tones.sounded(), (ToneList{{90, 150}}));
    EXPECT_EQ(titles(), (QStringList{QStringLiteral("Hrad"), QStringLiteral("Chata"), QStringLiteral("Zahrada")}));
}

// Enter saves and sounds 450 Hz, also with nothing to save; in the text it
// then starts a new paragraph. Esc drops the edit and beeps.
TEST_F(OsobZaznamyTest, EnterAndEscInTheEditors)
{
    title()->setFocus();
    QTest::keyClick(title(), Qt::Key_Return);
    EXPECT_EQ(m_fakes.tones.sounded(), (ToneList{{450, 75}}));

    text()->setFocus();
    static_cast<widgets::DBRichEdit*>(text())->moveCursor(QTextCursor::End);
    type(text(), QStringLiteral("první"));
    m_fakes.tones.clear();
    QTest::keyClick(text(), Qt::Key_Return);
    EXPECT_EQ(m_fakes.tones.sounded(), (ToneList{{450, 75}}));
    type(text(), QStringLiteral("druhý"));
    QTest::keyClick(text(), Qt::Key_Return);
    QTest::keyClick(text(), Qt::Key_Escape); // drops the empty paragraph typed after the save
    EXPECT_EQ(m_fakes.tones.beeps(), 1);
    m_form->TableZaznamy().next();
    m_form->TableZaznamy().first();
    EXPECT_EQ(static_cast<widgets::DBRichEdit*>(text())->toPlainText(), QStringLiteral("první\ndruhý"));
    EXPECT_TRUE(QString::fromStdString(m_form->TableZaznamy().text("Text")).startsWith(QStringLiteral("{\\rtf1")));

    // Esc with nothing being edited only beeps.
    QTest::keyClick(title(), Qt::Key_Escape);
    EXPECT_EQ(m_fakes.tones.beeps(), 2);
    EXPECT_EQ(current(), QStringLiteral("Auto"));
}

// A duplicate title saved by Enter is told in the window's own Czech words,
// not the store's "Key violation."; no tone, and the record stays in edit.
TEST_F(OsobZaznamyTest, EnterWithADuplicateTitleSaysSoInCzech)
{
    click("SpeedButtonVloz");
    type(title(), QStringLiteral("Chata"));
    m_fakes.tones.clear();
    QTest::keyClick(title(), Qt::Key_Return);
    EXPECT_TRUE(m_fakes.tones.sounded().isEmpty());
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    EXPECT_EQ(m_fakes.dialogs.lastBox().text, kDuplicate);
    EXPECT_EQ(m_fakes.dialogs.lastBox().icon, platform::Icon::Error);
    EXPECT_EQ(m_form->TableZaznamy().state(), store::CursorState::Insert);
    EXPECT_EQ(current(), QStringLiteral("Chata"));
    EXPECT_EQ(QApplication::focusWidget(), title());
}

// Every record prints as its title, its text's paragraphs on their own
// lines and an empty line; the table stays where it was.
TEST_F(OsobZaznamyTest, PrintsAllRecordsAsPlainText)
{
    EXPECT_EQ(organiser::recordLines(QStringLiteral("N"), QStringLiteral("{\\rtf1 {\\b a}\\par b\\par c}")),
              (QStringList{QStringLiteral("NÁZEV: N"), QStringLiteral("TEXT:  a"), QStringLiteral("b"),
                           QStringLiteral("c"), QString()}));
    m_form->TableZaznamy().next();
    m_fakes.dialogs.answerNext(Button::No);
    click("SpeedButtonTisk");
    EXPECT_TRUE(m_fakes.printer.jobs().isEmpty());
    EXPECT_EQ(m_fakes.dialogs.lastBox().text, QStringLiteral("Chcete vytisknout celý obsah záznamníku?"));
    m_fakes.dialogs.answerNext(Button::Yes);
    click("SpeedButtonTisk");
    ASSERT_EQ(m_fakes.printer.jobs().size(), 1);
    EXPECT_TRUE(m_fakes.printer.lastJob().finished);
    EXPECT_EQ(m_fakes.printer.lastJob().pageLines(1),
              (QStringList{QStringLiteral("NÁZEV: Auto"), QStringLiteral("TEXT:  "), QString(),
                           QStringLiteral("NÁZEV: Hrad"), QStringLiteral("TEXT:  o hradu"), QString(),
                           QStringLiteral("NÁZEV: Chata"),
                           QStringLiteral("TEXT:  klíče u souseda")}));
    EXPECT_EQ(current(), QStringLiteral("Hrad"));

    // No printer: the error box, and the table is still where it was.
    m_fakes.printer.setAvailable(false);
    m_fakes.dialogs.answerNext(Button::Yes);
    click("SpeedButtonTisk");
    EXPECT_EQ(m_fakes.dialogs.lastBox().icon, platform::Icon::Error);
    EXPECT_EQ(current(), QStringLiteral("Hrad"));
}

} // namespace

namespace {

// Two notes typed one after the other, the second inserted right after the
// first is saved from the text editor: each keeps its own title and text.
TEST_F(OsobZaznamyTest, TwoNotesInARow)
{
    click("SpeedButtonVloz");
    type(title(), QStringLiteral("Banka"));
    QTest::keyClick(title(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), text());
    type(text(), QStringLiteral("číslo účtu"));
    QTest::keyClick(text(), Qt::Key_A, Qt::ControlModifier);
    click("SpeedButtonPotvrd");
    click("SpeedButtonVloz");
    EXPECT_EQ(QApplication::focusWidget(), title());
    type(QApplication::focusWidget(), QStringLiteral("Zahrada"));
    click("SpeedButtonPotvrd");
    store::Cursor saved(*m_database, "Datz.db");
    saved.open();
    ASSERT_TRUE(saved.findKey("Banka"));
    EXPECT_EQ(richtext::plainText(QString::fromStdString(saved.text("Text"))), QStringLiteral("číslo účtu"));
    ASSERT_TRUE(saved.findKey("Zahrada"));
    EXPECT_EQ(saved.text("Text"), "");
}

} // namespace

namespace {

// A note of megabytes (from a table made elsewhere) would freeze the window
// in the text layout: it is shown as a remark, read-only, and stays stored
// whole however the user moves, types or prints.
TEST_F(OsobZaznamyTest, AHugeNoteIsARemarkAndStaysStoredWhole)
{
    struct Case {
        const char* title;
        std::string text;
    };
    std::string paragraphs = "{\\rtf1 ";
    for (int i = 0; i < 150'000; ++i)
        paragraphs += "\\par ";
    paragraphs += "}";
    const Case cases[] = {
        {"Odstavce", paragraphs},                          // under a megabyte, too many paragraphs
        {"Dlouhý", std::string(300'000, 'x')},             // too many characters
        {"Obří", "{\\rtf1 " + std::string(3'000'000, 'y') + "}"}, // past the size
    };
    m_form.reset();
    {
        store::Cursor notes(*m_database, "Datz.db");
        notes.open();
        for (const Case& c : cases)
            notes.insertRecord({c.title, c.text});
    }
    m_form = std::make_unique<organiser::TOsobZaznamyForm>(*m_database);
    m_form->showOnFirstRecord();
    auto* area = control<QTextEdit>("DBRichEditText");

    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        ASSERT_TRUE(m_form->TableZaznamy().findKey(c.title));
        EXPECT_TRUE(area->toPlainText().startsWith(QStringLiteral("Text tohoto záznamu je příliš rozsáhlý")))
            << area->toPlainText().left(80).toStdString();
        EXPECT_TRUE(area->isReadOnly());
        area->setFocus();
        type(area, QStringLiteral("z"));
        QTest::keyClick(area, Qt::Key_Delete);
        EXPECT_FALSE(editing());
        ASSERT_TRUE(m_form->TableZaznamy().findKey("Hrad"));
        EXPECT_EQ(area->toPlainText(), QStringLiteral("o hradu"));
        EXPECT_FALSE(area->isReadOnly());
    }
    EXPECT_EQ(organiser::recordLines(QStringLiteral("N"), QString::fromStdString(cases[2].text)).at(1),
              QStringLiteral("TEXT:  (text je příliš rozsáhlý)"));

    m_form.reset();
    store::Cursor saved(*m_database, "Datz.db");
    saved.open();
    for (const Case& c : cases) {
        ASSERT_TRUE(saved.findKey(c.title));
        EXPECT_EQ(saved.text("Text"), c.text) << c.title;
    }
}

} // namespace
