// The archiver's command line and how it runs on this machine.
#include "BackupFixture.h"

#include "backup/ArchiverCommand.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace backuptest {
namespace {

// The fixed text, part by part: a lost blank or a changed switch would make
// another archive (or none).
TEST(ArchiverCommandLine, IsTheDirectoryFollowedByTheFixedText)
{
    const QString fixed =
        QStringLiteral("ARJ.EXE a \"-vasdel a:arpelmir.*\" -wc: a:arpelmir  data\\*.* -jm -v1440");
    const QString directories[] = {QStringLiteral("C:\\ARJ\\"), QStringLiteral("C:\\ARJ"),
                                   QStringLiteral("/USR/BIN/"), QStringLiteral("/MŮJ ARJ/")};
    for (const QString& directory : directories)
        EXPECT_EQ(backup::archiverCommandLine(directory), directory + fixed);
    EXPECT_TRUE(backup::archiverCommandLine(QStringLiteral("C:\\ARJ\\")).startsWith(QStringLiteral("C:\\ARJ\\ARJ.EXE a ")));
    EXPECT_TRUE(backup::archiverCommandLine(QStringLiteral("C:\\ARJ")).startsWith(QStringLiteral("C:\\ARJARJ.EXE")));
}

class ArchiverPlacesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_root.isValid());
        for (const char* dir : {"work", "floppy", "temp", "snapshot/Data", "Bin", "Můj ARJ", "Dos", "Prazdny"})
            QDir().mkpath(path(dir));
        makeProgram("Bin/arj");
        makeProgram("Můj ARJ/arj");
        makeProgram("Dos/ARJ.EXE");
        writeFile(path("Prazdny/arj"), "not a program");
        m_places.floppy = path("floppy");
        m_places.workDrive = path("temp");
        m_places.workDir = path("work");
        m_places.currentDir = path("snapshot");
        m_places.stamp = path("snapshot/Data/obsah-zalohy.txt");
    }
    QString path(const char* name) const { return QDir(m_root.path()).filePath(QString::fromUtf8(name)); }
    void makeProgram(const char* name)
    {
        writeFile(path(name), "#!/bin/sh\n");
        QFile::setPermissions(path(name), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    // What the user types: the settings field turns it into capitals.
    QString typed(const char* name) const { return path(name).toUpper(); }

    QTemporaryDir m_root;
    backup::ArchiverPlaces m_places;
};

// The field stores capitals, but Linux names are not: each folder is matched
// without regard to case, Czech letters and blanks included; "ARJ.EXE" may be
// Debian's arj.
TEST_F(ArchiverPlacesTest, FindsTheArchiverAsTheUserTypedItsFolder)
{
    struct Case {
        QString directory;
        QString program;
    };
    const Case cases[] = {
        {typed("Bin") + QLatin1Char('/'), path("Bin/arj")},
        {typed("Bin").replace(QLatin1Char('/'), QLatin1Char('\\')) + QLatin1Char('\\'), path("Bin/arj")},
        {typed("Můj ARJ") + QLatin1Char('/'), path("Můj ARJ/arj")},
        {typed("Dos") + QLatin1Char('/'), path("Dos/ARJ.EXE")},
        {QStringLiteral("..\\BIN\\"), path("Bin/arj")}, // relative to the working directory
        {typed("Prazdny") + QLatin1Char('/'), QString()}, // arj there is no program
        {typed("Chybi") + QLatin1Char('/'), QString()},
        {QStringLiteral("C:\\ARJ\\"), QString()},
        {QString(), QString()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(backup::findArchiverProgram(c.directory, m_places), c.program) << c.directory.toStdString();
}

// The DOS drives and names land in their folders here; the volume command
// clears only the old archive, never a volume of this run.
TEST_F(ArchiverPlacesTest, TranslatesTheFixedTextForThisMachine)
{
    const QString directory = typed("Můj ARJ") + QLatin1Char('/');
    const std::optional<backup::ProcessLaunch> launch =
        backup::archiverLaunch(backup::archiverCommandLine(directory), directory, m_places);
    ASSERT_TRUE(launch.has_value());
    EXPECT_EQ(launch->program, path("Můj ARJ/arj"));
    EXPECT_EQ(launch->workingDirectory, path("snapshot"));
    const QStringList expected = {
        QStringLiteral("a"),
        QStringLiteral("-vasfind '%1' -maxdepth 1 -type f -iname 'arpelmir.*' ! -newer '%2' -delete")
            .arg(path("floppy"), path("snapshot/Data/obsah-zalohy.txt")),
        QStringLiteral("-w") + path("temp"),
        path("floppy/arpelmir"),
        QStringLiteral("Data/*.*"), // relative, as the archive stores it
        QStringLiteral("-jm"),
        QStringLiteral("-v1440"),
    };
    EXPECT_EQ(launch->arguments, expected);
    EXPECT_FALSE(backup::archiverLaunch(backup::archiverCommandLine(QStringLiteral("/CHYBI/")),
                                        QStringLiteral("/CHYBI/"), m_places)
                     .has_value());
}

// With a terminal the archiver runs in its window; either way the shell
// removes the snapshot folder when the archiver ends.
TEST(ArchiverWindow, RunsThroughTheShellInATerminalWhenThereIsOne)
{
    const backup::ProcessLaunch arj{QStringLiteral("/usr/bin/arj"), {QStringLiteral("a"), QStringLiteral("x")},
                                    QStringLiteral("/snap")};
    const backup::ProcessLaunch plain = backup::inArchiverWindow(arj, QString(), QStringLiteral("/snap"));
    EXPECT_EQ(plain.program, QStringLiteral("/bin/sh"));
    EXPECT_EQ(plain.arguments.mid(2), (QStringList{"sh", "/snap", "0", "/usr/bin/arj", "a", "x"}));
    EXPECT_EQ(plain.workingDirectory, QStringLiteral("/snap"));
    const backup::ProcessLaunch window =
        backup::inArchiverWindow(arj, QStringLiteral("/usr/bin/x-terminal-emulator"), QStringLiteral("/snap"));
    EXPECT_EQ(window.program, QStringLiteral("/usr/bin/x-terminal-emulator"));
    EXPECT_EQ(window.arguments.mid(0, 3), (QStringList{"-e", "/bin/sh", "-c"}));
    EXPECT_EQ(window.arguments.mid(4), (QStringList{"sh", "/snap", "1", "/usr/bin/arj", "a", "x"}));
    EXPECT_EQ(backup::shellQuoted(QStringLiteral("it's")), QStringLiteral("'it'\\''s'"));
}

} // namespace
} // namespace backuptest
