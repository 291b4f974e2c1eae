#include "store/InstanceLock.h"

#include "store/Errors.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class InstanceLockTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A folder of its own: a parameterised test's name holds a '/', which
        // as part of a path would leave its parent folder behind.
        std::string pattern = (fs::temp_directory_path() / "pelmir-lock-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
    }
    void TearDown() override
    {
        if (!m_dir.empty())
            fs::remove_all(m_dir);
    }

    fs::path lockFile() const { return m_dir / "pelmir.lock"; }

    // Starts a child that takes the lock, reports the outcome through a pipe
    // ('1' taken, '0' refused) and then waits until it is killed.
    pid_t startHolder(char& outcome)
    {
        int fds[2];
        EXPECT_EQ(::pipe(fds), 0);
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(fds[0]);
            auto lock = store::InstanceLock::acquire(m_dir);
            const char c = lock ? '1' : '0';
            if (::write(fds[1], &c, 1) != 1)
                ::_exit(2);
            for (;;)
                ::pause();
        }
        ::close(fds[1]);
        outcome = '?';
        EXPECT_EQ(::read(fds[0], &outcome, 1), 1);
        ::close(fds[0]);
        return pid;
    }

    static void kill9(pid_t pid)
    {
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
    }

    fs::path m_dir;
};

// Catches a second instance that starts working on the same tables.
TEST_F(InstanceLockTest, SecondInstanceIsRefusedWhileTheFirstRuns)
{
    char outcome = 0;
    const pid_t holder = startHolder(outcome);
    ASSERT_EQ(outcome, '1');
    EXPECT_EQ(store::InstanceLock::acquire(m_dir), nullptr);
    // The refused attempt leaves the owner's file as it was.
    std::ifstream in(lockFile());
    pid_t written = 0;
    in >> written;
    EXPECT_EQ(written, holder);
    kill9(holder);
}

// Catches a lock that outlives a crashed instance, so the program would never start again.
TEST_F(InstanceLockTest, LockOfAKilledInstanceClearsItself)
{
    char outcome = 0;
    const pid_t holder = startHolder(outcome);
    ASSERT_EQ(outcome, '1');
    kill9(holder);
    ASSERT_TRUE(fs::exists(lockFile())); // SIGKILL runs no destructor
    auto lock = store::InstanceLock::acquire(m_dir);
    ASSERT_NE(lock, nullptr);
    std::ifstream in(lockFile());
    pid_t written = 0;
    in >> written;
    EXPECT_EQ(written, ::getpid());
}

struct LeftoverCase {
    const char* name;
    std::string content;
};

class LeftoverLock : public InstanceLockTest, public ::testing::WithParamInterface<LeftoverCase> {};

// A lock file nobody holds is stale whatever it says: empty or garbage from a
// crash mid-write, a dead pid, or a pid that now belongs to another live
// process (here our own parent, which is alive but is no instance of ours).
TEST_P(LeftoverLock, IsTakenOver)
{
    {
        std::ofstream out(lockFile(), std::ios::binary);
        out << GetParam().content;
    }
    auto lock = store::InstanceLock::acquire(m_dir);
    EXPECT_NE(lock, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Cases, LeftoverLock,
    ::testing::Values(LeftoverCase{"Empty", ""}, LeftoverCase{"Garbage", std::string("\x7f\x00zz\n", 5)},
                      LeftoverCase{"DeadPid", "2147483646\n"},
                      LeftoverCase{"RecycledPid", std::to_string(::getppid()) + "\n"}),
    [](const auto& info) { return std::string(info.param.name); });

// Catches a lock that is never released, or one released twice so that the
// next instance is refused or two instances run.
TEST_F(InstanceLockTest, ReleasedWhenDestroyedAndRetakenInTurn)
{
    for (int round = 0; round < 3; ++round) {
        auto lock = store::InstanceLock::acquire(m_dir);
        ASSERT_NE(lock, nullptr) << "round " << round;
        EXPECT_EQ(store::InstanceLock::acquire(m_dir), nullptr) << "second holder in one process";
        lock.reset();
        EXPECT_FALSE(fs::exists(lockFile()));
    }
    // Nothing but the lock file is ever left in the data directory.
    EXPECT_TRUE(fs::is_empty(m_dir));
}

// Many instances starting at once: exactly one of them may win.
TEST_F(InstanceLockTest, OnlyOneOfManyConcurrentStartsWins)
{
    constexpr int kStarters = 8;
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    pid_t children[kStarters];
    for (pid_t& child : children) {
        child = ::fork();
        if (child == 0) {
            ::close(fds[0]);
            auto lock = store::InstanceLock::acquire(m_dir);
            const char c = lock ? '1' : '0';
            if (::write(fds[1], &c, 1) != 1)
                ::_exit(2);
            for (;;)
                ::pause();
        }
    }
    ::close(fds[1]);
    int winners = 0;
    for (int i = 0; i < kStarters; ++i) {
        char c = 0;
        ASSERT_EQ(::read(fds[0], &c, 1), 1);
        winners += c == '1';
    }
    ::close(fds[0]);
    for (pid_t child : children)
        kill9(child);
    EXPECT_EQ(winners, 1);
}

// A data directory that does not exist is an error to report as such, not
// "another instance runs" nor a lock that failed.
TEST_F(InstanceLockTest, MissingDirectoryIsToldAsMissing)
{
    try {
        store::InstanceLock::acquire(m_dir / "missing");
        FAIL() << "locked a folder that is not there";
    } catch (const store::StoreError& error) {
        EXPECT_EQ(error.kind(), store::StoreError::Kind::NotFound);
        EXPECT_NE(std::string(error.what()).find("neexistuje"), std::string::npos) << error.what();
    }
}

// Something other than a lock file at the lock's name (a folder, a link) is
// refused with a clear error, left alone, and no private lock file is left
// behind however often it is tried.
TEST_F(InstanceLockTest, ForeignThingAtTheLocksNameIsRefusedWithoutLeftovers)
{
    const auto lockPath = m_dir / "pelmir.lock";
    for (const bool folder : {true, false}) {
        std::filesystem::remove_all(lockPath);
        if (folder)
            std::filesystem::create_directory(lockPath);
        else
            std::filesystem::create_symlink(m_dir / "elsewhere", lockPath);
        for (int attempt = 0; attempt < 3; ++attempt)
            EXPECT_THROW(store::InstanceLock::acquire(m_dir), store::StoreError);
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_dir))
            names.push_back(entry.path().filename().string());
        EXPECT_EQ(names, std::vector<std::string>{"pelmir.lock"});
        EXPECT_EQ(std::filesystem::is_directory(std::filesystem::symlink_status(lockPath)), folder);
    }
}

} // namespace
