#pragma once

// The program's log: what libraries say in their own (English) words and
// what a failed outside process left behind. Never shown in a box or on the
// terminal; kept for whoever looks into a fault.

#include <QString>
#include <QStringList>

namespace interchange {

// Where the log goes (the working directory's pelmir.log); empty: nowhere.
void setLogFile(const QString& path);
QString logFile();

// Appends the lines, each with the time and what they are about. A log
// past 1 MB is moved to "pelmir.log.1" first, so it never grows without end.
void appendToLog(const QString& about, const QStringList& lines);

} // namespace interchange
