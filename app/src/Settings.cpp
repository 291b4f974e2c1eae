#include "app/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace app {

namespace {

const QString kReadBeyondEnd = QStringLiteral("Read beyond end of file");
const QString kCannotOpen = QStringLiteral("Cannot open file %1");
const QString kCannotCreate = QStringLiteral("Cannot create file %1");
const QString kRecords = QStringLiteral(" záznamů");
constexpr qint64 kRecordSize = 4;

[[noreturn]] void fail(const QString& text)
{
    throw SettingsError(text.toStdString());
}

QString entryPath(const QString& autostartDir)
{
    return QDir(autostartDir).filePath(kAutostartEntry);
}

} // namespace

std::uint32_t colourValue(const QColor& colour)
{
    const QColor rgb = colour.toRgb();
    return static_cast<std::uint32_t>(rgb.red()) | static_cast<std::uint32_t>(rgb.green()) << 8 |
           static_cast<std::uint32_t>(rgb.blue()) << 16;
}

QColor colourFromValue(std::uint32_t value)
{
    // The highest byte is 0 for every colour the dialog gives; anything else there is ignored.
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>(value >> 8 & 0xFF),
                  static_cast<int>(value >> 16 & 0xFF));
}

std::optional<QColor> readColourFile(const QString& path)
{
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(kCannotOpen.arg(path));
    const QByteArray record = file.read(kRecordSize);
    if (record.size() < kRecordSize)
        fail(kReadBeyondEnd);
    std::uint32_t value = 0;
    for (int i = kRecordSize - 1; i >= 0; --i)
        value = value << 8 | static_cast<std::uint8_t>(record.at(i));
    return colourFromValue(value);
}

void writeColourFile(const QString& path, const QColor& colour)
{
    const std::uint32_t value = colourValue(colour);
    char record[kRecordSize];
    for (int i = 0; i < kRecordSize; ++i)
        record[i] = static_cast<char>(value >> (8 * i) & 0xFF);
    // Written aside and renamed, so a failed write never leaves a short file
    // that would stop the next start-up.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(record, kRecordSize) != kRecordSize ||
        !file.commit())
        fail(kCannotCreate.arg(path));
}

void installAutostart(const QString& source, const QString& autostartDir)
{
    QFile from(source);
    if (!from.open(QIODevice::ReadOnly))
        fail(kCannotOpen.arg(source));
    const QByteArray contents = from.readAll();
    const QString target = entryPath(autostartDir);
    if (!QDir().mkpath(autostartDir))
        fail(kCannotCreate.arg(target));
    QSaveFile to(target);
    if (!to.open(QIODevice::WriteOnly) || to.write(contents) != contents.size() || !to.commit())
        fail(kCannotCreate.arg(target));
}

void removeAutostart(const QString& autostartDir)
{
    const QString target = entryPath(autostartDir);
    if (QFileInfo::exists(target) && !QFile::remove(target))
        fail(QStringLiteral("Soubor %1 nelze smazat.").arg(target));
}

bool autostartInstalled(const QString& autostartDir)
{
    return QFileInfo::exists(entryPath(autostartDir));
}

QString recordCountText(const QString& prefix, int count)
{
    return prefix + QString::number(count) + kRecords;
}

} // namespace app
