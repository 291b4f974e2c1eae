// Backup and restore killed (SIGKILL) at every step and at random moments:
// the tables in Data are always either those from before the restore or the
// backup's, never a mix, and a backup stopped anywhere leaves a backup that
// restores (the previous one until the new one is whole and on the disk).
//
// The killed process is this program started again with one child test
// selected (ChildProcess.h); the child stops itself at the step it is given.
#include "BackupFixture.h"
#include "ChildProcess.h"

#include "backup/BackupSet.h"
#include "backup/Restore.h"
#include "backup/RestoreProgram.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

#include <csignal>
#include <filesystem>
#include <map>
#include <random>
#include <sys/wait.h>

namespace backuptest {
namespace {

namespace fs = std::filesystem;

using Files = std::map<QString, QByteArray>;

// The files directly in a folder with their bytes; the lock (and the name it
// is made under, which a killed process leaves behind) is no table.
Files filesWithBytes(const QString& dir)
{
    Files files;
    for (const QString& name : filesIn(dir)) {
        if (!name.startsWith(QStringLiteral("pelmir.lock")))
            files[name] = readFile(QDir(dir).filePath(name));
    }
    return files;
}

QStringList replacedFolders(const QString& dataDir)
{
    return QDir(dataDir).entryList({QStringLiteral("puvodni-*")}, QDir::Dirs | QDir::Hidden);
}

// Stops the child at its n-th step; a negative n never.
struct StopAt {
    long n;
    long seen = 0;
    void operator()()
    {
        if (seen++ == n)
            ::raise(SIGKILL);
    }
};

// The children: a restore and a backup of the working directory they are given.
TEST(KillChild, Restore)
{
    if (childWork().isEmpty())
        GTEST_SKIP() << "runs only as a child of KillTest";
    platform::ScopedFakeServices fakes;
    StopAt stop{childNumber()};
    backup::RestoreRequest request;
    request.workDir = childWork();
    request.observer = [&stop](backup::RestoreStep, const QString&) { stop(); };
    std::_Exit(backup::runRestore(request));
}

TEST(KillChild, Backup)
{
    if (childWork().isEmpty())
        GTEST_SKIP() << "runs only as a child of KillTest";
    StopAt stop{childNumber()};
    const QDir work(childWork());
    backup::copyBackupSet(work.filePath(QStringLiteral("Data")), work.filePath(QStringLiteral("Zaloha")),
                          QDateTime(QDate(2025, 12, 9), QTime(9, 0, 0)),
                          [&stop](backup::BackupStep, const QString&) { stop(); });
    std::_Exit(0);
}

class KillTest : public BackupFixture {
protected:
    void SetUp() override
    {
        BackupFixture::SetUp();
        addAddresses({"Starý"});
        backup::copyBackupSet(dataPath(), backupPath(), m_fakes.clock.now());
        addAddresses({"Nový"}); // saved after the backup
        m_database.reset();      // the program has ended
        m_before = filesWithBytes(dataPath());
        m_backup = filesWithBytes(backupPath());
        m_backup.erase(backup::kManifestName);
    }

    // A fresh copy of the working directory for one round.
    QString round(int n)
    {
        const QString dir = m_rounds.filePath(QString::number(n));
        fs::copy(workPath().toStdString(), dir.toStdString(), fs::copy_options::recursive);
        return dir;
    }

    // Runs the child to the end or to its kill; `delayMs` >= 0 kills it then.
    void runChild(const char* test, const QString& work, long stopAt, int delayMs = -1)
    {
        const pid_t child = startChild(test, work, stopAt);
        if (delayMs >= 0) {
            QThread::usleep(static_cast<unsigned long>(delayMs) * 1000);
            ::kill(child, SIGKILL);
        }
        const int status = waitForChild(child);
        if (stopAt >= 0 && delayMs < 0) {
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the child ended by itself: " << status;
        } else {
            EXPECT_TRUE(WIFSIGNALED(status) || (WIFEXITED(status) && WEXITSTATUS(status) == 0)) << status;
        }
    }

    // How long a whole child run takes, to spread the random kills over it.
    int wholeRunMs(const char* test)
    {
        QElapsedTimer timer;
        timer.start();
        runChild(test, round(999), -1);
        return static_cast<int>(timer.elapsed());
    }

    // Data after an interrupted restore has been dealt with: true when it
    // holds the tables from before, false when the backup's, and a failure
    // for anything else.
    bool holdsTheTablesFromBefore(const QString& work)
    {
        const QString data = QDir(work).filePath(QStringLiteral("Data"));
        const Files now = filesWithBytes(data);
        EXPECT_FALSE(QFileInfo::exists(QDir(data).filePath(QStringLiteral(".obnova-probiha"))));
        if (now == m_before) {
            EXPECT_TRUE(replacedFolders(data).isEmpty()) << replacedFolders(data).join(QLatin1Char(' ')).toStdString();
            return true;
        }
        EXPECT_EQ(now, m_backup) << "neither the tables from before nor the backup's";
        // The replaced tables are all in one folder, the one the message names.
        const QStringList replaced = replacedFolders(data);
        EXPECT_EQ(replaced.size(), 1);
        if (replaced.size() == 1) {
            EXPECT_EQ(filesWithBytes(QDir(data).filePath(replaced.first())), m_before);
        }
        return false;
    }

    QTemporaryDir m_rounds;
    Files m_before;
    Files m_backup;
};

// Killed at each step of the swap, the restore is undone by the next start
// (or by the next restore) until it has checked every table it put in; a
// kill after that leaves the restore made. Random kills land anywhere,
// copying the backup included.
TEST_F(KillTest, RestoreKilledAnywhereLeavesTheTablesFromBeforeOrTheBackups)
{
    std::vector<backup::RestoreStep> steps;
    {
        backup::RestoreRequest dry;
        dry.workDir = round(1000);
        dry.observer = [&steps](backup::RestoreStep step, const QString&) { steps.push_back(step); };
        ASSERT_EQ(backup::runRestore(dry), 0);
    }
    ASSERT_GT(steps.size(), 2u * static_cast<std::size_t>(kTableFiles.size()));
    for (std::size_t at = 0; at < steps.size(); ++at) {
        SCOPED_TRACE("killed at step " + std::to_string(at));
        const QString work = round(static_cast<int>(at));
        runChild("KillChild.Restore", work, static_cast<long>(at));
        const QString data = QDir(work).filePath(QStringLiteral("Data"));
        m_fakes.dialogs.clear();
        if (at % 3 == 2) {
            // The next restore undoes it first, says so, and asks again; No keeps what was.
            backup::RestoreRequest next;
            next.workDir = work;
            m_fakes.dialogs.setResponder([](const platform::ShownBox& box) {
                return box.caption == QStringLiteral("Confirm") ? platform::Button::No : platform::Button::Ok;
            });
            EXPECT_EQ(backup::runRestore(next), 0);
            m_fakes.dialogs.setResponder({});
        } else {
            QString said;
            ASSERT_NO_THROW(said = backup::undoInterruptedRestore(data));
            if (!said.isEmpty())
                m_fakes.dialogs.information(said);
        }
        const bool before = holdsTheTablesFromBefore(work);
        EXPECT_EQ(before, steps[at] != backup::RestoreStep::Done);
        // An undone restore is said, by the start and by the restore alike.
        if (before && steps[at] != backup::RestoreStep::Recorded) {
            EXPECT_TRUE(m_fakes.dialogs.shownTexts().join(QLatin1Char('\n')).contains(QStringLiteral("přerušena")))
                << m_fakes.dialogs.shownTexts().join(QLatin1Char('\n')).toStdString();
        }
    }

    const int whole = wholeRunMs("KillChild.Restore");
    std::mt19937 random(11);
    std::uniform_int_distribution<int> delay(0, whole);
    int gaveTheBackups = 0;
    for (int n = 0; n < 10; ++n) {
        SCOPED_TRACE("random kill " + std::to_string(n));
        const QString work = round(100 + n);
        runChild("KillChild.Restore", work, -1, delay(random));
        ASSERT_NO_THROW(backup::undoInterruptedRestore(QDir(work).filePath(QStringLiteral("Data"))));
        gaveTheBackups += holdsTheTablesFromBefore(work) ? 0 : 1;
    }
    std::printf("%zu steps, each killed; 10 random kills over %d ms, %d of them after the restore was made\n",
                steps.size(), whole, gaveTheBackups);
}

// Killed at each step, a backup leaves a backup that restores: the previous
// one until the new copies are whole and on the disk, the new one after.
TEST_F(KillTest, BackupKilledAnywhereLeavesABackupThatRestores)
{
    std::vector<backup::BackupStep> steps;
    {
        const QDir dry(round(1000));
        backup::copyBackupSet(dry.filePath(QStringLiteral("Data")), dry.filePath(QStringLiteral("Zaloha")),
                              m_fakes.clock.now(),
                              [&steps](backup::BackupStep step, const QString&) { steps.push_back(step); });
    }
    const std::vector<std::string> previous{"Starý"};
    const std::vector<std::string> both{"Nový", "Starý"};
    bool whole = false;
    for (std::size_t at = 0; at < steps.size(); ++at) {
        SCOPED_TRACE("killed at step " + std::to_string(at));
        whole = whole || steps[at] == backup::BackupStep::Staged;
        const QString work = round(static_cast<int>(at));
        runChild("KillChild.Backup", work, static_cast<long>(at));
        EXPECT_EQ(restoredSurnames(work), whole ? both : previous);
    }

    const int wholeRun = wholeRunMs("KillChild.Backup");
    std::mt19937 random(13);
    std::uniform_int_distribution<int> delay(0, wholeRun);
    int newOnes = 0;
    for (int n = 0; n < 10; ++n) {
        SCOPED_TRACE("random kill " + std::to_string(n));
        const std::vector<std::string> restored = [&] {
            const QString work = round(100 + n);
            runChild("KillChild.Backup", work, -1, delay(random));
            return restoredSurnames(work);
        }();
        EXPECT_TRUE(restored == previous || restored == both);
        newOnes += restored == both ? 1 : 0;
    }
    std::printf("%zu steps, each killed; 10 random kills over %d ms, %d of them left the new backup\n", steps.size(),
                wholeRun, newOnes);
}

} // namespace
} // namespace backuptest
