#include "CalendarPeer.h"

#include "DavServers.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace {

bool writeFile(const QString& path, const QString& text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(text.toUtf8());
    return true;
}

} // namespace

QString CalendarPeer::setUp(const QUrl& calendar, const QString& user, const QString& password)
{
    for (const char* tool : {"vdirsyncer", "khal"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            return QStringLiteral("%1 is not installed").arg(QString::fromLatin1(tool));
    const QString root = m_dir.path();
    QDir(root).mkpath(QStringLiteral("cal"));
    QDir(root).mkpath(QStringLiteral("status"));
    const bool written =
        writeFile(m_dir.filePath(QStringLiteral("vdirsyncer.conf")),
                  QStringLiteral("[general]\nstatus_path = \"%1/status/\"\n[pair kalendar]\na = \"local\"\n"
                                 "b = \"remote\"\ncollections = null\nconflict_resolution = \"b wins\"\n"
                                 "[storage local]\ntype = \"filesystem\"\npath = \"%1/cal/\"\nfileext = \".ics\"\n"
                                 "[storage remote]\ntype = \"caldav\"\nurl = \"%2\"\nusername = \"%3\"\npassword = \"%4\"\n")
                      .arg(root, calendar.toString(), user, password)) &&
        writeFile(m_dir.filePath(QStringLiteral("khal.conf")),
                  QStringLiteral("[calendars]\n[[kalendar]]\npath = %1/cal/\n[locale]\ndateformat = %d.%m.%Y\n"
                                 "longdateformat = %d.%m.%Y\ndatetimeformat = %d.%m.%Y %H:%M\n"
                                 "longdatetimeformat = %d.%m.%Y %H:%M\ntimeformat = %H:%M\n"
                                 "[default]\ndefault_calendar = kalendar\n")
                      .arg(root));
    if (!written)
        return QStringLiteral("cannot write the peers' settings");
    if (run(QStringLiteral("vdirsyncer"), {QStringLiteral("discover")}, "y\ny\n") != 0)
        return QStringLiteral("vdirsyncer discover: ") + m_output;
    return {};
}

int CalendarPeer::run(const QString& program, QStringList arguments, const QByteArray& input)
{
    arguments.prepend(m_dir.filePath(program == QLatin1String("khal") ? QStringLiteral("khal.conf")
                                                                     : QStringLiteral("vdirsyncer.conf")));
    arguments.prepend(QStringLiteral("-c"));
    return runTool(program, arguments, m_dir.path(), &m_output, input,
                   {QStringLiteral("HOME=") + m_dir.path(), QStringLiteral("LANG=C.UTF-8"),
                    QStringLiteral("TZ=Europe/Prague")});
}

int CalendarPeer::sync()
{
    return run(QStringLiteral("vdirsyncer"), {QStringLiteral("sync")});
}

QString CalendarPeer::day(const QString& date)
{
    run(QStringLiteral("khal"), {QStringLiteral("list"), QStringLiteral("--format"),
                                 QStringLiteral("{start-end-time-style} {title} | {description}"), date, date});
    return m_output;
}

int CalendarPeer::add(const QStringList& arguments)
{
    return run(QStringLiteral("khal"), QStringList{QStringLiteral("new")} + arguments);
}
