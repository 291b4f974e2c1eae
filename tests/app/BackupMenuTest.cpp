// The backup commands and windows as the main window's menu reaches them.
#include "AppFixture.h"

#include "backup/BackupSet.h"
#include "backup/Restore.h"
#include "backup/TNastavARJForm.h"
#include "backup/TZalhForm.h"
#include "store/Cursor.h"
#include "store/Database.h"
#include "tools/DataDir.h"
#include "widgets/DBGrid.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <filesystem>
#include <fstream>

namespace apptest {
namespace {

using BackupMenuTest = AppFixture;

// The floppy items need an archiver directory: decided once at start-up, so
// saving one later leaves them disabled until the next start.
TEST_F(BackupMenuTest, FloppyItemsFollowTheArchiverDirectoryAtStartUp)
{
    startWith({});
    EXPECT_TRUE(QFile::exists(workPath(QStringLiteral("Nastavzal.txt"))));
    EXPECT_EQ(QFile(workPath(QStringLiteral("Nastavzal.txt"))).size(), 0);
    EXPECT_FALSE(action("ZalohaNaDiskety")->isEnabled());
    EXPECT_FALSE(action("ObnovaZDisket")->isEnabled());

    action("ZalohovaniARJ")->trigger();
    backup::TNastavARJForm* settings = m_app->nastavARJForm();
    ASSERT_TRUE(settings->isVisible());
    QApplication::setActiveWindow(settings);
    ASSERT_TRUE(QTest::qWaitForWindowActive(settings));
    typeText(settings->findChild<QLineEdit*>(QStringLiteral("EditNastavARJ")), QStringLiteral("/usr/bin/"));
    QTest::mouseClick(settings->findChild<QPushButton*>(QStringLiteral("BitBtnUloz")), Qt::LeftButton);
    EXPECT_EQ(QFile(workPath(QStringLiteral("Nastavzal.txt"))).size(), 9);
    EXPECT_FALSE(action("ZalohaNaDiskety")->isEnabled());

    restart();
    EXPECT_TRUE(action("ZalohaNaDiskety")->isEnabled());
    EXPECT_TRUE(action("ObnovaZDisket")->isEnabled());
}

// "Záloha na disk" copies into Zaloha and logs; "Statistika" shows the log in front.
TEST_F(BackupMenuTest, DiskBackupFromTheMenuShowsInTheLog)
{
    startWith(standardAddresses());
    action("ZalohaNaDisk")->trigger();
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    EXPECT_EQ(m_fakes.dialogs.lastBox().caption, QStringLiteral("Information"));
    EXPECT_TRUE(QFile::exists(workPath(QStringLiteral("Zaloha/Dat.DB"))));

    action("Statistika")->trigger();
    backup::TZalhForm* log = m_app->zalhForm();
    ASSERT_TRUE(log->isVisible());
    ASSERT_TRUE(QTest::qWaitForWindowActive(log));
    auto* grid = log->findChild<widgets::DBGrid*>(QStringLiteral("DBGrid1"));
    ASSERT_EQ(grid->model()->rowCount(), 1);
    EXPECT_FALSE(grid->model()->index(0, 2).data().toString().isEmpty());

    m_fakes.help.clear();
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_F1);
    EXPECT_EQ(m_fakes.help.topics(), QList<int>{10});
}

// "Obnova z disku" starts the restore program and ends the program.
TEST_F(BackupMenuTest, RestoreStartsTheRestoreProgramAndEnds)
{
    startWith(standardAddresses());
    action("ObnovaZDisku")->trigger();
    ASSERT_EQ(m_fakes.processes.started().size(), 1);
    EXPECT_TRUE(m_fakes.processes.started()[0].program.endsWith(QStringLiteral("pelmir-restore")));
    EXPECT_EQ(QDir(m_fakes.processes.started()[0].workingDirectory), QDir(workPath(QString())));
    EXPECT_FALSE(table().isActive()); // the program ended as "Konec" ends it
}

// A table that stops start-up cannot be restored through the menu, which
// never shows: the message names the restore program and its command line.
TEST_F(BackupMenuTest, ATableThatStopsStartUpNamesTheRestoreProgram)
{
    struct Case {
        const char* table;
        bool missing; // else damaged
        const char* says;
    };
    const Case cases[] = {
        {"Datp.DB", true, "Tabulku Datp.db nelze otevřít: soubor tabulky ve složce Data chybí."},
        {"Svatek.DB", false, "Tabulku Svatek.DB nelze otevřít: soubor není čitelnou tabulkou nebo je poškozený."},
        {"Dat.DB", true, "Tabulku Dat.DB nelze otevřít: soubor tabulky ve složce Data chybí."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table);
        std::filesystem::remove_all(workDir());
        tools::makeDataDir(tools::sourceSeedsDir(), workDir());
        const std::filesystem::path file = workDir() / "Data" / c.table;
        if (c.missing)
            std::filesystem::remove(file);
        else
            std::ofstream(file, std::ios::trunc) << "this is not a table at all, just some bytes of text\n";
        m_fakes.dialogs.clear();
        m_app = std::make_unique<app::Application>(workDir());
        EXPECT_FALSE(m_app->start());
        ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
        const QString text = m_fakes.dialogs.lastBox().text;
        EXPECT_TRUE(text.startsWith(QString::fromUtf8(c.says))) << text.toStdString();
        EXPECT_FALSE(text.contains(QStringLiteral("Obnova z disku"))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("pelmir-restore --workdir '%1'")
                                      .arg(QString::fromStdString(workDir().string()))))
            << text.toStdString();
        m_app.reset();
    }
}

// A restore stopped half way (here: the files as a kill after the fifth
// table moved in would leave them) is undone at the next start, which says
// so; the program then shows the tables from before the restore.
TEST_F(BackupMenuTest, ARestoreStoppedHalfWayIsUndoneAtTheNextStart)
{
    beforeStart = [this] {
        const QString data = workPath(QStringLiteral("Data"));
        const QString stopped = workPath(QStringLiteral("stopped"));
        backup::copyBackupSet(data, workPath(QStringLiteral("Zaloha")), QDateTime::currentDateTime());
        {
            store::Database database(workDir() / "Data");
            store::Cursor cursor(database, "Dat.DB");
            cursor.open();
            cursor.insertRecord({"Pozdější", "Jan"});
        }
        const QString staging = QDir(data).filePath(QStringLiteral(".obnova"));
        QDir().mkpath(staging);
        backup::stageBackup(workPath(QStringLiteral("Zaloha")), staging);
        int movedIn = 0;
        backup::replaceTables(staging, data, QStringLiteral("puvodni-1"),
                              [&](backup::RestoreStep step, const QString&) {
                                  if (step == backup::RestoreStep::MovedIn && ++movedIn == 5)
                                      std::filesystem::copy(data.toStdString(), stopped.toStdString(),
                                                            std::filesystem::copy_options::recursive);
                              });
        QDir(data).removeRecursively();
        QDir().rename(stopped, data);
    };
    startWith(standardAddresses());
    ASSERT_EQ(m_startupBoxes.size(), 1);
    EXPECT_EQ(m_startupBoxes[0].icon, platform::Icon::Information);
    EXPECT_TRUE(m_startupBoxes[0].text.startsWith(QStringLiteral("Obnova dat ze zálohy byla přerušena.")));
    EXPECT_TRUE(savedSurnames().contains(QStringLiteral("Pozdější")));
    EXPECT_FALSE(QFileInfo::exists(workPath(QStringLiteral("Data/puvodni-1"))));
}

} // namespace
} // namespace apptest
