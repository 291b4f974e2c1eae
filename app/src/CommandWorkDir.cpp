#include "CommandWorkDir.h"

#include "app/WorkDir.h"

#include "store/Catalogue.h"

#include "platform/RealServices.h"

#include <QCoreApplication>
#include <QDir>

namespace app {

namespace {
const QString kNoLock = QStringLiteral("Pracovní adresář nelze uzamknout: %1");
} // namespace

std::optional<CommandWorkDir> lockCommandWorkDir(const CommandLine& commandLine, const QString& running,
                                                 QTextStream& err)
{
    const WorkDirChoice where = chooseWorkDir(commandLine, QDir::currentPath(),
                                              userWorkDir(qEnvironmentVariable("XDG_DATA_HOME"), QDir::homePath()));
    if (where.provision) {
        const QString error = prepareWorkDir(
            where.dir, platform::installedFile(QCoreApplication::applicationDirPath(), QStringLiteral("data")),
            QCoreApplication::applicationFilePath(), Pictures::Later);
        if (!error.isEmpty()) {
            err << error << '\n';
            return std::nullopt;
        }
    }
    CommandWorkDir result;
    result.dir = QDir(where.dir).absolutePath();
    result.dataDir = std::filesystem::path(result.dir.toStdString()) / store::kDataDirName;
    try {
        result.lock = store::InstanceLock::acquire(result.dataDir);
    } catch (const std::exception& error) {
        err << kNoLock.arg(QString::fromUtf8(error.what())) << '\n';
        return std::nullopt;
    }
    if (!result.lock) {
        err << running << '\n';
        return std::nullopt;
    }
    return result;
}

} // namespace app
