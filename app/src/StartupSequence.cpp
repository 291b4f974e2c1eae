#include "app/StartupSequence.h"

namespace app {

void runStartupSteps(const std::vector<StartupStep>& steps,
                     const std::function<void(int)>& setProgress)
{
    for (const StartupStep& step : steps) {
        if (step.create)
            step.create();
        for (int value : step.progressAfter)
            if (setProgress)
                setProgress(value);
    }
}

} // namespace app
