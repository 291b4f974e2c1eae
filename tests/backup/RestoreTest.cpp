// The restore program on a temporary working directory.
#include "BackupFixture.h"
#include "ChildProcess.h"

#include "backup/BackupSet.h"
#include "backup/RestoreProgram.h"

#include "store/InstanceLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <map>

namespace backuptest {
namespace {

class RestoreTest : public BackupFixture {
protected:
    void SetUp() override
    {
        BackupFixture::SetUp();
        addAddresses({"Novák", "Dvořák"});
        backup::copyBackupSet(dataPath(), backupPath(), m_fakes.clock.now());
        addAddresses({"Později"}); // saved after the backup
        m_database.reset();          // the program has ended
        m_fakes.clock.setNow(QDateTime(QDate(2025, 12, 9), QTime(8, 0, 0)));
    }
    int restore(bool fromFloppy = false)
    {
        backup::RestoreRequest request;
        request.workDir = workPath();
        request.fromFloppy = fromFloppy;
        request.mainProgram = QStringLiteral("/opt/pelmir/pelmir");
        return backup::runRestore(request);
    }
    // Every file below Data with its bytes: a refused restore must change nothing.
    std::map<QString, QByteArray> dataFiles() const
    {
        std::map<QString, QByteArray> files;
        for (const QString& name : filesIn(dataPath()))
            files[name] = readFile(dataPath(name));
        return files;
    }
    bool programStartedAgain() const
    {
        const auto& started = m_fakes.processes.started();
        return started.size() == 1 && started[0].program == QStringLiteral("/opt/pelmir/pelmir") &&
               started[0].arguments == QStringList({QStringLiteral("--workdir"), workPath()});
    }
    std::vector<std::string> surnames() const { return firstFields(dataPath(), "Dat.DB"); }
};

// The question lists the backup's time and each table's records; on Yes the
// tables come back, the replaced ones wait in a dated folder, and the program
// starts again. A journal left beside a replaced table goes with it.
TEST_F(RestoreTest, PutsTheBackupBackAndKeepsWhatItReplaced)
{
    writeFile(dataPath(QStringLiteral("Dat.DB-journal")), QByteArray());
    writeFile(backupPath(QStringLiteral("Datp.DB-journal")), "a journal of some other file");
    ASSERT_EQ(restore(), 0);

    ASSERT_EQ(m_fakes.dialogs.shown().size(), 2);
    const QString question = m_fakes.dialogs.shown()[0].text;
    EXPECT_EQ(m_fakes.dialogs.shown()[0].caption, QStringLiteral("Confirm"));
    for (const char* line : {"Záloha z 8.12.2025 14:30:05 obsahuje:", "Adresář (Dat.DB): 2 záznamy",
                             "Jmeniny a rodinná výročí (Svatek.DB): 366 záznamů",
                             "Kontrola zálohování (Zaloha.DB): 0 záznamů", "puvodni-2025-12-09-080000"})
        EXPECT_TRUE(question.contains(QString::fromUtf8(line))) << line << "\n" << question.toStdString();

    EXPECT_EQ(surnames(), (std::vector<std::string>{"Dvořák", "Novák"}));
    const QString replaced = dataPath(QStringLiteral("puvodni-2025-12-09-080000"));
    EXPECT_EQ(firstFields(replaced, "Dat.DB"), (std::vector<std::string>{"Dvořák", "Novák", "Později"}));
    EXPECT_TRUE(QFileInfo::exists(replaced + QStringLiteral("/Dat.DB-journal")));
    EXPECT_FALSE(QFileInfo::exists(dataPath(QStringLiteral("Dat.DB-journal"))));
    EXPECT_FALSE(QFileInfo::exists(dataPath(QStringLiteral("Datp.DB-journal"))));
    EXPECT_FALSE(QFileInfo::exists(dataPath(QStringLiteral(".obnova"))));
    EXPECT_EQ(m_fakes.dialogs.lastBox().caption, QStringLiteral("Information"));
    EXPECT_TRUE(programStartedAgain());
}

// No changes anything, and the program comes back.
TEST_F(RestoreTest, NoLeavesTheDataAsTheyAre)
{
    const auto before = dataFiles();
    m_fakes.dialogs.answerNext(platform::Button::No);
    EXPECT_EQ(restore(), 0);
    EXPECT_EQ(dataFiles(), before);
    EXPECT_TRUE(programStartedAgain());
}

// While the program works on the data, a restore started by hand refuses at
// once, touches nothing and starts no second program.
TEST_F(RestoreTest, RefusesAtOnceWhileTheProgramHoldsTheData)
{
    const auto held = store::InstanceLock::acquire(dataPath().toStdString());
    ASSERT_NE(held, nullptr);
    const auto before = dataFiles();
    backup::RestoreRequest byHand = backup::parseRestoreArguments({QStringLiteral("--workdir"), workPath()}, {});
    EXPECT_EQ(backup::runRestore(byHand), 1);
    EXPECT_EQ(m_fakes.clock.waitHints(), 0);
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    EXPECT_EQ(m_fakes.dialogs.lastBox().text,
              QStringLiteral("Program Pelmir a telefony ještě pracuje s daty v adresáři „%1“. "
                             "Ukončete ho a obnovu spusťte znovu.")
                  .arg(workPath()));
    EXPECT_EQ(dataFiles(), before);
    EXPECT_TRUE(m_fakes.processes.started().isEmpty());
}

// The child side of the next test: holds the data a moment, then ends.
TEST(RestoreChild, HoldsTheDataAMoment)
{
    if (childWork().isEmpty())
        GTEST_SKIP() << "runs only as a child of RestoreTest";
    const auto held = store::InstanceLock::acquire(childWork().toStdString());
    if (!held)
        std::_Exit(3);
    writeFile(QDir(childWork()).filePath(QStringLiteral("drzeno")), "held");
    QThread::msleep(static_cast<unsigned long>(childNumber()));
    QFile::remove(QDir(childWork()).filePath(QStringLiteral("drzeno")));
}

// Started by the program as it ends, the restore waits for that program,
// and for it only, to let go of the data.
TEST_F(RestoreTest, WaitsForTheProgramThatStartedIt)
{
    const pid_t program = startChild("RestoreChild.HoldsTheDataAMoment", dataPath(), 300);
    while (!QFileInfo::exists(dataPath(QStringLiteral("drzeno"))))
        QThread::msleep(10);
    m_fakes.clock.setWaitStep(100);
    const backup::RestoreRequest started = backup::parseRestoreArguments(
        {QStringLiteral("--workdir"), workPath(), QStringLiteral("--wait-for"), QString::number(program)}, {});
    EXPECT_EQ(backup::runRestore(started), 0);
    EXPECT_GT(m_fakes.clock.waitHints(), 0);
    EXPECT_EQ(surnames(), (std::vector<std::string>{"Dvořák", "Novák"}));
    EXPECT_EQ(waitForChild(program), 0);
}

// A damaged or unfinished backup is refused with its reason before any
// question, and `Data` stays byte for byte as it was.
enum class Damage { NoMarker, Empty, CutShort, Garbage, BadMarker };
struct DamageCase {
    const char* name;
    Damage damage;
    const char* reason;
};

class DamagedBackupTest : public RestoreTest, public ::testing::WithParamInterface<DamageCase> {};

TEST_P(DamagedBackupTest, IsRefusedAndDataStayUntouched)
{
    const QString table = backupPath(QStringLiteral("Vyrob.DB"));
    switch (GetParam().damage) {
    case Damage::NoMarker:
        QFile::remove(backupPath(backup::kManifestName));
        break;
    case Damage::Empty:
        QDir(backupPath()).removeRecursively();
        QDir().mkpath(backupPath());
        break;
    case Damage::CutShort:
        QFile::resize(table, QFileInfo(table).size() / 2);
        break;
    case Damage::Garbage:
        writeFile(table, QByteArray(static_cast<int>(QFileInfo(table).size()), 'x'));
        break;
    case Damage::BadMarker:
        writeFile(backupPath(backup::kManifestName), "nonsense");
        break;
    }
    const auto before = dataFiles();
    EXPECT_EQ(restore(), 1);
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    const platform::ShownBox box = m_fakes.dialogs.lastBox();
    EXPECT_EQ(box.icon, platform::Icon::Error);
    EXPECT_TRUE(box.text.startsWith(QStringLiteral("Zálohu nelze obnovit.")));
    EXPECT_TRUE(box.text.contains(QString::fromUtf8(GetParam().reason))) << box.text.toStdString();
    // The store's advice to restore from the backup makes no sense about the backup itself.
    EXPECT_FALSE(box.text.contains(QStringLiteral("Obnova z disku"))) << box.text.toStdString();
    EXPECT_EQ(dataFiles(), before);
    EXPECT_FALSE(QFileInfo::exists(dataPath(QStringLiteral(".obnova"))));
    EXPECT_TRUE(programStartedAgain());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DamagedBackupTest,
    ::testing::Values(DamageCase{"NoMarker", Damage::NoMarker, "není dokončená"},
                      DamageCase{"Empty", Damage::Empty, "není žádná záloha"},
                      DamageCase{"CutShort", Damage::CutShort, "Soubor zálohy „Vyrob.DB“ má"},
                      DamageCase{"Garbage", Damage::Garbage,
                                 "Tabulku „Vyrob.db“ ze zálohy nelze otevřít: soubor je poškozený nebo není "
                                 "tabulkou tohoto programu."},
                      DamageCase{"BadMarker", Damage::BadMarker, "obsah-zalohy.txt“ je poškozený"}),
    [](const ::testing::TestParamInfo<DamageCase>& info) { return std::string(info.param.name); });

TEST(RestoreArguments, WorkDirAndSource)
{
    struct Case {
        QStringList arguments;
        QString workDir;
        bool fromFloppy;
        bool error;
    };
    const Case cases[] = {
        {{}, QStringLiteral("/here"), false, false},
        {{QStringLiteral("--arj")}, QStringLiteral("/here"), true, false},
        {{QStringLiteral("--workdir"), QStringLiteral("/w"), QStringLiteral("--arj")}, QStringLiteral("/w"), true, false},
        {{QStringLiteral("--workdir=/v")}, QStringLiteral("/v"), false, false},
        {{QStringLiteral("--vsechno")}, QStringLiteral("/here"), false, true},
        {{QStringLiteral("--wait-for"), QStringLiteral("4321")}, QStringLiteral("/here"), false, false},
        {{QStringLiteral("--wait-for"), QStringLiteral("x")}, QStringLiteral("/here"), false, true},
    };
    for (const Case& c : cases) {
        const backup::RestoreRequest request = backup::parseRestoreArguments(c.arguments, QStringLiteral("/here"));
        EXPECT_EQ(request.workDir, c.workDir);
        EXPECT_EQ(request.fromFloppy, c.fromFloppy);
        EXPECT_EQ(request.error.isEmpty(), !c.error);
        EXPECT_EQ(request.waitFor, c.arguments.contains(QStringLiteral("4321")) ? 4321 : 0);
    }
}

} // namespace
} // namespace backuptest
