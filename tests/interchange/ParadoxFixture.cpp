#include "ParadoxFixture.h"

#include "interchange/TextCodec.h"

#include <QFile>
#include <QStringList>

// pxlib's header declares C functions without saying so.
extern "C" {
#include <paradox.h>
}

#include <cstring>
#include <stdexcept>

namespace paradox_fixture {

namespace {

const char* charsetOf(int codePage)
{
    return codePage == 852 ? "ibm-852" : "windows-1250";
}

void putLe32(char* p, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A memo file as Paradox writes it: a header block, then memos up to 2 KB
// suballocated in blocks of type 3, longer ones in blocks of type 2.
class MemoWriter {
public:
    MemoWriter() : m_bytes(4096, '\0')
    {
        m_bytes[0] = 0;                       // header block
        putLe32(m_bytes.data() + 1, 0);       // (the fields readers look at are not needed)
    }

    // Appends one memo; fills `pointer` (the record's last ten bytes).
    void add(const QByteArray& memo, char* pointer)
    {
        ++m_modification;
        if (memo.size() > 2048) {
            const qint64 start = m_bytes.size();
            const qint64 blocks = (memo.size() + 9 + 4095) / 4096;
            m_bytes.append(QByteArray(blocks * 4096, '\0'));
            char* block = m_bytes.data() + start;
            block[0] = 2;
            block[1] = static_cast<char>(blocks);
            putLe32(block + 3, static_cast<quint32>(memo.size()));
            block[7] = static_cast<char>(m_modification);
            std::memcpy(block + 9, memo.constData(), static_cast<std::size_t>(memo.size()));
            putLe32(pointer, static_cast<quint32>(start) | 0xFF);
        } else {
            const qint64 paragraphs = (memo.size() + 15) / 16;
            if (m_suballocated < 0 || m_nextSlot == 64 || m_nextParagraph + paragraphs > 256) {
                m_suballocated = m_bytes.size();
                m_bytes.append(QByteArray(4096, '\0'));
                m_bytes[m_suballocated] = 3;
                m_bytes[m_suballocated + 1] = 1;
                m_nextSlot = 0;
                m_nextParagraph = 0x15; // after the 12-byte head and 64 five-byte slots
            }
            char* block = m_bytes.data() + m_suballocated;
            char* slot = block + 12 + m_nextSlot * 5;
            slot[0] = static_cast<char>(m_nextParagraph);
            slot[1] = static_cast<char>(paragraphs);
            slot[2] = static_cast<char>(m_modification);
            slot[4] = static_cast<char>(memo.size() % 16 == 0 ? 16 : memo.size() % 16);
            std::memcpy(block + m_nextParagraph * 16, memo.constData(), static_cast<std::size_t>(memo.size()));
            putLe32(pointer, static_cast<quint32>(m_suballocated) | static_cast<quint32>(m_nextSlot));
            ++m_nextSlot;
            m_nextParagraph += static_cast<int>(paragraphs);
        }
        putLe32(pointer + 4, static_cast<quint32>(memo.size()));
        pointer[8] = static_cast<char>(m_modification);
        pointer[9] = 0;
    }

    bool used() const { return m_bytes.size() > 4096; }
    const QByteArray& bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
    qint64 m_suballocated = -1;
    int m_nextSlot = 0;
    int m_nextParagraph = 0;
    int m_modification = 0;
};

long days(const QString& date)
{
    const QStringList parts = date.split(QLatin1Char('.'));
    return PX_GregorianToSdn(parts[2].toInt(), parts[1].toInt(), parts[0].toInt()) - 1721425;
}

long milliseconds(const QString& time)
{
    const QStringList parts = time.split(QLatin1Char(':'));
    return ((parts[0].toLong() * 60 + parts[1].toLong()) * 60 + parts.value(2).toLong()) * 1000;
}

} // namespace

void write(const std::filesystem::path& folder, const std::string& fileName, const Table& table)
{
    const char* charset = charsetOf(table.codePage);
    const std::string path = (folder / fileName).string();
    std::vector<QByteArray> names;
    std::vector<pxfield_t> fields(table.fields.size());
    int recordSize = 0;
    for (std::size_t i = 0; i < table.fields.size(); ++i) {
        names.push_back(interchange::encode(QString::fromUtf8(table.fields[i].name), charset));
        fields[i].px_fname = names.back().data();
        fields[i].px_ftype = static_cast<char>(table.fields[i].type);
        fields[i].px_flen = table.fields[i].length;
        fields[i].px_fdc = 0;
        recordSize += table.fields[i].length;
    }
    pxdoc_t* doc = PX_new();
    // pxlib keeps the field array and frees its names: hand it copies of its own.
    auto* owned = static_cast<pxfield_t*>(doc->malloc(doc, sizeof(pxfield_t) * fields.size(), "fields"));
    for (std::size_t i = 0; i < fields.size(); ++i) {
        owned[i] = fields[i];
        owned[i].px_fname = PX_strdup(doc, names[i].constData());
    }
    if (PX_create_file(doc, owned, static_cast<int>(fields.size()), path.c_str(),
                       table.primaryKeyFields ? pxfFileTypIndexDB : pxfFileTypNonIndexDB) < 0)
        throw std::runtime_error("pxlib cannot create " + path);
    PX_set_value(doc, "codepage", static_cast<float>(table.codePage));
    if (table.primaryKeyFields)
        PX_set_value(doc, "numprimkeys", static_cast<float>(table.primaryKeyFields));
    if (!table.password.empty())
        PX_set_parameter(doc, "password", table.password.c_str());

    MemoWriter memos;
    std::vector<char> record(static_cast<std::size_t>(recordSize));
    for (const std::vector<QString>& row : table.rows) {
        std::fill(record.begin(), record.end(), '\0');
        int offset = 0;
        for (std::size_t i = 0; i < table.fields.size(); ++i) {
            const Field& field = table.fields[i];
            char* data = record.data() + offset;
            offset += field.length;
            const QString value = i < row.size() ? row[i] : QString();
            if (value.isEmpty())
                continue;
            switch (field.type) {
            case pxfAlpha: {
                QByteArray bytes = interchange::encode(value, charset);
                bytes.truncate(field.length);
                PX_put_data_alpha(doc, data, field.length, bytes.data());
                break;
            }
            case pxfDate:
                PX_put_data_long(doc, data, 4, static_cast<int>(days(value)));
                break;
            case pxfTime:
                PX_put_data_long(doc, data, 4, static_cast<int>(milliseconds(value)));
                break;
            case pxfShort:
                PX_put_data_short(doc, data, 2, static_cast<short>(value.toInt()));
                break;
            case pxfLong:
                PX_put_data_long(doc, data, 4, value.toInt());
                break;
            case pxfNumber:
                PX_put_data_double(doc, data, 8, value.toDouble());
                break;
            case pxfMemoBLOb:
            case pxfFmtMemoBLOb: {
                const QByteArray bytes = interchange::encode(value, charset);
                const int leader = field.length - 10;
                std::memcpy(data, bytes.constData(), static_cast<std::size_t>(std::min<qsizetype>(leader, bytes.size())));
                if (bytes.size() > leader)
                    memos.add(bytes, data + leader);
                else
                    putLe32(data + leader + 4, static_cast<quint32>(bytes.size()));
                break;
            }
            default:
                break;
            }
        }
        if (PX_put_record(doc, record.data()) < 0)
            throw std::runtime_error("pxlib cannot write a record of " + path);
    }
    PX_close(doc);
    PX_delete(doc);

    if (memos.used()) {
        const std::string base = fileName.substr(0, fileName.rfind('.'));
        QFile memoFile(QString::fromStdString((folder / (base + ".MB")).string()));
        if (!memoFile.open(QIODevice::WriteOnly) || memoFile.write(memos.bytes()) != memos.bytes().size())
            throw std::runtime_error("cannot write the memo file of " + path);
    }
}

} // namespace paradox_fixture
