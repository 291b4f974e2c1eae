#include "interchange/Paradox.h"

#include "interchange/TextCodec.h"

#include "interchange/ImportFile.h"

#include "InterchangeTexts.h"
#include "MemoFile.h"
#include "ParadoxLayout.h"

#include "store/Catalogue.h"
#include "store/CzechText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

// pxlib's header declares C functions without saying so.
extern "C" {
#include <paradox.h>
}

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

// In libpx but not in its header: the check value a password leaves in an
// encrypted table's header.
extern "C" long px_passwd_checksum(const char* password);

namespace interchange {

namespace {

constexpr long kSdnOfDayZero = 1721425; // the day before 1.1.0001, Paradox's day 1
// A truncated copy misses its last blocks, not megabytes of them.
constexpr long long kMaxPadding = 16LL << 20;

struct PxDocCloser {
    void operator()(pxdoc_t* doc) const
    {
        if (doc->px_stream)
            PX_close(doc);
        PX_delete(doc);
    }
};
using PxDoc = std::unique_ptr<pxdoc_t, PxDocCloser>;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// pxlib's own messages (English) are for the log, never for the user.
void collectMessage(pxdoc_t*, int, const char* message, void* data)
{
    if (data && message)
        static_cast<QStringList*>(data)->append(QString::fromLocal8Bit(message).trimmed());
}

QString problemAt(int record, const QString& message)
{
    return texts::kAt.arg(texts::kRecordWord).arg(record).arg(message);
}

// ICU's name of a DOS or Windows code page, nullptr for one it does not know.
const char* codePageName(int codePage)
{
    switch (codePage) {
    case 852: return "ibm-852";
    case 1250: return "windows-1250";
    case 437: return "ibm-437";
    case 850: return "ibm-850";
    case 1252: return "windows-1252";
    case 866: return "ibm-866";
    case 1251: return "windows-1251";
    default: return nullptr;
    }
}

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

QString dateText(long days)
{
    int year = 0, month = 0, day = 0;
    PX_SdnToGregorian(days + kSdnOfDayZero, &year, &month, &day);
    return QStringLiteral("%1.%2.%3").arg(day).arg(month).arg(year);
}

QString timeText(long milliseconds)
{
    const long seconds = milliseconds / 1000;
    return QStringLiteral("%1:%2:%3").arg(seconds / 3600).arg(twoDigits(int(seconds / 60 % 60))).arg(twoDigits(int(seconds % 60)));
}

// A number as the Czech read it: decimal comma, no exponent for sums of money.
QString numberText(double value)
{
    if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e15)
        return QString::number(static_cast<qint64>(value));
    QString text = QString::number(value, 'f', 2);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    return text.replace(QLatin1Char('.'), QLatin1Char(','));
}

bool knownPassword(unsigned long encryption, const std::vector<std::string>& passwords)
{
    for (const std::string& password : passwords)
        if (static_cast<unsigned long>(px_passwd_checksum(password.c_str())) == encryption)
            return true;
    return false;
}

struct SourceField {
    QString name;
    int type = 0;
    int offset = 0;
    int length = 0;
    int decimals = 0;
};

// One field's text; nullopt (with `error`) when it cannot be read. The
// numbers are decoded here, not by pxlib, whose decoders trust the header.
std::optional<QString> fieldText(const SourceField& field, char* data, const char* charset, MemoFile& memos,
                                 const QString& memoName, QString* error)
{
    switch (field.type) {
    case pxfAlpha: {
        qsizetype length = 0;
        while (length < field.length && data[length] != '\0')
            ++length;
        std::optional<QString> text = decode(QByteArrayView(data, length), charset);
        if (!text)
            *error = texts::kFieldNotInCodePage.arg(field.name, QString::fromLatin1(charset));
        return text;
    }
    case pxfDate: {
        const std::optional<long long> value = paradoxInteger(data, 4);
        if (!value || *value <= 0)
            return QString();
        return dateText(static_cast<long>(*value));
    }
    case pxfTime: {
        const std::optional<long long> value = paradoxInteger(data, 4);
        if (!value || *value < 0)
            return QString();
        return timeText(static_cast<long>(*value));
    }
    case pxfTimestamp: {
        const std::optional<double> value = paradoxDouble(data);
        // Up to the year 9999: beyond that no date text exists.
        if (!value || !(*value > 0) || *value > 3.2e14)
            return QString();
        const double days = std::floor(*value / 86400000.0);
        return dateText(static_cast<long>(days)) + QLatin1Char(' ') +
               timeText(static_cast<long>(*value - days * 86400000.0));
    }
    case pxfShort:
    case pxfLong:
    case pxfAutoInc: {
        const std::optional<long long> value = paradoxInteger(data, field.type == pxfShort ? 2 : 4);
        return value ? QString::number(*value) : QString();
    }
    case pxfNumber:
    case pxfCurrency: {
        const std::optional<double> value = paradoxDouble(data);
        return value ? numberText(*value) : QString();
    }
    case pxfLogical: {
        const std::optional<bool> value = paradoxLogical(data);
        return value ? (*value ? texts::kYes : texts::kNo) : QString();
    }
    case pxfBCD:
        return paradoxBcd(reinterpret_cast<const unsigned char*>(data), field.decimals).value_or(QString());
    case pxfMemoBLOb:
    case pxfFmtMemoBLOb: {
        if (field.length < 10)
            return QString();
        const int leader = field.length - 10;
        const char* pointer = data + leader;
        const qint64 size = le32(pointer + 4);
        QByteArray bytes;
        if (size <= 0) {
            return QString();
        } else if (size <= leader) {
            bytes = QByteArray(data, size);
        } else {
            if (!memos.isOpen()) {
                *error = texts::kMemoUnreadable.arg(field.name, memoName, texts::kMemoFileMissing.arg(memoName));
                return std::nullopt;
            }
            QString why;
            std::optional<QByteArray> read = memos.read(pointer, &why);
            if (!read) {
                *error = texts::kMemoUnreadable.arg(field.name, memoName, why);
                return std::nullopt;
            }
            bytes = *read;
        }
        // A memo may end in the NUL its editor wrote.
        while (bytes.endsWith('\0'))
            bytes.chop(1);
        std::optional<QString> text = decode(bytes, charset);
        if (!text)
            *error = texts::kFieldNotInCodePage.arg(field.name, QString::fromLatin1(charset));
        return text;
    }
    default:
        return QString();
    }
}

bool carriesText(int type)
{
    return type != pxfBLOb && type != pxfOLE && type != pxfGraphic && type != pxfBytes;
}

} // namespace

std::filesystem::path findTableFile(const std::filesystem::path& folder, const std::string& fileName)
{
    const QDir dir(QString::fromStdString(folder.string()));
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden);
    for (const QString& entry : entries)
        if (entry.compare(QString::fromStdString(fileName), Qt::CaseInsensitive) == 0)
            return folder / entry.toStdString();
    return {};
}

bool isParadoxDirectory(const std::filesystem::path& folder)
{
    for (const store::TableDef& def : store::catalogue()) {
        const std::filesystem::path file = findTableFile(folder, def.fileName);
        if (file.empty())
            continue;
        QFile probe(QString::fromStdString(file.string()));
        if (!probe.open(QIODevice::ReadOnly))
            continue;
        const QByteArray head = probe.read(6);
        // Paradox tables start with the record size, the header size and a file type of 0 or 2.
        if (head.size() == 6 && (head.at(4) == 0 || head.at(4) == 2) && le16(head.constData() + 2) >= 0x58)
            return true;
    }
    return false;
}

namespace {

// One table from its open file. `memoPath` is the .MB file beside it (empty: none).
TableSource readParadoxFile(std::FILE* file, long long fileSize, const QString& memoPath,
                            const store::TableDef& target, const std::vector<std::string>& passwords)
{
    TableSource table;
    table.tableName = target.fileName;
    table.locationWord = texts::kRecordWord;
    const auto skip = [&](const QString& reason) {
        table.skipped = true;
        table.skipReason = reason;
        table.records.clear();
        table.problems.clear();
        return table;
    };

    QString why;
    const std::optional<ParadoxLayout> layout = readParadoxLayout(file, fileSize, &why);
    if (!layout)
        return skip(why);
    if (layout->encryption != 0 && !knownPassword(layout->encryption, passwords))
        return skip(texts::kEncrypted);

    const char* charset = codePageName(layout->codePage);
    if (!charset) {
        table.notes.append(texts::kUnknownCodePage.arg(layout->codePage));
        charset = "windows-1250";
    } else {
        table.notes.append(texts::kCodePage.arg(layout->codePage));
    }

    std::vector<SourceField> fields;
    int offset = 0;
    for (const ParadoxField& field : layout->fields) {
        SourceField source;
        source.name = decode(field.name, charset).value_or(QString::fromLatin1(field.name));
        source.type = field.type;
        source.offset = offset;
        source.length = field.length;
        source.decimals = field.decimals;
        offset += field.length;
        fields.push_back(source);
    }

    // Each target field takes the source field of its name.
    std::vector<int> sourceOf(target.fields.size(), -1);
    for (std::size_t t = 0; t < target.fields.size(); ++t) {
        for (std::size_t s = 0; s < fields.size(); ++s)
            if (store::sameName(target.fields[t].name, fields[s].name.toStdString()))
                sourceOf[t] = static_cast<int>(s);
        if (sourceOf[t] < 0)
            table.notes.append(texts::kFieldMissing.arg(QString::fromStdString(target.fields[t].name)));
    }
    for (std::size_t s = 0; s < fields.size(); ++s) {
        if (std::find(sourceOf.begin(), sourceOf.end(), static_cast<int>(s)) != sourceOf.end())
            continue;
        table.notes.append((carriesText(fields[s].type) ? texts::kFieldLeftOut : texts::kFieldKindLeftOut)
                               .arg(fields[s].name));
    }

    // The file was checked: now pxlib reads its index and records. A
    // truncated file is given to it padded with zeros to the end of the
    // first missing block: there its chain ends. (A block pxlib cannot seek
    // to makes it free its index twice.)
    std::rewind(file);
    QByteArray padded;
    File paddedFile;
    if (layout->truncated) {
        if (layout->chainEnd - fileSize > kMaxPadding)
            return skip(texts::kNotParadox.arg(texts::kLayoutChainOutside));
        padded.resize(static_cast<qsizetype>(layout->chainEnd), '\0');
        if (std::fread(padded.data(), 1, static_cast<std::size_t>(fileSize), file) != static_cast<std::size_t>(fileSize))
            return skip(texts::kCannotOpen.arg(QString::fromLocal8Bit(std::strerror(errno))));
        paddedFile.reset(fmemopen(padded.data(), static_cast<std::size_t>(padded.size()), "rb"));
        if (!paddedFile)
            return skip(texts::kCannotOpen.arg(QString::fromLocal8Bit(std::strerror(errno))));
        file = paddedFile.get();
    }
    PxDoc doc(PX_new3(collectMessage, nullptr, nullptr, nullptr, &table.log));
    if (!doc)
        return skip(texts::kNotParadox.arg(texts::kLayoutUnreadable));
    if (PX_open_fp(doc.get(), file) < 0)
        return skip(texts::kNotParadox.arg(texts::kLayoutUnreadable));

    MemoFile memos;
    const QString memoName = QFileInfo(memoPath).fileName();
    if (!memoPath.isEmpty()) {
        QString error;
        memos.open(memoPath, &error);
    }

    std::vector<char> data(static_cast<std::size_t>(layout->recordSize));
    for (int recno = 0; recno < layout->records; ++recno) {
        const int number = recno + 1;
        int deleted = 0;
        pxdatablockinfo_t info{};
        if (!PX_get_record2(doc.get(), recno, data.data(), &deleted, &info)) {
            table.problems.push_back({number, problemAt(number, texts::kRecordUnreadable)});
            continue;
        }
        // pxlib does not notice a short read: a record past the end is a truncated file.
        if (info.recordpos < 0 || info.recordpos + layout->recordSize > fileSize) {
            table.problems.push_back(
                {number, problemAt(number, texts::kTruncated.arg(fileSize).arg(info.recordpos + layout->recordSize))});
            continue;
        }
        if (deleted)
            continue;
        SourceRecord record;
        record.location = number;
        record.fields.resize(target.fields.size());
        QString error;
        bool readable = true;
        for (std::size_t t = 0; t < target.fields.size() && readable; ++t) {
            if (sourceOf[t] < 0)
                continue;
            const SourceField& field = fields[static_cast<std::size_t>(sourceOf[t])];
            std::optional<QString> text =
                fieldText(field, data.data() + field.offset, charset, memos, memoName, &error);
            if (!text)
                readable = false;
            else
                record.fields[t] = *text;
        }
        if (readable)
            table.records.push_back(std::move(record));
        else
            table.problems.push_back({number, problemAt(number, error)});
    }
    // The blocks past the end of a truncated file held records pxlib cannot count.
    if (layout->truncated)
        table.problems.push_back({layout->records + 1, problemAt(layout->records + 1,
                                                                 texts::kTruncated.arg(fileSize).arg(fileSize + 1))});
    return table;
}

} // namespace

TableSource readParadoxTable(const std::filesystem::path& dbFile, const store::TableDef& target,
                             const std::vector<std::string>& passwords)
{
    const QString path = QString::fromStdString(dbFile.string());
    const auto skipped = [&](const QString& reason) {
        TableSource table;
        table.tableName = target.fileName;
        table.locationWord = texts::kRecordWord;
        table.skipped = true;
        table.skipReason = reason;
        return table;
    };
    const QFileInfo info(path);
    if (info.size() > kMaxImportBytes)
        return skipped(texts::kTableTooLarge.arg(info.size() >> 20).arg(kMaxImportBytes >> 20));
    // Read only: an old table on a CD or a folder of someone else's opens all the same.
    const File file(std::fopen(QFile::encodeName(path).constData(), "rb"));
    if (!file)
        return skipped(texts::kCannotOpen.arg(QString::fromLocal8Bit(std::strerror(errno))));
    const QString base = info.completeBaseName();
    const std::filesystem::path memoPath = findTableFile(dbFile.parent_path(), base.toStdString() + ".MB");
    return readParadoxFile(file.get(), info.size(), QString::fromStdString(memoPath.string()), target, passwords);
}

TableSource readParadoxBytes(const QByteArray& bytes, const store::TableDef& target,
                             const std::vector<std::string>& passwords)
{
    QByteArray copy = bytes;
    const File file(fmemopen(copy.data(), static_cast<std::size_t>(copy.size()), "rb"));
    if (!file || copy.isEmpty())
        return readParadoxFile(nullptr, 0, QString(), target, passwords);
    return readParadoxFile(file.get(), copy.size(), QString(), target, passwords);
}

ImportSource readParadoxDirectory(const std::filesystem::path& folder, const std::vector<std::string>& passwords,
                                  const std::function<bool(int, int)>& progress)
{
    ImportSource source;
    std::vector<std::pair<const store::TableDef*, std::filesystem::path>> found;
    for (const store::TableDef& def : store::catalogue()) {
        const std::filesystem::path file = findTableFile(folder, def.fileName);
        if (!file.empty())
            found.emplace_back(&def, file);
    }
    int done = 0;
    for (const auto& [def, file] : found) {
        if (progress && !progress(done, static_cast<int>(found.size())))
            return {};
        source.tables.push_back(readParadoxTable(file, *def, passwords));
        ++done;
    }
    if (progress)
        progress(done, static_cast<int>(found.size()));
    source.description = texts::kParadoxDescription.arg(QString::fromStdString(folder.string()));
    return source;
}

} // namespace interchange
