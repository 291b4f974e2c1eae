// The files of a backup, their order, and copies taken while the tables are open.
#include "BackupFixture.h"
#include "DamagedPage.h"

#include "backup/BackupSet.h"
#include "backup/FileCopy.h"

#include "store/Cursor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>

#include <functional>

#include <sqlite3.h>

namespace backuptest {
namespace {

QStringList fileNames(const QList<backup::BackupFile>& files)
{
    QStringList names;
    for (const backup::BackupFile& file : files)
        names << file.file;
    return names;
}

QStringList sorted(QStringList names)
{
    names.sort();
    return names;
}

using BackupSetTest = BackupFixture;

// The order is fixed by the backup, not by the catalogue: the log comes
// before the weight records at the end.
TEST(BackupFiles, EveryTableInTheBackupOrder)
{
    EXPECT_EQ(fileNames(backup::backupFiles()), kTableFiles);
}

// The copies are the tables as saved, byte for byte, and each opens as its
// table, although cursors hold the tables open and one has a change pending.
TEST_F(BackupSetTest, CopiesEveryTableWhileTheyStayOpen)
{
    addAddresses({"Novák", "Dvořák"});
    store::Cursor open(database(), "Dat.DB");
    open.open();
    open.edit();
    open.setText("Příjmení", "Neuloženo");

    backup::copyBackupSet(dataPath(), backupPath(), m_fakes.clock.now());

    EXPECT_EQ(filesIn(backupPath()), sorted(kTableFiles + QStringList{backup::kManifestName}));
    for (const QString& name : kTableFiles)
        EXPECT_EQ(readFile(backupPath(name)), readFile(dataPath(name))) << name.toStdString();
    EXPECT_EQ(firstFields(backupPath(), "Dat.DB"), (std::vector<std::string>{"Dvořák", "Novák"}));
    EXPECT_EQ(firstFields(backupPath(), "Svatek.db").size(), 366u);
    EXPECT_EQ(firstFields(backupPath(), "Zaloha.db").size(), 0u);

    const std::optional<backup::Manifest> manifest = backup::readManifest(backupPath());
    ASSERT_TRUE(manifest.has_value());
    EXPECT_EQ(manifest->taken, m_fakes.clock.now());
    ASSERT_EQ(manifest->files.size(), kTableFiles.size());
    for (qsizetype i = 0; i < kTableFiles.size(); ++i) {
        EXPECT_EQ(manifest->files[i].first, kTableFiles[i]);
        EXPECT_EQ(manifest->files[i].second, QFile(dataPath(kTableFiles[i])).size());
    }
    open.cancel();
}

// Only one backup is kept: a backup that fails, wherever it fails, leaves
// the previous one whole, and the restore brings it back.
TEST_F(BackupSetTest, AFailedBackupLeavesThePreviousOneRestorable)
{
    addAddresses({"Starý"});
    backup::copyBackupSet(dataPath(), backupPath(), m_fakes.clock.now());
    addAddresses({"Nový"});
    const std::vector<std::string> previous{"Starý"};
    QMap<QString, QByteArray> previousFiles;
    for (const QString& name : filesIn(backupPath()))
        previousFiles[name] = readFile(backupPath(name));

    struct Case {
        QString name;
        std::function<void()> breakIt;
        std::function<void()> mendIt;
        QString says;
    };
    // A damaged table: ADamagedTableLeavesThePreviousBackupWhole.
    std::vector<Case> cases;
    // A table missing at the start, in the middle or at the end of the list.
    for (const QString& file : {kTableFiles.first(), kTableFiles[6], kTableFiles.last()}) {
        const QString aside = workPath(file);
        cases.push_back({QStringLiteral("missing ") + file, [=, this] { QFile::rename(dataPath(file), aside); },
                         [=, this] { QFile::rename(aside, dataPath(file)); }, file});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        c.breakIt();
        try {
            backup::copyBackupSet(dataPath(), backupPath(), m_fakes.clock.now().addSecs(60));
            ADD_FAILURE() << "the backup went through";
        } catch (const backup::BackupError& error) {
            EXPECT_TRUE(error.message().contains(c.says)) << error.message().toStdString();
            EXPECT_TRUE(error.message().startsWith(QStringLiteral("Záloha se neprovedla, předchozí záloha zůstala"
                                                                  " beze změny.")))
                << error.message().toStdString();
        }
        c.mendIt();
        EXPECT_FALSE(QFileInfo::exists(backupPath(backup::kStagingName)));
        EXPECT_EQ(restoredSurnames(workPath()), previous);
    }

    // A copy gone or cut short after it was made (another program in the
    // backup folder, a disk that lost it) is no backup: it passed the page
    // check as sound before, and the previous backup was replaced by it.
    for (const bool removeIt : {true, false}) {
        SCOPED_TRACE(removeIt ? "copy removed" : "copy emptied");
        const QString file = kTableFiles[3];
        try {
            backup::copyBackupSet(dataPath(), backupPath(), m_fakes.clock.now().addSecs(60),
                                  [&](backup::BackupStep step, const QString& copied) {
                                      if (step != backup::BackupStep::Copied || copied != file)
                                          return;
                                      const QString copy = backupPath(backup::kStagingName + u'/' + file);
                                      if (removeIt)
                                          QFile::remove(copy);
                                      else
                                          QFile::resize(copy, 0);
                                  });
            ADD_FAILURE() << "the backup went through";
        } catch (const backup::BackupError& error) {
            EXPECT_TRUE(error.message().contains(file)) << error.message().toStdString();
        }
        EXPECT_FALSE(QFileInfo::exists(backupPath(backup::kStagingName)));
        EXPECT_EQ(restoredSurnames(workPath()), previous);
    }

    // A failure at each step of the backup (a full disk, a file that cannot
    // be moved): before the new copies are whole and flushed the previous
    // backup stays; after that the new one is finished by the restore.
    std::vector<std::pair<backup::BackupStep, QString>> steps;
    const QString scratch = workPath(QStringLiteral("scratch"));
    QDir().mkpath(scratch);
    backup::copyBackupSet(dataPath(), scratch, m_fakes.clock.now(),
                          [&](backup::BackupStep step, const QString& file) { steps.emplace_back(step, file); });
    ASSERT_EQ(steps.size(), 2 * static_cast<std::size_t>(kTableFiles.size()) + 2);
    for (std::size_t at = 0; at < steps.size(); ++at) {
        SCOPED_TRACE("failing at step " + std::to_string(at) + " " + steps[at].second.toStdString());
        const bool whole = steps[at].first == backup::BackupStep::MovedIn || steps[at].first == backup::BackupStep::Done;
        std::size_t seen = 0;
        EXPECT_THROW(backup::copyBackupSet(dataPath(), backupPath(), m_fakes.clock.now().addSecs(60),
                                           [&](backup::BackupStep, const QString&) {
                                               if (seen++ == at)
                                                   throw backup::BackupError(QStringLiteral("na disku není dost místa"));
                                           }),
                     backup::BackupError);
        EXPECT_EQ(QFileInfo::exists(backupPath(backup::kStagingName)), whole && steps[at].first != backup::BackupStep::Done);
        const std::vector<std::string> both{"Nový", "Starý"};
        EXPECT_EQ(restoredSurnames(workPath()), whole ? both : previous);
        // The next case starts from the previous backup again.
        QDir(backupPath()).removeRecursively();
        QDir().mkpath(backupPath());
        for (const QString& name : previousFiles.keys())
            writeFile(backupPath(name), previousFiles[name]);
    }
}

// Only one backup is kept and a damaged table is restored from it: a backup
// that would copy a damaged table stops before it touches anything, and the
// backup before it stays whole.
TEST_F(BackupSetTest, ADamagedTableLeavesThePreviousBackupWhole)
{
    backup::copyBackupSet(dataPath(), backupPath(), m_fakes.clock.now());
    QMap<QString, QByteArray> previous;
    for (const QString& name : filesIn(backupPath()))
        previous[name] = readFile(backupPath(name));
    testsupport::overwritePage(dataPath(QStringLiteral("Svatek.DB")).toStdString(), testsupport::kLastRecordsLeaf);

    try {
        backup::copyBackupSet(dataPath(), backupPath(), m_fakes.clock.now().addSecs(60));
        ADD_FAILURE() << "the damaged table was copied";
    } catch (const backup::BackupError& error) {
        EXPECT_TRUE(error.message().startsWith(
            QStringLiteral("Záloha se neprovedla, předchozí záloha zůstala beze změny. Kontrola tabulky Svatek.DB"
                           " našla chybu: soubor tabulky je poškozený.")))
            << error.message().toStdString();
    }
    EXPECT_EQ(filesIn(backupPath()), QStringList(previous.keys()));
    for (const QString& name : previous.keys())
        EXPECT_EQ(readFile(backupPath(name)), previous[name]) << name.toStdString();
    EXPECT_EQ(backup::readManifest(backupPath())->taken, m_fakes.clock.now());
}

// A save that crashed half way leaves its journal beside the table. The copy
// must be the table as it was before that save, and the journal stays behind.
TEST_F(BackupSetTest, ACrashedSaveIsRolledBackBeforeTheCopy)
{
    std::vector<std::string> many;
    for (int i = 0; i < 20; ++i)
        many.push_back("Příjmení " + std::to_string(1000 + i));
    addAddresses(many);
    m_database.reset();

    // A save interrupted after it wrote into the file: copy the file and its
    // journal while the transaction is open, then let it roll back.
    const QString file = dataPath(QStringLiteral("Dat.DB"));
    const QString crashed = workPath(QStringLiteral("crashed"));
    QDir().mkpath(crashed);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.toUtf8().constData(), &db), SQLITE_OK);
    const auto run = [db](const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr); };
    // A small cache makes SQLite write changed pages into the file before the commit.
    const QByteArray before = readFile(file);
    ASSERT_EQ(run("PRAGMA cache_size=10"), SQLITE_OK);
    ASSERT_EQ(run("BEGIN"), SQLITE_OK);
    ASSERT_EQ(run("UPDATE records SET _id = _id + 1000000"), SQLITE_OK);
    ASSERT_EQ(run("INSERT INTO _meta (key, value) VALUES ('zatez', zeroblob(1000000))"), SQLITE_OK);
    ASSERT_TRUE(QFile::exists(file + QStringLiteral("-journal")));
    ASSERT_TRUE(QFile::copy(file, crashed + QStringLiteral("/Dat.DB")));
    ASSERT_TRUE(QFile::copy(file + QStringLiteral("-journal"), crashed + QStringLiteral("/Dat.DB-journal")));
    ASSERT_NE(readFile(workPath(QStringLiteral("crashed/Dat.DB"))), before); // torn
    run("ROLLBACK");
    sqlite3_close(db);
    QFile::remove(file);
    QFile::rename(crashed + QStringLiteral("/Dat.DB"), file);
    QFile::rename(crashed + QStringLiteral("/Dat.DB-journal"), file + QStringLiteral("-journal"));

    backup::copyBackupSet(dataPath(), backupPath(), m_fakes.clock.now());
    EXPECT_FALSE(QFile::exists(backupPath(QStringLiteral("Dat.DB-journal"))));
    EXPECT_EQ(firstFields(backupPath(), "Dat.DB"), many);
}

} // namespace
} // namespace backuptest
