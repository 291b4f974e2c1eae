#include "MemoFile.h"

namespace interchange {

namespace {
constexpr qint64 kBlockSize = 4096;
constexpr qint64 kSingleHeader = 9;   // type, block count, length, modification number
constexpr qint64 kSlotTable = 12;     // where a suballocated block's 64 slots start
constexpr int kSlots = 64;
} // namespace

bool MemoFile::open(const QString& path, QString* error)
{
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadOnly)) {
        *error = m_file.errorString();
        return false;
    }
    return true;
}

std::optional<QByteArray> MemoFile::read(const char* pointer, QString* error)
{
    const quint32 offsetAndIndex = le32(pointer);
    const qint64 length = le32(pointer + 4);
    const qint64 blockStart = offsetAndIndex & 0xFFFFFF00u;
    const int index = static_cast<int>(offsetAndIndex & 0xFFu);
    const qint64 fileSize = m_file.size();
    if (blockStart == 0 || blockStart % kBlockSize != 0 || blockStart + kBlockSize > fileSize ||
        length > fileSize) {
        *error = QStringLiteral("odkaz mimo soubor");
        return std::nullopt;
    }
    if (!m_file.seek(blockStart)) {
        *error = m_file.errorString();
        return std::nullopt;
    }
    const QByteArray head = m_file.read(kSlotTable + kSlots * 5);
    if (head.size() < kSlotTable + kSlots * 5) {
        *error = QStringLiteral("soubor je zkrácený");
        return std::nullopt;
    }
    const unsigned char type = static_cast<unsigned char>(head.at(0));
    qint64 dataStart = 0;
    if (type == 2) {
        // One memo over one or more whole blocks.
        if (index != 0xFF || le32(head.constData() + 3) != length) {
            *error = QStringLiteral("délka poznámky nesouhlasí");
            return std::nullopt;
        }
        dataStart = blockStart + kSingleHeader;
    } else if (type == 3) {
        // Up to 64 short memos in one block, each in a slot of the table.
        if (index >= kSlots) {
            *error = QStringLiteral("neplatné číslo místa v bloku");
            return std::nullopt;
        }
        const char* slot = head.constData() + kSlotTable + index * 5;
        const qint64 start = static_cast<unsigned char>(slot[0]) * 16;
        const qint64 paragraphs = static_cast<unsigned char>(slot[1]);
        const qint64 tail = static_cast<unsigned char>(slot[4]);
        if (start == 0 || paragraphs == 0 || (paragraphs - 1) * 16 + tail != length ||
            start + length > kBlockSize) {
            *error = QStringLiteral("místo poznámky v bloku nesouhlasí");
            return std::nullopt;
        }
        dataStart = blockStart + start;
    } else {
        *error = QStringLiteral("odkaz vede do bloku jiného druhu (%1)").arg(type);
        return std::nullopt;
    }
    if (dataStart + length > fileSize || !m_file.seek(dataStart)) {
        *error = QStringLiteral("soubor je zkrácený");
        return std::nullopt;
    }
    QByteArray data = m_file.read(length);
    if (data.size() != length) {
        *error = QStringLiteral("soubor je zkrácený");
        return std::nullopt;
    }
    return data;
}

} // namespace interchange
