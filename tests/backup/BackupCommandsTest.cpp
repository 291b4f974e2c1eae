// The commands of the menu "&Zálohování", end to end on a working directory.
#include "BackupFixture.h"
#include "DamagedPage.h"

#include "backup/BackupCommands.h"
#include "backup/BackupSet.h"

#include "widgets/ErrorReport.h"

#include <QDir>
#include <QFile>

namespace backuptest {
namespace {

using BackupCommandsTest = CommandsFixture;

// A complete backup: every table in `Zaloha` byte for byte, the log entry
// after the copies (so the copy of the log does not hold it), the tone and
// the message.
TEST_F(BackupCommandsTest, DiskBackupCopiesLogsSoundsAndSaysSo)
{
    addAddresses({"Novák", "Svoboda", "Dvořák"});
    m_commands->ZalohaNaDiskClick();

    for (const QString& name : kTableFiles)
        EXPECT_EQ(readFile(backupPath(name)), readFile(name == QStringLiteral("Zaloha.DB") ? backupPath(name)
                                                                                           : dataPath(name)))
            << name.toStdString();
    EXPECT_EQ(firstFields(backupPath(), "Dat.DB"), (std::vector<std::string>{"Dvořák", "Novák", "Svoboda"}));
    EXPECT_EQ(logEntries(), QStringList{"|14:30:05"});
    EXPECT_TRUE(firstFields(backupPath(), "Zaloha.db").empty());
    EXPECT_EQ(m_fakes.tones.sounded(), (platform::ToneList{{400, 100}}));
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    EXPECT_EQ(m_fakes.dialogs.lastBox().caption, QStringLiteral("Information"));
    EXPECT_EQ(m_fakes.dialogs.lastBox().text, QStringLiteral("Zálohovací soubory zkopírovány do podadresáře \"Zaloha\"!"));
}

// A backup that cannot finish says why and logs nothing, sounds nothing and
// claims nothing.
enum class Breakage { MissingTable, NoBackupDir, BackupDirIsAFile, FullDisk, DamagedTable };
struct FailureCase {
    const char* name;
    Breakage breakage;
    const char* reason;
};

class DiskBackupFailureTest : public BackupCommandsTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(DiskBackupFailureTest, IsReportedAndNotLogged)
{
    switch (GetParam().breakage) {
    case Breakage::MissingTable:
        QFile::remove(dataPath(QStringLiteral("Data.DB")));
        break;
    case Breakage::NoBackupDir:
        QDir(backupPath()).removeRecursively();
        break;
    case Breakage::BackupDirIsAFile:
        QDir(backupPath()).removeRecursively();
        writeFile(backupPath(), "x");
        break;
    case Breakage::FullDisk:
        QFile::link(QStringLiteral("/dev/full"), backupPath(QStringLiteral("Dat.DB")));
        break;
    case Breakage::DamagedTable:
        testsupport::overwritePage(dataPath(QStringLiteral("Spzzem.DB")).toStdString(), testsupport::kLastRecordsLeaf);
        break;
    }
    widgets::guarded([this] { m_commands->ZalohaNaDiskClick(); }); // as the menu runs it
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    EXPECT_EQ(m_fakes.dialogs.lastBox().icon, platform::Icon::Error);
    EXPECT_TRUE(m_fakes.dialogs.lastBox().text.contains(QString::fromUtf8(GetParam().reason)))
        << m_fakes.dialogs.lastBox().text.toStdString();
    EXPECT_TRUE(logEntries().isEmpty());
    EXPECT_TRUE(m_fakes.tones.sounded().isEmpty());
    EXPECT_FALSE(QFile::exists(backupPath(backup::kManifestName)));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DiskBackupFailureTest,
    ::testing::Values(
        FailureCase{"MissingTable", Breakage::MissingTable, "Data.DB“ nelze otevřít: soubor nebo adresář neexistuje"},
        FailureCase{"NoBackupDir", Breakage::NoBackupDir, "Cas.DB“ nelze vytvořit: soubor nebo adresář neexistuje"},
        FailureCase{"BackupDirIsAFile", Breakage::BackupDirIsAFile, "Cas.DB“ nelze vytvořit: část cesty není adresář"},
        FailureCase{"FullDisk", Breakage::FullDisk, "Dat.DB“: na disku není dost místa"},
        FailureCase{"DamagedTable", Breakage::DamagedTable,
                    "Záloha se neprovedla, předchozí záloha zůstala beze změny. Kontrola tabulky Spzzem.DB našla chybu"}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

// The restores hand over to the restore program in the working directory and
// end the program; a restore program that cannot start is said, and the
// program goes on, since nothing would restore the data.
TEST_F(BackupCommandsTest, RestoresStartTheRestoreProgramAndEndTheSystem)
{
    m_commands->ObnovaZDiskuClick();
    m_commands->ObnovaZDisketARJClick();
    ASSERT_EQ(m_fakes.processes.started().size(), 2);
    for (const auto& started : m_fakes.processes.started()) {
        EXPECT_EQ(started.program, kRestoreProgram);
        EXPECT_EQ(started.workingDirectory, workPath());
    }
    EXPECT_EQ(m_fakes.processes.started()[0].arguments, QStringList());
    EXPECT_EQ(m_fakes.processes.started()[1].arguments, QStringList{"--arj"});
    EXPECT_EQ(m_ended, 2);

    m_fakes.processes.setResult(false);
    widgets::guarded([this] { m_commands->ObnovaZDiskuClick(); });
    EXPECT_EQ(m_ended, 2);
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    EXPECT_TRUE(m_fakes.dialogs.lastBox().text.startsWith(QStringLiteral("Program obnovy „/opt/pelmir/pelmir-restore“")));
}

} // namespace
} // namespace backuptest
