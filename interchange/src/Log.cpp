#include "interchange/Log.h"

#include <QDateTime>
#include <QFile>
#include <QMutex>

namespace interchange {

namespace {
constexpr qint64 kMaxLogBytes = qint64(1) << 20;
QMutex g_mutex;
QString g_logFile;
} // namespace

void setLogFile(const QString& path)
{
    const QMutexLocker lock(&g_mutex);
    g_logFile = path;
}

QString logFile()
{
    const QMutexLocker lock(&g_mutex);
    return g_logFile;
}

void appendToLog(const QString& about, const QStringList& lines)
{
    const QMutexLocker lock(&g_mutex);
    if (g_logFile.isEmpty() || lines.isEmpty())
        return;
    if (QFile(g_logFile).size() > kMaxLogBytes) {
        const QString previous = g_logFile + QStringLiteral(".1");
        QFile::remove(previous);
        QFile::rename(g_logFile, previous);
    }
    QFile file(g_logFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return; // a log that cannot be written must not stop the work
    const QString stamp = QDateTime::currentDateTime().toString(Qt::ISODate);
    QByteArray text;
    for (const QString& line : lines)
        text += (stamp + QLatin1Char(' ') + about + QStringLiteral(": ") + line + QLatin1Char('\n')).toUtf8();
    file.write(text);
}

} // namespace interchange
