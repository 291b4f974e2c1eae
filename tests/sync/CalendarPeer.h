#pragma once

// What a phone would show of a calendar: khal on a folder that vdirsyncer
// keeps in step with the calendar on the server.

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>

class CalendarPeer {
public:
    // Empty when vdirsyncer or khal is missing, or the reason setting up failed.
    QString setUp(const QUrl& calendar, const QString& user, const QString& password);

    // Carries changes both ways; its exit code.
    int sync();
    // What khal lists for one day ("05.05.2027"): time, title | description.
    QString day(const QString& date);
    // khal new with these arguments; its exit code.
    int add(const QStringList& arguments);
    // The calendar's folder as vdirsyncer keeps it.
    QString folder() const { return m_dir.filePath(QStringLiteral("cal")); }
    const QString& output() const { return m_output; }

private:
    int run(const QString& program, QStringList arguments, const QByteArray& input = {});

    QTemporaryDir m_dir;
    QString m_output;
};
