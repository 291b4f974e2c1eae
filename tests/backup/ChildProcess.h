#pragma once

// Runs part of a test in a process of its own, to be killed or to hold
// something while the test goes on: this test program started again with
// only one child test selected. A child test does nothing unless it was
// started so; childWork() tells it what to work on.

#include <QString>

#include <sys/types.h>

namespace backuptest {

// Starts the child test `test` ("Suite.Name") on `work` with a number
// (which step to stop at, how long to wait, ...). Returns its pid.
pid_t startChild(const char* test, const QString& work, long number = 0);
// Waits for a child to end; returns its wait status.
int waitForChild(pid_t child);

// In a child: its work, empty when this is no child.
QString childWork();
long childNumber();

} // namespace backuptest
