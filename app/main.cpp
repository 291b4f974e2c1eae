#include "app/Application.h"
#include "app/CommandLine.h"

#include "interchange/ParadoxProcess.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

#include <cstdio>

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const app::CommandLine commandLine = app::parseCommandLine(arguments, QDir::currentPath());
    {
        // Help, version and wrong options answer on the terminal, before any display or folder is touched.
        QTextStream out(stdout), err(stderr);
        if (const std::optional<int> code = app::answerWithoutRunning(commandLine, out, err))
            return *code;
    }
    // The process an import starts to read old Paradox tables apart from the program.
    if (!commandLine.readParadox.isEmpty())
        return interchange::runParadoxReader(commandLine.readParadox, stdin, stdout);
    // Moving data in or out runs in scripts: no display is needed.
    if (commandLine.isTransfer()) {
        QCoreApplication core(argc, argv);
        return app::runTransfer(commandLine);
    }
    if (commandLine.isSync()) {
        QCoreApplication core(argc, argv);
        return app::runSync(commandLine);
    }
    QApplication application(argc, argv);
    return app::runProgram(QApplication::arguments().mid(1));
}
