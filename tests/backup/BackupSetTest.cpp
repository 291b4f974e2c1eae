// The files of a backup, their order, and copies taken while the tables are open.
#include "BackupFixture.h"
#include "DamagedPage.h"

#include "backup/BackupSet.h"
#include "backup/FileCopy.h"

#include "store/Cursor.h"

#include <QDir>
#include <QFile>
#include <QMap>

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

// A failure stops the backup at that file: the files before it are copied,
// none after, and no marker claims a finished backup (the old one is gone).
TEST_F(BackupSetTest, StopsAtTheFirstFileThatFails)
{
    backup::copyBackupSet(dataPath(), backupPath(), m_fakes.clock.now());
    struct Case {
        const char* file;
        bool fullDisk; // else the file is missing in Data
        QString reason;
    };
    const Case cases[] = {
        {"Data.DB", false, QStringLiteral("soubor nebo adresář neexistuje")},
        {"Cas.DB", false, QStringLiteral("soubor nebo adresář neexistuje")},
        {"Datz.DB", true, QStringLiteral("na disku není dost místa")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const QString name = QString::fromLatin1(c.file);
        QDir(backupPath()).removeRecursively();
        QDir().mkpath(backupPath());
        const QString moved = workPath(name);
        if (c.fullDisk)
            QFile::link(QStringLiteral("/dev/full"), backupPath(name));
        else
            QFile::rename(dataPath(name), moved);

        try {
            backup::copyBackupSet(dataPath(), backupPath(), m_fakes.clock.now());
            ADD_FAILURE() << "the backup went through";
        } catch (const backup::BackupError& error) {
            EXPECT_TRUE(error.message().contains(name)) << error.message().toStdString();
            EXPECT_TRUE(error.message().contains(c.reason)) << error.message().toStdString();
        }
        const qsizetype at = kTableFiles.indexOf(name);
        QStringList expected = kTableFiles.mid(0, at);
        if (c.fullDisk)
            expected << name; // the link to the full disk
        EXPECT_EQ(filesIn(backupPath()), sorted(expected));
        if (!c.fullDisk)
            QFile::rename(moved, dataPath(name));
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
