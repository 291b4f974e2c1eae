#include "sync/SyncSettings.h"

#include "SyncTexts.h"

#include "platform/OwnFiles.h"

#include <QDir>
#include <QHostAddress>
#include <QStringList>

namespace davsync {

namespace {

// The file holds a few short lines; anything much longer is not ours.
constexpr qint64 kMaxSettingsBytes = 64 * 1024;

bool isLoopback(const QString& host)
{
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

} // namespace

bool isInsecure(const QUrl& server)
{
    return server.scheme() == QLatin1String("http") && !isLoopback(server.host());
}

QString serverAddressProblem(const QUrl& server, bool insecureAccepted)
{
    if (!server.isValid() || server.host().isEmpty() ||
        (server.scheme() != QLatin1String("https") && server.scheme() != QLatin1String("http")))
        return texts::kBadServerAddress.arg(server.toDisplayString(QUrl::RemoveUserInfo));
    if (isInsecure(server) && !insecureAccepted)
        return texts::kInsecureRefused.arg(server.host());
    return {};
}

QString passwordAccount(const SyncSettings& settings)
{
    return settings.user + QLatin1Char('@') + settings.server.host() +
           (settings.server.port() > 0 ? QLatin1Char(':') + QString::number(settings.server.port()) : QString());
}

std::optional<SyncSettings> loadSyncSettings(const QString& workDir, QString* error)
{
    const platform::ReadResult read = platform::readOwnFile(QDir(workDir).filePath(QLatin1String(kSettingsFileName)),
                                                            kMaxSettingsBytes);
    SyncSettings settings;
    if (read.missing)
        return settings;
    if (!read.bytes || !read.whole) {
        *error = read.bytes ? texts::kSettingsTooLong : read.error;
        return std::nullopt;
    }
    for (const QString& line : QString::fromUtf8(*read.bytes).split(QLatin1Char('\n'))) {
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0 || line.startsWith(QLatin1Char('#')))
            continue;
        const QString name = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        if (name == QLatin1String("server"))
            settings.server = QUrl(value);
        else if (name == QLatin1String("user"))
            settings.user = value;
        else if (name == QLatin1String("addressbook"))
            settings.addressBook = value;
        else if (name == QLatin1String("addressbook-name"))
            settings.addressBookName = value;
        else if (name == QLatin1String("planner"))
            settings.planner = value == QLatin1String("1");
        else if (name == QLatin1String("calendar"))
            settings.calendar = value;
        else if (name == QLatin1String("calendar-name"))
            settings.calendarName = value;
        else if (name == QLatin1String("namedays"))
            settings.nameDays = value == QLatin1String("1");
        else if (name == QLatin1String("namedays-calendar"))
            settings.nameDaysCalendar = value;
        else if (name == QLatin1String("namedays-name"))
            settings.nameDaysName = value;
        else if (name == QLatin1String("insecure-accepted"))
            settings.insecureAccepted = value == QLatin1String("1");
    }
    return settings;
}

bool saveSyncSettings(const QString& workDir, const SyncSettings& settings, QString* error)
{
    QStringList lines{QStringLiteral("# Pelmir a telefony: synchronizace (heslo je v klíčence systému)")};
    lines << QStringLiteral("server=") + settings.server.toString(QUrl::RemoveUserInfo)
          << QStringLiteral("user=") + settings.user << QStringLiteral("addressbook=") + settings.addressBook
          << QStringLiteral("addressbook-name=") + settings.addressBookName
          << QStringLiteral("planner=") + (settings.planner ? QStringLiteral("1") : QStringLiteral("0"))
          << QStringLiteral("calendar=") + settings.calendar << QStringLiteral("calendar-name=") + settings.calendarName
          << QStringLiteral("namedays=") + (settings.nameDays ? QStringLiteral("1") : QStringLiteral("0"))
          << QStringLiteral("namedays-calendar=") + settings.nameDaysCalendar
          << QStringLiteral("namedays-name=") + settings.nameDaysName
          << QStringLiteral("insecure-accepted=") + (settings.insecureAccepted ? QStringLiteral("1") : QStringLiteral("0"));
    for (QString& line : lines)
        line.remove(QLatin1Char('\n')).remove(QLatin1Char('\r'));
    const platform::WriteResult written = platform::writeOwnFile(
        QDir(workDir).filePath(QLatin1String(kSettingsFileName)), (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
    if (!written.ok()) {
        *error = written.error;
        return false;
    }
    return true;
}

} // namespace davsync
