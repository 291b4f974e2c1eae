// The floppy backup through the archiver, with Debian's real arj, and the
// restore from the archive it leaves on the "floppy" (a folder here).
#include "BackupFixture.h"
#include "DamagedPage.h"

#include "backup/BackupCommands.h"
#include "backup/RestoreProgram.h"

#include "widgets/ErrorReport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace backuptest {
namespace {

// Runs a program to its end; returns its exit code, -1 when it did not run.
int runProgram(const QString& program, const QStringList& arguments, const QString& workingDirectory,
               QByteArray* output = nullptr)
{
    QProcess process;
    process.setWorkingDirectory(workingDirectory);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    process.closeWriteChannel();
    if (!process.waitForStarted() || !process.waitForFinished(120000))
        return -1;
    if (output)
        *output = process.readAll();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

class FloppyBackupTest : public CommandsFixture {
protected:
    void SetUp() override
    {
        CommandsFixture::SetUp();
        QDir().mkpath(floppy());
        m_fakes.drives.setFloppyPath(floppy());
        m_fakes.drives.setFloppyFreeSpace(1457664);
    }
    QString floppy() const { return QDir(m_fakes.paths.root()).filePath(QStringLiteral("disketa")); }
    void setArchiverDirectory(const QString& directory)
    {
        writeFile(workPath(QStringLiteral("Nastavzal.txt")), directory.toUtf8());
    }
    // The folder of Debian's arj as a user types it into the settings: in capitals.
    static QString arjFolderTyped()
    {
        const QString arj = QStandardPaths::findExecutable(QStringLiteral("arj"));
        return arj.isEmpty() ? QString() : QFileInfo(arj).absolutePath().toUpper() + QLatin1Char('/');
    }
    // Runs the command the floppy backup started, as the desktop would, to its end.
    int runStarted()
    {
        const auto& started = m_fakes.processes.started();
        if (started.size() != 1)
            return -1;
        return runProgram(started[0].program, started[0].arguments, started[0].workingDirectory);
    }
    void floppyBackup() { widgets::guarded([this] { m_commands->ZalohaNaDisketyARJClick(); }); }
};

// Whatever keeps the backup from starting is said, and nothing is logged:
// the log must not record a backup that was never made.
TEST_F(FloppyBackupTest, ABackupThatCannotStartIsReportedAndNotLogged)
{
    struct Case {
        const char* name;
        std::function<void()> prepare;
        QString error;
    };
    const Case cases[] = {
        {"no settings file", [this] { QFile::remove(workPath(QStringLiteral("Nastavzal.txt"))); },
         QStringLiteral("Nastavzal.txt“ nelze otevřít: soubor nebo adresář neexistuje.")},
        {"no archiver there", [this] { setArchiverDirectory(QStringLiteral("C:\\ARJ\\")); },
         QStringLiteral("Archivační program ARJ nebyl v adresáři „C:\\ARJ\\“ nalezen")},
        // The tables are copied aside and checked before the archiver
        // touches the floppy: a missing or damaged one leaves it as it was.
        {"a table missing",
         [this] {
             setArchiverDirectory(arjFolderTyped());
             QFile::rename(dataPath(QStringLiteral("Vyrob.DB")), workPath(QStringLiteral("Vyrob.DB")));
         },
         QStringLiteral("chybí tabulka „Vyrob.DB“")},
        {"a damaged table",
         [this] {
             QFile::rename(workPath(QStringLiteral("Vyrob.DB")), dataPath(QStringLiteral("Vyrob.DB")));
             testsupport::overwritePage(dataPath(QStringLiteral("Svatek.DB")).toStdString(),
                                        testsupport::kLastRecordsLeaf);
         },
         QStringLiteral("Kontrola tabulky Svatek.DB našla chybu")},
        {"no disk", [this] { setArchiverDirectory(arjFolderTyped()); m_fakes.drives.setFloppyFreeSpace(std::nullopt); },
         QStringLiteral("Disketa stále není vložena")},
    };
    const QString previous = QDir(floppy()).filePath(QStringLiteral("arpelmir.arj"));
    writeFile(previous, "the previous backup");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_fakes.dialogs.clear();
        c.prepare();
        floppyBackup();
        EXPECT_EQ(filesIn(floppy()), QStringList{"arpelmir.arj"});
        EXPECT_EQ(readFile(previous), "the previous backup");
        ASSERT_FALSE(m_fakes.dialogs.shown().isEmpty());
        EXPECT_EQ(m_fakes.dialogs.lastBox().icon, platform::Icon::Error);
        EXPECT_TRUE(m_fakes.dialogs.lastBox().text.contains(c.error)) << m_fakes.dialogs.lastBox().text.toStdString();
        EXPECT_TRUE(m_fakes.processes.started().isEmpty());
        EXPECT_TRUE(logEntries().isEmpty());
    }
    // Without a disk the warning came first.
    EXPECT_EQ(m_fakes.dialogs.shown().first().text, QStringLiteral("Není vložena disketa. Po jejím vložení zmáčkni Ano."));
    EXPECT_EQ(m_fakes.dialogs.shown().first().caption, QStringLiteral("Warning"));
}

// The warning waits for the user to insert the disk; the backup then goes
// on, is logged in `Čas`, and no tone or message follows.
TEST_F(FloppyBackupTest, WithoutADiskItWarnsAndGoesOnOnceOneIsIn)
{
    setArchiverDirectory(arjFolderTyped());
    m_fakes.drives.setFloppyFreeSpace(std::nullopt);
    m_fakes.dialogs.setResponder([this](const platform::ShownBox&) {
        m_fakes.drives.setFloppyFreeSpace(0); // a full disk is still a disk
        return platform::Button::Ok;
    });
    floppyBackup();
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    EXPECT_EQ(m_fakes.dialogs.lastBox().icon, platform::Icon::Warning);
    EXPECT_EQ(m_fakes.processes.started().size(), 1);
    EXPECT_EQ(logEntries(), QStringList{"14:30:05|"});
    EXPECT_TRUE(m_fakes.tones.sounded().isEmpty());
}

// The real archiver, run as the command started it: the archive on the
// floppy lists every table, and unpacking it gives them back byte for byte.
// A second backup replaces the first archive, stale volumes included.
TEST_F(FloppyBackupTest, TheRealArchiverPutsEveryTableOnTheFloppy)
{
    ASSERT_FALSE(arjFolderTyped().isEmpty()) << "Debian's arj is not installed (tools/dev.sh installs it)";
    setArchiverDirectory(arjFolderTyped());
    addAddresses({"Novák", "Dvořák"});
    writeFile(QDir(floppy()).filePath(QStringLiteral("arpelmir.a01")), "an old volume");

    floppyBackup();
    ASSERT_TRUE(m_fakes.dialogs.shown().isEmpty()) << m_fakes.dialogs.lastBox().text.toStdString();
    ASSERT_EQ(m_fakes.processes.started().size(), 1);
    const QString snapshot = m_fakes.processes.started()[0].workingDirectory;
    EXPECT_TRUE(QFileInfo::exists(snapshot));
    ASSERT_EQ(runStarted(), 0);
    EXPECT_FALSE(QFileInfo::exists(snapshot)); // removed when the archiver ended
    EXPECT_EQ(filesIn(floppy()), QStringList{"arpelmir.arj"});
    EXPECT_EQ(logEntries(), QStringList{"14:30:05|"});

    const QString arj = QStandardPaths::findExecutable(QStringLiteral("arj"));
    QByteArray listing;
    ASSERT_EQ(runProgram(arj, {QStringLiteral("l"), QDir(floppy()).filePath(QStringLiteral("arpelmir.arj"))},
                         floppy(), &listing),
              0);
    for (const QString& name : kTableFiles)
        EXPECT_TRUE(listing.contains(name.toUtf8())) << name.toStdString();

    QTemporaryDir unpacked;
    ASSERT_EQ(runProgram(arj, {QStringLiteral("x"), QStringLiteral("-y"),
                               QDir(floppy()).filePath(QStringLiteral("arpelmir.arj")), unpacked.path() + QLatin1Char('/')},
                         unpacked.path()),
              0);
    // The log was copied before this backup's entry, as the disk backup does.
    for (const QString& name : kTableFiles) {
        if (name == QStringLiteral("Zaloha.DB"))
            continue;
        EXPECT_EQ(readFile(unpacked.filePath(QStringLiteral("Data/") + name)), readFile(dataPath(name)))
            << name.toStdString();
    }
    EXPECT_TRUE(firstFields(unpacked.filePath(QStringLiteral("Data")), "Zaloha.db").empty());

    m_fakes.processes.clear();
    floppyBackup();
    ASSERT_EQ(runStarted(), 0);
    EXPECT_EQ(filesIn(floppy()), QStringList{"arpelmir.arj"});
}

// "Obnova z disket (ARJ)" really restores: the restore program unpacks the
// floppy's archive and puts its tables back into `Data`.
TEST_F(FloppyBackupTest, TheRestoreProgramBringsTheFloppyBackupBack)
{
    ASSERT_FALSE(arjFolderTyped().isEmpty());
    setArchiverDirectory(arjFolderTyped());
    addAddresses({"Novák", "Dvořák"});
    floppyBackup();
    ASSERT_EQ(runStarted(), 0);
    addAddresses({"Zapomenutý"});
    closeEverything();

    backup::RestoreRequest request;
    request.workDir = workPath();
    request.fromFloppy = true;
    request.mainProgram = QStringLiteral("pelmir");
    EXPECT_EQ(backup::runRestore(request), 0);
    EXPECT_EQ(firstFields(dataPath(), "Dat.DB"), (std::vector<std::string>{"Dvořák", "Novák"}));
    EXPECT_EQ(m_fakes.dialogs.lastBox().caption, QStringLiteral("Information"));
    ASSERT_EQ(m_fakes.processes.started().size(), 2); // the archiver, then the program again
    EXPECT_EQ(m_fakes.processes.started()[1].program, QStringLiteral("pelmir"));
    EXPECT_FALSE(QFileInfo::exists(dataPath(QStringLiteral(".obnova-arj"))));
}

} // namespace
} // namespace backuptest
