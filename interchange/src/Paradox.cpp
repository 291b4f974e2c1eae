#include "interchange/Paradox.h"

#include "interchange/TextCodec.h"

#include "InterchangeTexts.h"
#include "MemoFile.h"

#include "store/Catalogue.h"
#include "store/CzechText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

// pxlib's header declares C functions without saying so.
extern "C" {
#include <paradox.h>
}

#include <cmath>
#include <memory>

// In libpx but not in its header: the check value a password leaves in an
// encrypted table's header.
extern "C" long px_passwd_checksum(const char* password);

namespace interchange {

namespace {

constexpr long kSdnOfDayZero = 1721425; // the day before 1.1.0001, Paradox's day 1

struct PxDocCloser {
    void operator()(pxdoc_t* doc) const
    {
        if (doc->px_stream)
            PX_close(doc);
        PX_delete(doc);
    }
};
using PxDoc = std::unique_ptr<pxdoc_t, PxDocCloser>;

void collectError(pxdoc_t*, int type, const char* message, void* data)
{
    if (type != PX_Warning && data && message)
        static_cast<QStringList*>(data)->append(QString::fromLocal8Bit(message));
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
};

// One field's text; nullopt (with `error`) when it cannot be read.
std::optional<QString> fieldText(pxdoc_t* doc, const SourceField& field, char* data, const char* charset,
                                 MemoFile& memos, const QString& memoName, QString* error)
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
        long value = 0;
        if (PX_get_data_long(doc, data, field.length, &value) <= 0 || value <= 0)
            return QString();
        return dateText(value);
    }
    case pxfTime: {
        long value = 0;
        if (PX_get_data_long(doc, data, field.length, &value) <= 0 || value < 0)
            return QString();
        return timeText(value);
    }
    case pxfTimestamp: {
        double value = 0;
        if (PX_get_data_double(doc, data, field.length, &value) <= 0 || value <= 0)
            return QString();
        const double days = std::floor(value / 86400000.0);
        return dateText(static_cast<long>(days)) + QLatin1Char(' ') +
               timeText(static_cast<long>(value - days * 86400000.0));
    }
    case pxfShort: {
        short value = 0;
        if (PX_get_data_short(doc, data, field.length, &value) <= 0)
            return QString();
        return QString::number(value);
    }
    case pxfLong:
    case pxfAutoInc: {
        long value = 0;
        if (PX_get_data_long(doc, data, field.length, &value) <= 0)
            return QString();
        return QString::number(value);
    }
    case pxfNumber:
    case pxfCurrency: {
        double value = 0;
        if (PX_get_data_double(doc, data, field.length, &value) <= 0)
            return QString();
        return numberText(value);
    }
    case pxfLogical: {
        char value = 0;
        if (PX_get_data_byte(doc, data, field.length, &value) <= 0)
            return QString();
        return value ? texts::kYes : texts::kNo;
    }
    case pxfBCD: {
        char* value = nullptr;
        if (PX_get_data_bcd(doc, reinterpret_cast<unsigned char*>(data), field.length, &value) <= 0 || !value)
            return QString();
        QString text = QString::fromLatin1(value).replace(QLatin1Char('.'), QLatin1Char(','));
        doc->free(doc, value);
        return text;
    }
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

TableSource readParadoxTable(const std::filesystem::path& dbFile, const store::TableDef& target,
                             const std::vector<std::string>& passwords)
{
    TableSource table;
    table.tableName = target.fileName;
    table.locationWord = texts::kRecordWord;
    const QString path = QString::fromStdString(dbFile.string());
    const auto skip = [&](const QString& reason) {
        table.skipped = true;
        table.skipReason = reason;
        table.records.clear();
        table.problems.clear();
        return table;
    };

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return skip(texts::kCannotOpen.arg(file.errorString()));
    const qint64 fileSize = file.size();
    const QByteArray head = file.read(0x10);
    file.close();
    if (head.size() < 0x10)
        return skip(texts::kTruncated.arg(fileSize).arg(0x800));
    const qint64 headerSize = le16(head.constData() + 2);
    if (fileSize < headerSize)
        return skip(texts::kTruncated.arg(fileSize).arg(headerSize));

    QStringList pxErrors;
    PxDoc doc(PX_new3(collectError, nullptr, nullptr, nullptr, &pxErrors));
    if (!doc)
        return skip(texts::kNotParadox.arg(QStringLiteral("pxlib")));
    if (PX_open_file(doc.get(), QFile::encodeName(path).constData()) < 0) {
        // A half-opened document has no stream to close.
        return skip(texts::kNotParadox.arg(pxErrors.join(QStringLiteral("; "))));
    }
    const pxhead_t* header = doc->px_head;
    if (header->px_filetype != pxfFileTypIndexDB && header->px_filetype != pxfFileTypNonIndexDB)
        return skip(texts::kNotParadox.arg(QStringLiteral("file type %1").arg(int(header->px_filetype))));
    if (header->px_encryption != 0 && !knownPassword(header->px_encryption, passwords))
        return skip(texts::kEncrypted);

    const char* charset = codePageName(header->px_doscodepage);
    if (!charset) {
        table.notes.append(texts::kUnknownCodePage.arg(header->px_doscodepage));
        charset = "windows-1250";
    } else {
        table.notes.append(texts::kCodePage.arg(header->px_doscodepage));
    }

    // The fields must tile the record exactly, or every offset below is wrong.
    std::vector<SourceField> fields;
    int offset = 0;
    for (int i = 0; i < header->px_numfields; ++i) {
        const pxfield_t* field = PX_get_field(doc.get(), i);
        if (!field || field->px_flen <= 0)
            return skip(texts::kNotParadox.arg(QStringLiteral("field %1").arg(i + 1)));
        SourceField source;
        source.name = decode(QByteArrayView(field->px_fname ? field->px_fname : ""), charset)
                          .value_or(QString::fromLatin1(field->px_fname ? field->px_fname : ""));
        source.type = field->px_ftype;
        source.offset = offset;
        source.length = field->px_flen;
        offset += field->px_flen;
        fields.push_back(source);
    }
    if (offset != header->px_recordsize || header->px_recordsize <= 0)
        return skip(texts::kNotParadox.arg(QStringLiteral("record size")));

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

    MemoFile memos;
    const QString base = QFileInfo(path).completeBaseName();
    const std::filesystem::path memoPath = findTableFile(dbFile.parent_path(), base.toStdString() + ".MB");
    const QString memoName = base + QStringLiteral(".MB");
    if (!memoPath.empty()) {
        QString error;
        memos.open(QString::fromStdString(memoPath.string()), &error);
    }

    // A damaged header may claim more records than its blocks can hold.
    const int records = std::min(header->px_numrecords, std::max(header->px_theonumrecords, 0));
    std::vector<char> data(static_cast<std::size_t>(header->px_recordsize));
    for (int recno = 0; recno < records; ++recno) {
        const int number = recno + 1;
        int deleted = 0;
        pxdatablockinfo_t info{};
        if (!PX_get_record2(doc.get(), recno, data.data(), &deleted, &info)) {
            table.problems.push_back({number, problemAt(number, texts::kRecordUnreadable)});
            continue;
        }
        // pxlib does not notice a short read: a record past the end is a truncated file.
        if (info.recordpos < 0 || info.recordpos + header->px_recordsize > fileSize) {
            table.problems.push_back(
                {number, problemAt(number, texts::kTruncated.arg(fileSize).arg(info.recordpos + header->px_recordsize))});
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
                fieldText(doc.get(), field, data.data() + field.offset, charset, memos, memoName, &error);
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
    return table;
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
