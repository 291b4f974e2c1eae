#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class QTextStream;

namespace app {

// `pelmir [--workdir DIR] [document]`: without --workdir, workDir is the
// current directory (chooseWorkDir() decides where the program works); the
// first plain argument is the editor's document.
// `pelmir --import FILE [--conflicts skip|replace|keep] [--password P]` and
// `pelmir --export FILE [--encoding windows-1250]` move data in or out
// without opening a window. `--help` and `--version` only print.
// `pelmir --sync [--server URL --user NAME] [--password-stdin]
// [--addressbook NAME] [--yes]` syncs with a CardDAV server without a window.
struct CommandLine {
    QString workDir;
    bool workDirGiven = false; // --workdir was on the command line
    QString document;
    QString importPath;
    QString exportPath;
    QString conflicts = QStringLiteral("skip");
    QString encoding;  // of a CSV export: empty (UTF-8) or "windows-1250"
    QString password;  // of old encrypted tables
    bool sync = false;
    QString syncServer;
    QString syncUser;
    QString addressBook;
    QString calendar;      // --calendar: the planner's calendar on the server
    bool nameDays = false; // --namedays: the name days in their own calendar
    bool passwordStdin = false;
    bool acceptPairs = false; // --yes: a first sync may join records with server items of the same name
    QString readParadox; // the folder the reading process of a Paradox import reads
    bool help = false;
    bool version = false;
    QString error; // not empty when the arguments cannot be understood

    bool isTransfer() const { return !importPath.isEmpty() || !exportPath.isEmpty(); }
    bool isSync() const { return sync; }
    // Runs without a display and without touching any folder.
    bool onlyPrints() const { return help || version; }
};

// One option of the command line. A new option is a new row of
// commandLineOptions(): its name, its value's name in the usage (none for a
// switch), the usage's Czech line and what it sets.
struct CommandLineOption {
    const char* name;      // "--workdir"
    const char* valueName; // "ADRESÁŘ"; nullptr: a switch that takes no value
    const char* help;      // one line of the usage (UTF-8); nullptr: not listed
    void (*apply)(CommandLine& commandLine, const QString& value);
};
const std::vector<CommandLineOption>& commandLineOptions();

// `arguments` without the program name. An option may be written
// "--name value" or "--name=value"; "--" ends the options.
CommandLine parseCommandLine(const QStringList& arguments, const QString& currentDir);

// What `pelmir --help` prints (Czech), made from the table of options.
QString usageText();
// What `pelmir --version` prints.
QString versionText();

// Help, version, or arguments that cannot be understood (the error and the
// usage to `err`, exit code 2): answered before any display or folder is
// touched. nullopt when the program is to run.
std::optional<int> answerWithoutRunning(const CommandLine& commandLine, QTextStream& out, QTextStream& err);

} // namespace app
