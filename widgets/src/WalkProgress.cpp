#include "widgets/WalkProgress.h"

#include "platform/Platform.h"

#include <QApplication>
#include <QWidget>

#include <memory>

namespace widgets {

store::WalkProgress walkProgress(const QString& label)
{
    platform::Progress* progress = platform::services().progress;
    if (!progress)
        return {};
    QWidget* window = QApplication::activeWindow();
    // Shared, as the walk's progress is copyable; the window goes with its last copy.
    std::shared_ptr<platform::ProgressTask> task =
        progress->begin(window ? window->windowTitle() : label, window);
    task->setLabel(label);
    return [task](std::int64_t done, std::int64_t total) { return task->setProgress(done, total); };
}

} // namespace widgets
