// The commands of the menu "&Zálohování", end to end on a working directory.
#include "BackupFixture.h"
#include "DamagedPage.h"

#include "backup/BackupCommands.h"
#include "backup/BackupSet.h"

#include "widgets/ErrorReport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <csignal>
#include <optional>
#include <sys/resource.h>

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

// The largest file this process may write, while it lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &m_old); }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_old{};
};

class DiskBackupFailureTest : public BackupCommandsTest, public ::testing::WithParamInterface<FailureCase> {
protected:
    std::optional<FileSizeLimit> m_sizeLimit;
};

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
        // The disk takes no file as large as the place-name table.
        ::signal(SIGXFSZ, SIG_IGN);
        m_sizeLimit.emplace(QFileInfo(dataPath(QStringLiteral("Svatek.DB"))).size() - 1);
        break;
    case Breakage::DamagedTable:
        testsupport::overwritePage(dataPath(QStringLiteral("Spzzem.DB")).toStdString(), testsupport::kLastRecordsLeaf);
        break;
    }
    widgets::guarded([this] { m_commands->ZalohaNaDiskClick(); }); // as the menu runs it
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    EXPECT_EQ(m_fakes.dialogs.lastBox().icon, platform::Icon::Error);
    m_sizeLimit.reset();
    const QString says = QString::fromUtf8(GetParam().reason).replace(QStringLiteral("%1"), workPath());
    EXPECT_TRUE(m_fakes.dialogs.lastBox().text.contains(says)) << m_fakes.dialogs.lastBox().text.toStdString();
    EXPECT_FALSE(QFileInfo::exists(backupPath(backup::kStagingName)));
    EXPECT_TRUE(logEntries().isEmpty());
    EXPECT_TRUE(m_fakes.tones.sounded().isEmpty());
    EXPECT_FALSE(QFile::exists(backupPath(backup::kManifestName)));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DiskBackupFailureTest,
    ::testing::Values(
        FailureCase{"MissingTable", Breakage::MissingTable,
                    "Záloha se neprovedla, předchozí záloha zůstala beze změny. V adresáři „%1/Data“ chybí tabulka "
                    "„Data.DB“."},
        FailureCase{"NoBackupDir", Breakage::NoBackupDir,
                    "Záloha se neprovedla: adresář pro zálohu „%1/Zaloha“ neexistuje nebo to není adresář."},
        FailureCase{"BackupDirIsAFile", Breakage::BackupDirIsAFile, "adresář pro zálohu „%1/Zaloha“ neexistuje"},
        FailureCase{"FullDisk", Breakage::FullDisk,
                    "Záloha se neprovedla, předchozí záloha zůstala beze změny. Chyba při zápisu do souboru "
                    "„%1/Zaloha/.nova/Svatek.DB“: soubor je pro tento disk příliš velký."},
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
    // The restore waits for this program, which is ending, to let go of the data.
    const QStringList waitForThis{QStringLiteral("--wait-for"), QString::number(QCoreApplication::applicationPid())};
    EXPECT_EQ(m_fakes.processes.started()[0].arguments, waitForThis);
    EXPECT_EQ(m_fakes.processes.started()[1].arguments, QStringList{"--arj"} + waitForThis);
    EXPECT_EQ(m_ended, 2);

    m_fakes.processes.setResult(false);
    widgets::guarded([this] { m_commands->ObnovaZDiskuClick(); });
    EXPECT_EQ(m_ended, 2);
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    EXPECT_TRUE(m_fakes.dialogs.lastBox().text.startsWith(QStringLiteral("Program obnovy „/opt/pelmir/pelmir-restore“")));
}

} // namespace
} // namespace backuptest
