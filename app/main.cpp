#include "app/Application.h"
#include "app/CommandLine.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    // Moving data in or out runs in scripts: no display is needed.
    const app::CommandLine commandLine = app::parseCommandLine(arguments, QDir::currentPath());
    if (commandLine.isTransfer()) {
        QCoreApplication core(argc, argv);
        return app::runTransfer(commandLine);
    }
    QApplication application(argc, argv);
    return app::runProgram(QApplication::arguments().mid(1));
}
