#pragma once

// The working directory of a command run without windows (--import,
// --export, --sync): the one the windows would use, built on first use,
// and locked as the program locks it, so the two never write at once.

#include "app/CommandLine.h"

#include "store/InstanceLock.h"

#include <QString>
#include <QTextStream>

#include <filesystem>
#include <memory>
#include <optional>

namespace app {

struct CommandWorkDir {
    QString dir;
    std::filesystem::path dataDir;
    std::unique_ptr<store::InstanceLock> lock;
};

// nullopt after a Czech message on `err`: the directory could not be built
// or locked, or the program runs over it (`running` says what to do then).
std::optional<CommandWorkDir> lockCommandWorkDir(const CommandLine& commandLine, const QString& running,
                                                 QTextStream& err);

} // namespace app
