// Ending the program, in any of its ways, never drops unsaved work unasked:
// the letter in the editor and a record typed into any window are saved or
// asked about, and the user can keep the program running.

#include "AppFixture.h"

#include "editor/EditorForm.h"
#include "organiser/OsobZaznamyForm.h"
#include "organiser/PlanovacForm.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTest>

namespace apptest {
namespace {

using platform::Button;

const QString kLetterQuestion = QStringLiteral("Uložit změny do souboru Bez názvu?");

class QuitTest;

struct Ending {
    const char* name;
    std::function<void(QuitTest&)> run;
    bool restores; // the way starts the restore program before the end
};

class QuitTest : public AppFixture {
public:
    // For the tables of cases below.
    using AppFixture::action;
    using AppFixture::click;
    using AppFixture::form;
    using AppFixture::m_app;
    using AppFixture::table;
    using AppFixture::typeIntoGrid;

protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        // An archiver directory, so that the floppy restore is on the menu.
        beforeStart = [this] {
            QFile settings(workPath(QStringLiteral("Nastavzal.txt")));
            ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
            settings.write("/usr/bin/");
        };
        startWith(standardAddresses());
    }

    bool ended() { return !table().isActive(); }
    editor::TEditorForm& letterWindow() { return *m_app->editorForm(); }

    // A letter typed in the editor and not saved.
    void writeLetter()
    {
        letterWindow().show();
        // Straight to the editor: offscreen, its window need not become active.
        for (const QChar c : QStringLiteral("Vážený pane"))
            QTest::sendKeyEvent(QTest::Click, letterWindow().editorArea(), Qt::Key(c.toUpper().unicode()),
                                QString(c), Qt::NoModifier);
        ASSERT_TRUE(letterWindow().editorArea()->document()->isModified());
        letterWindow().hide();
        QApplication::setActiveWindow(&form());
    }

    static std::vector<Ending> endings()
    {
        return {
            {"Konec (F10)", [](QuitTest& f) { f.action("Konec")->trigger(); }, false},
            {"&Konec", [](QuitTest& f) { f.click("BitBtnKonec"); }, false},
            {"close box", [](QuitTest& f) { f.form().close(); }, false},
            {"Obnova z disku", [](QuitTest& f) { f.action("ObnovaZDisku")->trigger(); }, true},
            {"Obnova z disket", [](QuitTest& f) { f.action("ObnovaZDisket")->trigger(); }, true},
        };
    }
};

// Every way of ending asks about a changed letter: Cancel keeps the program
// and the letter; No then ends it (and starts the restore where asked).
// Before, each of them ended the program and the letter was gone.
TEST_F(QuitTest, EveryEndingAsksAboutTheLetter)
{
    for (const Ending& ending : endings()) {
        SCOPED_TRACE(ending.name);
        restart();
        ASSERT_TRUE(action("ObnovaZDisket")->isEnabled());
        writeLetter();

        m_fakes.dialogs.answerNext(Button::Cancel);
        ending.run(*this);
        EXPECT_EQ(m_fakes.dialogs.shownTexts(), QStringList{kLetterQuestion});
        EXPECT_FALSE(ended());
        EXPECT_TRUE(m_fakes.processes.started().isEmpty());
        EXPECT_TRUE(letterWindow().isVisible()); // shown, so the user sees what is asked about
        EXPECT_TRUE(letterWindow().editorArea()->document()->isModified());
        EXPECT_TRUE(letterWindow().editorArea()->toPlainText().contains(QStringLiteral("Vážený pane")));

        m_fakes.dialogs.answerNext(Button::No);
        ending.run(*this);
        EXPECT_TRUE(ended());
        EXPECT_EQ(m_fakes.processes.started().size(), ending.restores ? 1 : 0);
        m_fakes.processes.clear();
        m_fakes.dialogs.clear();
    }
}

// Yes saves the letter first; a save that does not happen (its dialog
// cancelled, or the file not written) keeps the program running.
TEST_F(QuitTest, YesEndsOnlyOnceTheLetterIsSaved)
{
    writeLetter();
    // Save As cancelled.
    m_fakes.dialogs.answerNext(Button::Yes);
    action("Konec")->trigger();
    EXPECT_FALSE(ended());

    // A folder that does not exist: the error says why, the program stays.
    m_fakes.dialogs.clear();
    m_fakes.dialogs.answerNext(Button::Yes);
    m_fakes.dialogs.answerNextSaveFile(workPath(QStringLiteral("chybi/dopis.rtf")));
    action("Konec")->trigger();
    EXPECT_FALSE(ended());
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 2);
    EXPECT_TRUE(m_fakes.dialogs.lastBox().text.contains(QStringLiteral("nelze uložit")));
    EXPECT_TRUE(letterWindow().editorArea()->document()->isModified());

    m_fakes.dialogs.answerNext(Button::Yes);
    m_fakes.dialogs.answerNextSaveFile(workPath(QStringLiteral("dopis.rtf")));
    action("Konec")->trigger();
    EXPECT_TRUE(ended());
    QFile saved(workPath(QStringLiteral("dopis.rtf")));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll().startsWith("{\\rtf1"));
}

// A record typed into a window and not saved is asked about by the window's
// name: Cancel keeps the program and the record, Yes saves it, No drops it.
// Before, every such record was dropped without a word.
TEST_F(QuitTest, APendingRecordInAnyWindowIsAskedAbout)
{
    struct Window {
        const char* name;
        std::function<void(QuitTest&)> type; // leaves a changed record pending
        std::function<store::Cursor&(QuitTest&)> table;
        const char* tableFile;
        std::string keyField;
        QString typed;
    };
    const Window windows[] = {
        {"Pelmir s telefonními čísly",
         [](QuitTest& t) {
             t.click("SpeedButtonVloz");
             t.typeIntoGrid(QStringLiteral("Bílek")); // still in the cell's editor
         },
         [](QuitTest& t) -> store::Cursor& { return t.table(); }, "Dat.DB", "Příjmení", QStringLiteral("Bílek")},
        {"Osobní záznamy",
         [](QuitTest& t) {
             organiser::TOsobZaznamyForm* window = t.m_app->osobZaznamyForm();
             window->showOnFirstRecord();
             QTest::mouseClick(window->findChild<QWidget*>(QStringLiteral("SpeedButtonVloz")), Qt::LeftButton);
             typeText(window->findChild<QWidget*>(QStringLiteral("DBMemoNazev")), QStringLiteral("Chalupa"));
             window->hide();
         },
         [](QuitTest& t) -> store::Cursor& { return t.m_app->osobZaznamyForm()->TableZaznamy(); }, "Datz.db",
         "Název", QStringLiteral("Chalupa")},
        {"Plánovač",
         [](QuitTest& t) {
             organiser::TPlanovacForm* window = t.m_app->planovacForm();
             window->showOnFirstEntry();
             store::Cursor& planner = window->TablePlanovac();
             planner.insert();
             planner.setText("Datum", "24.12.2026");
             planner.setText("Činnost", "Vánoce");
             window->hide();
         },
         [](QuitTest& t) -> store::Cursor& { return t.m_app->planovacForm()->TablePlanovac(); }, "Datp.db",
         "Činnost", QStringLiteral("Vánoce")},
    };
    const auto saved = [this](const char* file, const std::string& field) {
        store::Cursor cursor(m_app->database(), file);
        cursor.open();
        QStringList values;
        for (cursor.first(); !cursor.eof(); cursor.next())
            values << QString::fromStdString(cursor.text(field));
        return values;
    };
    for (const Window& window : windows) {
        // No first: Yes leaves the record saved.
        for (Button last : {Button::No, Button::Yes}) {
            SCOPED_TRACE(std::string(window.name) + (last == Button::Yes ? " Yes" : " No"));
            restart();
            window.type(*this);

            m_fakes.dialogs.answerNext(Button::Cancel);
            action("Konec")->trigger();
            EXPECT_FALSE(ended());
            ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
            EXPECT_TRUE(m_fakes.dialogs.lastBox().text.startsWith(QStringLiteral("V okně „%1“").arg(
                QString::fromUtf8(window.name))))
                << m_fakes.dialogs.lastBox().text.toStdString();
            EXPECT_TRUE(window.table(*this).modified());
            EXPECT_FALSE(saved(window.tableFile, window.keyField).contains(window.typed));

            m_fakes.dialogs.answerNext(last);
            action("Konec")->trigger();
            EXPECT_TRUE(ended());
            EXPECT_EQ(saved(window.tableFile, window.keyField).contains(window.typed), last == Button::Yes);
        }
    }
}

// A save refused at the end (a duplicate surname) says why and keeps the
// program running on the record, to be corrected.
TEST_F(QuitTest, AFailedSaveKeepsTheProgramRunning)
{
    click("SpeedButtonVloz");
    typeIntoGrid(QString::fromStdString(standardAddresses().front().surname));
    m_fakes.dialogs.answerNext(Button::Yes);
    action("Konec")->trigger();
    EXPECT_FALSE(ended());
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 2);
    EXPECT_EQ(m_fakes.dialogs.lastBox().icon, platform::Icon::Error);
    EXPECT_EQ(table().state(), store::CursorState::Insert);
}

} // namespace
} // namespace apptest
