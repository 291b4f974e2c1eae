#include "backup/ArchiverCommand.h"

#include "BackupTexts.h"

#include <QDir>
#include <QFileInfo>

namespace backup {

namespace {

const QString kProgramName = QStringLiteral("ARJ.EXE");
// Debian's package installs the archiver under this name.
const QString kDebianProgramName = QStringLiteral("arj");

// The fixed text after the directory, part by part, each with what follows it.
struct CommandPart {
    const char* text;
    const char* followedBy;
};
constexpr CommandPart kFixedParts[] = {
    {"ARJ.EXE", " "},
    {"a", " "},
    {"\"-vasdel a:arpelmir.*\"", " "},
    {"-wc:", " "},
    {"a:arpelmir", "  "},
    {"data\\*.*", " "},
    {"-jm", " "},
    {"-v1440", ""},
};

// Switch letters of "-v" that may stand before the command of "-vs" / "-vz".
const QString kVolumeModifiers = QStringLiteral("aeiruvw");

bool hasDrive(const QString& path)
{
    return path.size() >= 2 && path[1] == QLatin1Char(':') && path[0].isLetter();
}

// The path as it exists, each part matched without regard to case; the
// parts from the first one that does not exist stay as written.
QString resolveCaseInsensitive(const QString& absolute)
{
    const QStringList parts = QDir::cleanPath(absolute).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString current = QStringLiteral("/");
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QDir dir(current);
        QString found;
        if (QFileInfo::exists(dir.filePath(parts[i]))) {
            found = parts[i];
        } else {
            const QStringList entries =
                dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
            for (const QString& entry : entries) {
                if (entry.compare(parts[i], Qt::CaseInsensitive) == 0) {
                    found = entry;
                    break;
                }
            }
        }
        if (found.isEmpty())
            return QDir::cleanPath(current + QLatin1Char('/') + parts.mid(i).join(QLatin1Char('/')));
        current = dir.filePath(found);
    }
    return current;
}

// A DOS path on this machine: backslashes are separators, "a:" is the floppy,
// "c:" the work drive (a drive's current folder is its root), a relative
// path lies in `relativeTo` and stays relative to it, so that the archive
// stores the names as given ("Data/Dat.DB").
QString mapPath(const QString& dosPath, const ArchiverPlaces& places, const QString& relativeTo)
{
    QString path = dosPath;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QString base = relativeTo;
    bool relative = false;
    if (hasDrive(path)) {
        base = path[0].toLower() == QLatin1Char('a') ? places.floppy : places.workDrive;
        path = path.mid(2);
    } else if (path.startsWith(QLatin1Char('/'))) {
        base = QStringLiteral("/");
    } else {
        relative = true;
    }
    const QString resolved = resolveCaseInsensitive(base + QLatin1Char('/') + path);
    return relative ? QDir(relativeTo).relativeFilePath(resolved) : resolved;
}

// Blanks separate arguments, except inside double quotes, which go.
QStringList splitArguments(const QString& text)
{
    QStringList arguments;
    QString current;
    bool quoted = false;
    bool any = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
            any = true;
        } else if (c == QLatin1Char(' ') && !quoted) {
            if (any)
                arguments << current;
            current.clear();
            any = false;
        } else {
            current += c;
            any = true;
        }
    }
    if (any)
        arguments << current;
    return arguments;
}

// The DOS command the archiver runs before each volume. "del" clears the old
// archive off the disk; in a folder it must spare the volumes of this run.
QString translateVolumeCommand(const QString& command, const ArchiverPlaces& places)
{
    const QStringList words = command.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const bool deletes = words.size() == 2 && (words[0].compare(QStringLiteral("del"), Qt::CaseInsensitive) == 0 ||
                                               words[0].compare(QStringLiteral("erase"), Qt::CaseInsensitive) == 0);
    if (!deletes)
        return command;
    const QFileInfo target(mapPath(words[1], places, places.currentDir));
    QString find = QStringLiteral("find ") + shellQuoted(target.path()) +
                   QStringLiteral(" -maxdepth 1 -type f -iname ") + shellQuoted(target.fileName());
    if (!places.stamp.isEmpty())
        find += QStringLiteral(" ! -newer ") + shellQuoted(places.stamp);
    return find + QStringLiteral(" -delete");
}

QString translateSwitch(const QString& option, const ArchiverPlaces& places)
{
    if (option.startsWith(QStringLiteral("-w"), Qt::CaseInsensitive) && option.size() > 2)
        return option.left(2) + mapPath(option.mid(2), places, places.currentDir);
    if (option.startsWith(QStringLiteral("-v"), Qt::CaseInsensitive)) {
        qsizetype i = 2;
        while (i < option.size() && kVolumeModifiers.contains(option[i].toLower()))
            ++i;
        const QChar letter = i < option.size() ? option[i].toLower() : QChar();
        if ((letter == QLatin1Char('s') || letter == QLatin1Char('z')) && i + 1 < option.size())
            return option.left(i + 1) + translateVolumeCommand(option.mid(i + 1), places);
    }
    return option;
}

bool isProgram(const QFileInfo& file)
{
    return file.isFile() && file.isExecutable();
}

} // namespace

QString archiverCommandLine(const QString& directory)
{
    QString line = directory;
    for (const CommandPart& part : kFixedParts)
        line += QString::fromLatin1(part.text) + QString::fromLatin1(part.followedBy);
    return line;
}

QString findArchiverProgram(const QString& directory, const ArchiverPlaces& places)
{
    if (directory.trimmed().isEmpty())
        return {};
    const QDir dir(QDir::cleanPath(QDir(places.workDir).filePath(mapPath(directory, places, places.workDir))));
    if (!dir.exists())
        return {};
    const QStringList entries = dir.entryList(QDir::Files | QDir::Executable);
    for (const QString& wanted : {kProgramName, kDebianProgramName}) {
        for (const QString& entry : entries) {
            if (entry.compare(wanted, Qt::CaseInsensitive) == 0 && isProgram(QFileInfo(dir.filePath(entry))))
                return dir.filePath(entry);
        }
    }
    return {};
}

std::optional<ProcessLaunch> archiverLaunch(const QString& commandLine, const QString& directory,
                                            const ArchiverPlaces& places)
{
    const QString prefix = directory + kProgramName;
    if (!commandLine.startsWith(prefix))
        return std::nullopt;
    const QString program = findArchiverProgram(directory, places);
    if (program.isEmpty())
        return std::nullopt;
    ProcessLaunch launch{program, {}, places.currentDir};
    // The saved directory may hold blanks: only the text after the program is split.
    bool commandSeen = false;
    for (const QString& argument : splitArguments(commandLine.mid(prefix.size()))) {
        if (argument.startsWith(QLatin1Char('-'))) {
            launch.arguments << translateSwitch(argument, places);
        } else if (!commandSeen) {
            launch.arguments << argument; // the archiver's command letter
            commandSeen = true;
        } else {
            launch.arguments << mapPath(argument, places, places.currentDir);
        }
    }
    return launch;
}

ProcessLaunch inArchiverWindow(const ProcessLaunch& archiver, const QString& terminal, const QString& removeAfter)
{
    // $1: the folder to remove, $2: 1 to wait for Enter, then the archiver and its arguments.
    const QString script =
        QStringLiteral("r=$1; w=$2; shift 2; \"$@\"; s=$?; if [ -n \"$r\" ]; then rm -rf -- \"$r\"; fi; "
                       "if [ \"$w\" = 1 ]; then printf ") +
        shellQuoted(QStringLiteral("\\n") + texts::kArchiverWindowEnd) +
        QStringLiteral(" \"$s\"; read x; fi; exit $s");
    const bool inWindow = !terminal.isEmpty();
    QStringList shellArguments = {QStringLiteral("-c"), script, QStringLiteral("sh"), removeAfter,
                                  inWindow ? QStringLiteral("1") : QStringLiteral("0"), archiver.program};
    shellArguments += archiver.arguments;
    const QString shell = QStringLiteral("/bin/sh");
    if (!inWindow)
        return {shell, shellArguments, archiver.workingDirectory};
    return {terminal, QStringList{QStringLiteral("-e"), shell} + shellArguments, archiver.workingDirectory};
}

QString shellQuoted(const QString& text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

} // namespace backup
