#include "ParadoxLayout.h"

#include "InterchangeTexts.h"
#include "MemoFile.h"

#include <cmath>
#include <algorithm>
#include <cstring>
#include <set>

// In libpx but not in its header: the decryption pxlib applies to each block
// of an encrypted table (its key is the check value in the header).
extern "C" void px_decrypt_db_block(unsigned char* src, unsigned char* dest, unsigned long encryption,
                                    unsigned long blocksize, unsigned long blockno);

namespace interchange {

namespace {

// The field types of Paradox tables (pxlib's pxf... values).
enum FieldType {
    Alpha = 0x01, Date = 0x02, Short = 0x03, Long = 0x04, Currency = 0x05, Number = 0x06, Logical = 0x09,
    MemoBlob = 0x0C, Blob = 0x0D, FmtMemoBlob = 0x0E, Ole = 0x0F, Graphic = 0x10, Time = 0x14, Timestamp = 0x15,
    AutoInc = 0x16, Bcd = 0x17, Bytes = 0x18,
};

constexpr int kCommonHead = 0x58;  // the header every Paradox file starts with
constexpr int kDataHead = 0x20;    // and the part .DB files of version 4 and later add
constexpr int kBlockHead = 6;      // next block, previous block, size of the data after the first record
constexpr int kMaxFieldName = 299; // pxlib's buffer holds one character more

// Whether a field's length in the header is the one its type has: pxlib
// copies that many bytes into a local of the type's size.
bool lengthFits(int type, int length)
{
    switch (type) {
    case Alpha:
    case Bytes:
        return length >= 1 && length <= 255;
    case Date:
    case Long:
    case Time:
    case AutoInc:
        return length == 4;
    case Short:
        return length == 2;
    case Currency:
    case Number:
    case Timestamp:
        return length == 8;
    case Logical:
        return length == 1;
    case MemoBlob:
    case Blob:
    case FmtMemoBlob:
    case Ole:
    case Graphic:
        return length >= 10 && length <= 255;
    case Bcd:
        return length <= 32; // the header holds the decimals; the field is 17 bytes
    default:
        return false;
    }
}

bool readAt(std::FILE* file, long long offset, void* buffer, std::size_t size)
{
    return std::fseek(file, static_cast<long>(offset), SEEK_SET) == 0 && std::fread(buffer, 1, size, file) == size;
}

QString damaged(const QString& detail)
{
    return texts::kNotParadox.arg(detail);
}

} // namespace

std::optional<ParadoxLayout> readParadoxLayout(std::FILE* file, long long fileSize, QString* why)
{
    const auto fail = [&](const QString& reason) {
        *why = reason;
        return std::nullopt;
    };
    char head[kCommonHead + kDataHead] = {};
    if (fileSize < kCommonHead || !readAt(file, 0, head, kCommonHead))
        return fail(texts::kTruncated.arg(fileSize).arg(0x800));
    ParadoxLayout layout;
    layout.recordSize = le16(head);
    layout.headerSize = le16(head + 0x02);
    layout.fileType = static_cast<unsigned char>(head[0x04]);
    const int maxTableSize = static_cast<unsigned char>(head[0x05]);
    const long long numRecords = static_cast<qint32>(le32(head + 0x06));
    const int fileBlocks = le16(head + 0x0C);
    const int firstBlock = le16(head + 0x0E);
    const int numFields = le16(head + 0x21);
    layout.encryption = le32(head + 0x25);
    const int version = static_cast<unsigned char>(head[0x39]);

    if (layout.fileType != 0 && layout.fileType != 2)
        return fail(damaged(texts::kLayoutFileType.arg(layout.fileType)));
    if (version < 3 || version > 12)
        return fail(damaged(texts::kLayoutVersion.arg(version)));
    if (maxTableSize != 1 && maxTableSize != 2 && maxTableSize != 3 && maxTableSize != 4 && maxTableSize != 8 &&
        maxTableSize != 16 && maxTableSize != 32)
        return fail(damaged(texts::kLayoutBlockSize.arg(maxTableSize)));
    layout.blockSize = maxTableSize * 0x400;
    if (layout.recordSize < 1 || layout.recordSize > layout.blockSize - kBlockHead)
        return fail(damaged(texts::kLayoutRecordSize.arg(layout.recordSize)));
    if (fileSize < layout.headerSize)
        return fail(texts::kTruncated.arg(fileSize).arg(layout.headerSize));
    if (numFields < 1 || numFields > 255)
        return fail(damaged(texts::kLayoutFieldCount.arg(numFields)));

    // Where pxlib reads the field list, the names and the table's name.
    int at = kCommonHead;
    if (version >= 5) {
        if (!readAt(file, kCommonHead, head + kCommonHead, kDataHead))
            return fail(texts::kTruncated.arg(fileSize).arg(layout.headerSize));
        layout.codePage = le16(head + 0x6A);
        if (layout.encryption == 0xFF00FF00u)
            layout.encryption = le32(head + 0x5C);
        at += kDataHead;
    }
    const int tableNameLength = version == 12 ? 261 : 79;
    const long long fixedPart = at + numFields * 2LL + 4 + numFields * 4LL + tableNameLength;
    if (fixedPart > layout.headerSize)
        return fail(damaged(texts::kLayoutHeaderSize.arg(layout.headerSize)));
    QByteArray header(layout.headerSize, '\0');
    if (!readAt(file, 0, header.data(), static_cast<std::size_t>(layout.headerSize)))
        return fail(texts::kTruncated.arg(fileSize).arg(layout.headerSize));

    int recordSize = 0;
    for (int i = 0; i < numFields; ++i) {
        ParadoxField field;
        field.type = static_cast<unsigned char>(header[at + i * 2]);
        const int size = static_cast<unsigned char>(header[at + i * 2 + 1]);
        if (!lengthFits(field.type, size))
            return fail(damaged(texts::kLayoutField.arg(i + 1).arg(field.type).arg(size)));
        field.length = field.type == Bcd ? 17 : size;
        field.decimals = field.type == Bcd ? size : 0;
        recordSize += field.length;
        layout.fields.push_back(field);
    }
    if (recordSize != layout.recordSize)
        return fail(damaged(texts::kLayoutRecordSize.arg(layout.recordSize)));
    const qsizetype tableName = static_cast<qsizetype>(fixedPart - tableNameLength);
    if (header.indexOf('\0', tableName) < 0 || header.indexOf('\0', tableName) >= fixedPart)
        return fail(damaged(texts::kLayoutNames));
    qsizetype name = static_cast<qsizetype>(fixedPart);
    for (ParadoxField& field : layout.fields) {
        const qsizetype end = header.indexOf('\0', name);
        if (end < 0 || end - name > kMaxFieldName)
            return fail(damaged(texts::kLayoutNames));
        field.name = header.mid(name, end - name);
        name = end + 1;
    }

    // The block chain as pxlib walks it: each block visited once, its record
    // count within what a block holds. pxlib indexes the first `fileBlocks`
    // blocks of the chain and then follows the rest without an end. A block
    // the file ends in (a truncated copy) is read as if zeros followed: the
    // reader gives pxlib the file padded so.
    const int perBlock = (layout.blockSize - kBlockHead) / layout.recordSize;
    std::set<int> visited;
    std::vector<unsigned char> block(static_cast<std::size_t>(layout.blockSize));
    long long chainRecords = 0;
    int indexed = 0;
    for (int number = firstBlock; number > 0;) {
        if (!visited.insert(number).second)
            return fail(damaged(texts::kLayoutChainLoop.arg(number)));
        const long long start = layout.headerSize + (number - 1LL) * layout.blockSize;
        const long long inFile = std::clamp<long long>(fileSize - start, 0, layout.blockSize);
        std::fill(block.begin(), block.end(), 0);
        if (inFile > 0 && !readAt(file, start, block.data(), static_cast<std::size_t>(inFile)))
            return fail(texts::kTruncated.arg(fileSize).arg(start + layout.blockSize));
        if (inFile < layout.blockSize) {
            layout.truncated = true;
            layout.chainEnd = std::max(layout.chainEnd, start + layout.blockSize);
        }
        if (layout.encryption != 0)
            px_decrypt_db_block(block.data(), block.data(), layout.encryption, static_cast<unsigned long>(block.size()),
                                static_cast<unsigned long>(number));
        const char* blockHead = reinterpret_cast<const char*>(block.data());
        const int inBlock = le16(blockHead + 4) / layout.recordSize + 1;
        if (inBlock > perBlock)
            return fail(damaged(texts::kLayoutBlockRecords.arg(number)));
        if (indexed < fileBlocks) {
            chainRecords += inBlock;
            ++indexed;
        }
        number = le16(blockHead);
    }
    layout.records = static_cast<int>(std::min<long long>(std::max(numRecords, 0LL), chainRecords));
    return layout;
}

std::optional<long long> paradoxInteger(const char* data, int length)
{
    // Big-endian with the sign bit inverted; all zero bytes: no value.
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    unsigned long long raw = 0;
    bool empty = true;
    for (int i = 0; i < length; ++i) {
        raw = raw << 8 | bytes[i];
        empty = empty && bytes[i] == 0;
    }
    if (empty)
        return std::nullopt;
    const unsigned long long sign = 1ULL << (8 * length - 1);
    raw ^= sign;
    return static_cast<long long>(raw) - ((raw & sign) ? static_cast<long long>(sign) * 2 : 0);
}

std::optional<double> paradoxDouble(const char* data)
{
    // Big-endian IEEE: positive numbers have the sign bit set, negative ones every bit inverted.
    unsigned char bytes[8];
    std::memcpy(bytes, data, 8);
    bool empty = true;
    for (const unsigned char b : bytes)
        empty = empty && b == 0;
    if (empty)
        return std::nullopt;
    if (bytes[0] & 0x80) {
        bytes[0] &= 0x7F;
    } else {
        for (unsigned char& b : bytes)
            b = static_cast<unsigned char>(~b);
    }
    unsigned long long raw = 0;
    for (const unsigned char b : bytes)
        raw = raw << 8 | b;
    double value = 0;
    std::memcpy(&value, &raw, sizeof value);
    return value;
}

std::optional<bool> paradoxLogical(const char* data)
{
    const auto byte = static_cast<unsigned char>(data[0]);
    if (byte == 0)
        return std::nullopt;
    return (byte & 0x7F) != 0;
}

std::optional<QString> paradoxBcd(const unsigned char* data, int decimals)
{
    // A sign bit and the decimals in the first byte, then 32 digits of four
    // bits, inverted for a negative number.
    if (data[0] == 0)
        return std::nullopt;
    const bool positive = (data[0] & 0x80) != 0;
    if ((data[0] & 0x3F) != decimals || decimals > 32)
        return std::nullopt;
    const unsigned char flip = positive ? 0x0 : 0xF;
    QString digits;
    for (int i = 2; i < 34; ++i) {
        const unsigned char nibble = (i % 2 ? data[i / 2] & 0x0F : data[i / 2] >> 4) ^ flip;
        if (nibble > 9)
            return std::nullopt;
        digits.append(QLatin1Char(static_cast<char>('0' + nibble)));
    }
    QString whole = digits.left(32 - decimals);
    while (whole.size() > 1 && whole.front() == QLatin1Char('0'))
        whole.remove(0, 1);
    if (whole.isEmpty())
        whole = QStringLiteral("0");
    QString fraction = digits.right(decimals);
    while (fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    QString text = positive ? QString() : QStringLiteral("-");
    text += whole;
    if (!fraction.isEmpty())
        text += QLatin1Char(',') + fraction;
    return text;
}

} // namespace interchange
