#include "app/Settings.h"

#include "platform/OwnFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace app {

namespace {

const QString kReadBeyondEnd = QStringLiteral("Read beyond end of file");
const QString kCannotOpen = QStringLiteral("Cannot open file %1");
const QString kCannotCreate = QStringLiteral("Cannot create file %1");
const QString kRecords = QStringLiteral(" záznamů");
const QString kTooLarge = QStringLiteral("Soubor %1 je větší než %2 bajtů; není to položka automatického spuštění "
                                         "tohoto programu.");
constexpr qint64 kRecordSize = 4;
constexpr qint64 kEntryLimit = 64 * 1024;

[[noreturn]] void fail(const QString& text)
{
    throw SettingsError(text.toStdString());
}

QString entryPath(const QString& autostartDir)
{
    return QDir(autostartDir).filePath(kAutostartEntry);
}

// A file that cannot be created keeps the toolkit's text; any other failure
// says what happened and that the old file is unchanged.
void writeOrFail(const QString& path, const QByteArray& bytes)
{
    const platform::WriteResult written = platform::writeOwnFile(path, bytes);
    if (written.failure == platform::WriteFailure::CannotCreate)
        fail(kCannotCreate.arg(path));
    if (!written.ok())
        fail(written.error);
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
    const platform::ReadResult read = platform::readOwnFile(path, kRecordSize);
    if (read.missing)
        return std::nullopt;
    if (!read.bytes)
        fail(read.error);
    const QByteArray& record = *read.bytes;
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
    QByteArray record(kRecordSize, '\0');
    for (int i = 0; i < kRecordSize; ++i)
        record[i] = static_cast<char>(value >> (8 * i) & 0xFF);
    // Written aside and renamed, so a failed write never leaves a short file
    // that would stop the next start-up.
    writeOrFail(path, record);
}

void installAutostart(const QString& source, const QString& autostartDir)
{
    const platform::ReadResult read = platform::readOwnFile(source, kEntryLimit);
    if (read.missing)
        fail(kCannotOpen.arg(source));
    if (!read.bytes)
        fail(read.error);
    // A desktop entry is a few hundred bytes; anything larger is not ours.
    if (!read.whole)
        fail(kTooLarge.arg(source).arg(kEntryLimit));
    const QString target = entryPath(autostartDir);
    if (!QDir().mkpath(autostartDir))
        fail(kCannotCreate.arg(target));
    writeOrFail(target, *read.bytes);
}

void removeAutostart(const QString& autostartDir)
{
    const QString target = entryPath(autostartDir);
    const platform::FileCheck check = platform::checkOwnFile(target);
    if (check.state == platform::FileState::Missing)
        return;
    // A link is removed as a name (its target stays); a folder or a pipe
    // there is nothing this program put there.
    if (check.state == platform::FileState::Other && !QFileInfo(target).isSymLink())
        fail(platform::notAFileText(target, check.what));
    if (!QFile::remove(target))
        fail(QStringLiteral("Soubor %1 nelze smazat.").arg(target));
}

bool autostartInstalled(const QString& autostartDir)
{
    return platform::checkOwnFile(entryPath(autostartDir)).state == platform::FileState::Regular;
}

QString recordCountText(const QString& prefix, int count)
{
    return prefix + QString::number(count) + kRecords;
}

} // namespace app
