#include "app/WorkDir.h"

#include "AppFixture.h"

#include "platform/RealServices.h"
#include "store/Catalogue.h"
#include "store/Cursor.h"
#include "store/Database.h"
#include "tools/DataDir.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace apptest {
namespace {

fs::path toPath(const QString& path)
{
    return fs::path(path.toStdString());
}

QString fileText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

int recordCount(const QString& workDir, const char* table)
{
    store::Database database(toPath(workDir) / store::kDataDirName);
    database.registerPassword(store::dataTablesPassword());
    store::Cursor cursor(database, table);
    cursor.open();
    return cursor.recordCount();
}

// The XDG rules: an absolute XDG_DATA_HOME, else ~/.local/share; a relative
// value would make the data move with the current directory.
TEST(WorkDir, userWorkDirFollowsXdgDataHome)
{
    struct Case {
        QString xdgDataHome;
        QString expected;
    };
    const QString home = QStringLiteral("/home/jana");
    const Case cases[] = {
        {QStringLiteral("/data/jana"), QStringLiteral("/data/jana/pelmir")},
        {QStringLiteral("/data/jana/"), QStringLiteral("/data/jana/pelmir")},
        {QString(), QStringLiteral("/home/jana/.local/share/pelmir")},
        {QStringLiteral("data"), QStringLiteral("/home/jana/.local/share/pelmir")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(app::userWorkDir(c.xdgDataHome, home), c.expected) << c.xdgDataHome.toStdString();
}

// --workdir wins; a folder made by make-datadir is used where the program is
// started in it; anything else (a home folder, even one with an unrelated
// "Data" folder) sends the program to the user's own directory.
TEST(WorkDir, choiceFollowsCommandLineAndCurrentDirectory)
{
    QTemporaryDir root;
    const QString made = root.filePath(QStringLiteral("made"));
    const QString home = root.filePath(QStringLiteral("home"));
    const QString user = root.filePath(QStringLiteral("user"));
    QDir().mkpath(made + QStringLiteral("/Data"));
    QFile(made + QStringLiteral("/Data/Dat.DB")).open(QIODevice::WriteOnly);
    QDir().mkpath(home + QStringLiteral("/Data"));

    struct Case {
        QStringList arguments;
        QString currentDir;
        QString expectedDir;
        bool provision;
    };
    const Case cases[] = {
        {{QStringLiteral("--workdir"), QStringLiteral("/w")}, made, QStringLiteral("/w"), false},
        {{QStringLiteral("--workdir=/w"), QStringLiteral("dopis.rtf")}, home, QStringLiteral("/w"), false},
        {{}, made, made, false},
        {{QStringLiteral("dopis.rtf")}, made, made, false},
        {{}, home, user, true},
        {{}, root.path(), user, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString() + " in " + c.currentDir.toStdString());
        const app::WorkDirChoice choice =
            app::chooseWorkDir(app::parseCommandLine(c.arguments, c.currentDir), c.currentDir, user);
        EXPECT_EQ(choice.dir, c.expectedDir);
        EXPECT_EQ(choice.provision, c.provision);
    }
}

// The installed files lie in share/pelmir beside the program's bin folder.
TEST(WorkDir, installedFilesLieBesideTheProgram)
{
    EXPECT_EQ(platform::installedFile(QStringLiteral("/usr/bin"), QStringLiteral("data")),
              QStringLiteral("/usr/share/pelmir/data"));
    EXPECT_EQ(platform::installedFile(QStringLiteral("/opt/pelmir/bin/"), QStringLiteral("help")),
              QStringLiteral("/opt/pelmir/share/pelmir/help"));
}

// The first start builds the user's directory, with nested folders that do not
// exist yet; later starts keep every record and only add what is missing
// beside the tables.
TEST(WorkDir, firstStartBuildsTheDirectoryLaterStartsKeepIt)
{
    ensureApplication(); // the pictures are drawn from a font
    QTemporaryDir root;
    const QString dir = app::userWorkDir(root.filePath(QStringLiteral("xdg/data")), root.path());
    const QString seeds = QString::fromStdString(tools::sourceSeedsDir().string());
    const QString program = QStringLiteral("/opt/pelmir/bin/pelmir");

    ASSERT_EQ(app::prepareWorkDir(dir, seeds, program), QString());
    EXPECT_TRUE(app::holdsWorkingDirectory(dir));
    EXPECT_EQ(recordCount(dir, "Svatek.db"), 366);
    EXPECT_EQ(recordCount(dir, "Dat.DB"), 0);
    EXPECT_TRUE(QFileInfo(dir + QStringLiteral("/Zaloha")).isDir());
    const QString picture = dir + QStringLiteral("/Obrazky/Vodnar.bmp");
    EXPECT_TRUE(QFileInfo(picture).isFile());
    const QString entry = dir + QStringLiteral("/Pelmir.desktop");
    EXPECT_TRUE(fileText(entry).contains(QStringLiteral("Exec=\"/opt/pelmir/bin/pelmir\" --workdir \"%1\"").arg(dir)))
        << fileText(entry).toStdString();

    {
        store::Database database(toPath(dir) / store::kDataDirName);
        store::Cursor addresses(database, "Dat.DB");
        addresses.open();
        addresses.insertRecord({"Nováková", "Jana"});
    }
    QFile::remove(entry);
    QFile::remove(picture);
    ASSERT_EQ(app::prepareWorkDir(dir, seeds, program), QString());
    EXPECT_EQ(recordCount(dir, "Dat.DB"), 1);
    EXPECT_TRUE(QFileInfo::exists(entry));
    EXPECT_TRUE(QFileInfo::exists(picture));
}

// What the user is told when the directory cannot be made ready, and that a
// failed first start leaves nothing that would block the next one.
TEST(WorkDir, failuresAreToldInCzechAndLeaveNoHalfDirectory)
{
    ensureApplication();
    QTemporaryDir root;
    const QString seeds = QString::fromStdString(tools::sourceSeedsDir().string());
    const QString program = QStringLiteral("/usr/bin/pelmir");

    const QString blocker = root.filePath(QStringLiteral("soubor"));
    QFile(blocker).open(QIODevice::WriteOnly);
    const QString underFile = blocker + QStringLiteral("/pelmir");
    EXPECT_EQ(app::prepareWorkDir(underFile, seeds, program),
              QStringLiteral("Pracovní adresář „%1“ nelze vytvořit: v cestě stojí soubor, ne adresář. "
                             "Spusťte program s volbou --workdir a zvolte jiný adresář.")
                  .arg(underFile));

    const QString dir = root.filePath(QStringLiteral("pelmir"));
    const QString missingSeeds = root.filePath(QStringLiteral("share/pelmir/data"));
    EXPECT_EQ(app::prepareWorkDir(dir, missingSeeds, program),
              QStringLiteral("Pracovní adresář „%1“ nelze připravit: chybí výchozí data programu (%2). "
                             "Přeinstalujte program.")
                  .arg(dir, missingSeeds));
    EXPECT_FALSE(app::holdsWorkingDirectory(dir));

    const QString badSeeds = root.filePath(QStringLiteral("bad"));
    QDir().mkpath(badSeeds);
    std::ofstream(toPath(badSeeds) / "Psc.tsv") << "MÍSTO\tPSČ\nBrno\n";
    const QString message = app::prepareWorkDir(dir, badSeeds, program);
    EXPECT_TRUE(message.startsWith(QStringLiteral("Pracovní adresář „%1“ nelze připravit: Psc.tsv:2: ").arg(dir)))
        << message.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir + QStringLiteral("/Data")));

    ASSERT_EQ(app::prepareWorkDir(dir, seeds, program), QString());
    EXPECT_EQ(recordCount(dir, "Svatek.db"), 366);
    // Nothing of the failed attempt is left beside the tables.
    for (const fs::directory_entry& entry : fs::directory_iterator(toPath(dir)))
        EXPECT_NE(entry.path().filename().string().rfind(".Data-", 0), 0u) << entry.path();
}

} // namespace
} // namespace apptest
