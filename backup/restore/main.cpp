// pelmir-restore: puts the last backup back into the working directory's
// `Data` and starts the program again. `pelmir-restore [--workdir DIR] [--arj]`.
#include "backup/RestoreProgram.h"

#include "platform/Platform.h"
#include "platform/RealServices.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(platform::Dialogs::applicationTitle());

    backup::RestoreRequest request =
        backup::parseRestoreArguments(QApplication::arguments().mid(1), QDir::currentPath());
    // The program is installed beside this one; else it is found on the PATH.
    const QString beside = QDir(QApplication::applicationDirPath()).filePath(QStringLiteral("pelmir"));
    request.mainProgram = QFileInfo(beside).isExecutable() ? beside : QStringLiteral("pelmir");

    platform::RealServices real(request.workDir);
    platform::setServices(real.services());
    return backup::runRestore(request);
}
