#include "ChildProcess.h"

#include <QByteArray>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace backuptest {

namespace {
constexpr const char* kWorkVariable = "PELMIR_BACKUP_CHILD";
constexpr const char* kNumberVariable = "PELMIR_BACKUP_CHILD_NUMBER";
} // namespace

pid_t startChild(const char* test, const QString& work, long number)
{
    const std::string filter = std::string("--gtest_filter=") + test;
    const QByteArray workBytes = work.toUtf8();
    const pid_t child = ::fork();
    if (child != 0)
        return child;
    // The child's own test report would bury the parent's; its errors still show.
    if (std::freopen("/dev/null", "w", stdout) == nullptr)
        std::_Exit(8);
    ::setenv(kWorkVariable, workBytes.constData(), 1);
    ::setenv(kNumberVariable, std::to_string(number).c_str(), 1);
    ::execl("/proc/self/exe", "backup_tests", filter.c_str(), static_cast<char*>(nullptr));
    std::_Exit(7);
}

int waitForChild(pid_t child)
{
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
    }
    return status;
}

QString childWork()
{
    const char* work = std::getenv(kWorkVariable);
    return work ? QString::fromUtf8(work) : QString();
}

long childNumber()
{
    const char* number = std::getenv(kNumberVariable);
    return number ? std::atol(number) : 0;
}

} // namespace backuptest
