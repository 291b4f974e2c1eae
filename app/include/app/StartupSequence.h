#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <vector>

namespace app {

// One step of start-up: a window to create (or a setting to make) and the
// progress values the splash shows after it. Steps whose window is not built
// yet keep their place and progress, with no create function.
struct StartupStep {
    QString window;
    std::function<void()> create;
    QList<int> progressAfter;
};

// Runs the steps in order, reporting every progress value after its step.
// A step's exception stops the run and passes on to the caller.
void runStartupSteps(const std::vector<StartupStep>& steps,
                     const std::function<void(int)>& setProgress);

} // namespace app
