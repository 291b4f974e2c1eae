#include "interchange/ParadoxProcess.h"

#include "interchange/Log.h"
#include "interchange/Paradox.h"
#include "interchange/TextCodec.h"

#include "store/Catalogue.h"

#include "InterchangeTexts.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>

#include <sys/resource.h>

#include <climits>
#include <cstring>
#include <memory>

namespace interchange {

namespace {

// What the reading process writes: frames of a kind byte, a 32-bit
// little-endian length and that many bytes.
enum Kind : char {
    KindTable = 'T',    // a table begins: its catalogue name
    KindNote = 'N',     // a note about the table
    KindRecord = 'R',   // location, field count, then each field's length and UTF-8 text
    KindProblem = 'P',  // location, then the reason
    KindSkipped = 'S',  // the table is not read, and why
    KindLog = 'L',      // what the library said, for the log
    KindProgress = 'G', // tables done, tables in all
    KindEnd = 'E',      // every table was written
};

constexpr quint32 kMaxFrame = 64u << 20; // a memo of the largest size with room to spare
constexpr int kHeadBytes = 5;

void putU32(QByteArray& out, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
}

quint32 getU32(const char* p)
{
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return quint32(u[0]) | quint32(u[1]) << 8 | quint32(u[2]) << 16 | quint32(u[3]) << 24;
}

void putText(QByteArray& out, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    putU32(out, static_cast<quint32>(utf8.size()));
    out.append(utf8);
}

bool writeFrame(std::FILE* out, Kind kind, const QByteArray& payload)
{
    QByteArray frame;
    frame.reserve(payload.size() + kHeadBytes);
    frame.append(kind);
    putU32(frame, static_cast<quint32>(payload.size()));
    frame.append(payload);
    return std::fwrite(frame.constData(), 1, static_cast<std::size_t>(frame.size()), out) ==
           static_cast<std::size_t>(frame.size());
}

QByteArray utf8(const QString& text)
{
    return text.toUtf8();
}

// Reads the payloads of the frames back, every length checked.
class PayloadReader {
public:
    explicit PayloadReader(const QByteArray& bytes) : m_bytes(bytes) {}
    bool u32(quint32* value)
    {
        if (m_bytes.size() - m_at < 4)
            return false;
        *value = getU32(m_bytes.constData() + m_at);
        m_at += 4;
        return true;
    }
    bool text(QString* value)
    {
        quint32 length = 0;
        if (!u32(&length) || length > static_cast<quint32>(m_bytes.size() - m_at))
            return false;
        return rest(value, length);
    }
    bool rest(QString* value, qsizetype length = -1)
    {
        if (length < 0)
            length = m_bytes.size() - m_at;
        const QByteArrayView bytes(m_bytes.constData() + m_at, length);
        if (!isUtf8(bytes))
            return false;
        *value = QString::fromUtf8(bytes);
        m_at += length;
        return true;
    }
    bool atEnd() const { return m_at == m_bytes.size(); }

private:
    const QByteArray& m_bytes;
    qsizetype m_at = 0;
};

QString g_program;
QStringList g_arguments;

} // namespace

void setParadoxReaderCommand(const QString& program, const QStringList& arguments)
{
    g_program = program;
    g_arguments = arguments;
}

int runParadoxReader(const QString& folder, std::FILE* in, std::FILE* out)
{
    std::vector<std::string> passwords;
    char line[256];
    while (std::fgets(line, sizeof line, in)) {
        std::string password(line);
        while (!password.empty() && (password.back() == '\n' || password.back() == '\r'))
            password.pop_back();
        passwords.push_back(password);
    }
    const std::filesystem::path dir(folder.toStdString());
    std::vector<std::pair<const store::TableDef*, std::filesystem::path>> found;
    for (const store::TableDef& def : store::catalogue()) {
        const std::filesystem::path file = findTableFile(dir, def.fileName);
        if (!file.empty())
            found.emplace_back(&def, file);
    }
    const auto progress = [&](int done) {
        QByteArray payload;
        putU32(payload, static_cast<quint32>(done));
        putU32(payload, static_cast<quint32>(found.size()));
        return writeFrame(out, KindProgress, payload) && std::fflush(out) == 0;
    };
    int done = 0;
    for (const auto& [def, file] : found) {
        if (!progress(done))
            return 1;
        const TableSource table = readParadoxTable(file, *def, passwords);
        bool written = writeFrame(out, KindTable, utf8(QString::fromStdString(table.tableName)));
        for (const QString& note : table.notes)
            written = written && writeFrame(out, KindNote, utf8(note));
        for (const QString& message : table.log)
            written = written && writeFrame(out, KindLog, utf8(message));
        if (table.skipped)
            written = written && writeFrame(out, KindSkipped, utf8(table.skipReason));
        // Records and problems in the order of their locations, as read.
        for (const SourceRecord& record : table.records) {
            QByteArray payload;
            putU32(payload, static_cast<quint32>(record.location));
            putU32(payload, static_cast<quint32>(record.fields.size()));
            for (const QString& field : record.fields)
                putText(payload, field);
            written = written && writeFrame(out, KindRecord, payload);
        }
        for (const SourceProblem& problem : table.problems) {
            QByteArray payload;
            putU32(payload, static_cast<quint32>(problem.location));
            payload.append(utf8(problem.message));
            written = written && writeFrame(out, KindProblem, payload);
        }
        if (!written)
            return 1;
        ++done;
    }
    if (!progress(done) || !writeFrame(out, KindEnd, {}) || std::fflush(out) != 0)
        return 1;
    return 0;
}

namespace {

// The frames as they arrive, turned into the tables of an import. Anything
// that does not fit what the reading process writes is malformed.
class SourceBuilder {
public:
    // False when the frame is malformed.
    bool take(char kind, const QByteArray& payload)
    {
        PayloadReader reader(payload);
        switch (kind) {
        case KindTable: {
            QString name;
            if (!reader.rest(&name))
                return false;
            const store::TableDef* def = store::findTableDef(name.toStdString());
            // Each table once, in catalogue order.
            if (!def || (m_lastDef && def <= m_lastDef))
                return false;
            m_lastDef = def;
            TableSource table;
            table.tableName = def->fileName;
            table.locationWord = texts::kRecordWord;
            m_source.tables.push_back(std::move(table));
            return true;
        }
        case KindNote:
        case KindLog:
        case KindSkipped: {
            QString text;
            if (m_source.tables.empty() || !reader.rest(&text))
                return false;
            TableSource& table = m_source.tables.back();
            if (kind == KindNote) {
                table.notes.append(text);
            } else if (kind == KindLog) {
                table.log.append(text);
            } else {
                table.skipped = true;
                table.skipReason = text;
            }
            return true;
        }
        case KindRecord: {
            quint32 location = 0, count = 0;
            if (m_source.tables.empty() || !reader.u32(&location) || !reader.u32(&count) ||
                count != m_lastDef->fields.size() || location > INT_MAX)
                return false;
            SourceRecord record;
            record.location = static_cast<int>(location);
            record.fields.resize(count);
            for (QString& field : record.fields)
                if (!reader.text(&field))
                    return false;
            if (!reader.atEnd())
                return false;
            m_source.tables.back().records.push_back(std::move(record));
            return true;
        }
        case KindProblem: {
            quint32 location = 0;
            SourceProblem problem;
            if (m_source.tables.empty() || !reader.u32(&location) || location > INT_MAX || !reader.rest(&problem.message))
                return false;
            problem.location = static_cast<int>(location);
            m_source.tables.back().problems.push_back(std::move(problem));
            return true;
        }
        case KindProgress: {
            quint32 done = 0, total = 0;
            if (!reader.u32(&done) || !reader.u32(&total) || !reader.atEnd() || done > total)
                return false;
            m_done = static_cast<int>(done);
            m_total = static_cast<int>(total);
            return true;
        }
        case KindEnd:
            m_ended = true;
            return payload.isEmpty();
        default:
            return false;
        }
    }

    bool ended() const { return m_ended; }
    int done() const { return m_done; }
    int total() const { return m_total; }
    ImportSource& source() { return m_source; }

private:
    ImportSource m_source;
    const store::TableDef* m_lastDef = nullptr;
    bool m_ended = false;
    int m_done = 0, m_total = 0;
};

// Limits set in the reading process before it starts.
void limitResources(const ReaderLimits& limits)
{
    const auto set = [](int resource, rlim_t value) {
        rlimit limit{value, value};
        setrlimit(resource, &limit);
    };
#if defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer reserves terabytes of address space for itself.
#else
    set(RLIMIT_AS, static_cast<rlim_t>(limits.addressSpaceBytes));
#endif
    set(RLIMIT_CPU, static_cast<rlim_t>(limits.cpuSeconds));
    set(RLIMIT_CORE, 0);
}

qint64 tableBytes(const QString& folder)
{
    qint64 total = 0;
    const std::filesystem::path dir(folder.toStdString());
    for (const store::TableDef& def : store::catalogue()) {
        const std::filesystem::path file = findTableFile(dir, def.fileName);
        if (file.empty())
            continue;
        total += QFileInfo(QString::fromStdString(file.string())).size();
        const std::string base = file.stem().string();
        const std::filesystem::path memo = findTableFile(dir, base + ".MB");
        if (!memo.empty())
            total += QFileInfo(QString::fromStdString(memo.string())).size();
    }
    return total;
}

} // namespace

std::optional<ImportSource> readParadoxDirectoryApart(const QString& folder, const std::vector<std::string>& passwords,
                                                      const std::function<bool(int, int)>& progress, QString* error,
                                                      const ReaderLimits& limits)
{
    QString ignored;
    QString& why = error ? *error : ignored;
    why.clear();
    const QString program = g_program.isEmpty() ? QCoreApplication::applicationFilePath() : g_program;
    QProcess process;
    process.setProgram(program);
    process.setArguments(g_arguments + QStringList{QStringLiteral("--read-paradox"), folder});
    process.setChildProcessModifier([limits] { limitResources(limits); });
    // A reading process's output is bounded by what it reads: every byte of
    // a table gives at most a few bytes of UTF-8 and framing.
    const qint64 maxOutput = 8 * tableBytes(folder) + (qint64(1) << 20);

    process.start(QIODevice::ReadWrite);
    if (!process.waitForStarted(30000)) {
        why = texts::kReaderNotStarted.arg(folder);
        appendToLog(QStringLiteral("Paradox %1").arg(folder), {program + QStringLiteral(": ") + process.errorString()});
        return std::nullopt;
    }
    for (const std::string& password : passwords) {
        process.write(password.c_str());
        process.write("\n");
    }
    process.closeWriteChannel();

    SourceBuilder builder;
    QByteArray pending;
    QByteArray errors;
    qint64 received = 0;
    bool malformed = false, stopped = false, tooLong = false;
    QElapsedTimer clock;
    clock.start();
    const auto takeFrames = [&] {
        const QByteArray bytes = process.readAllStandardOutput();
        received += bytes.size();
        pending += bytes;
        qsizetype at = 0;
        while (!malformed && pending.size() - at >= kHeadBytes) {
            const quint32 length = getU32(pending.constData() + at + 1);
            if (length > kMaxFrame) {
                malformed = true;
                break;
            }
            if (pending.size() - at - kHeadBytes < static_cast<qsizetype>(length))
                break;
            malformed = !builder.take(pending.at(at), pending.mid(at + kHeadBytes, length));
            at += kHeadBytes + length;
        }
        pending.remove(0, at);
        if (received > maxOutput)
            malformed = true;
        // What the library printed by itself, kept within reason.
        errors += process.readAllStandardError();
        if (errors.size() > (64 << 10))
            errors.truncate(64 << 10);
    };
    while (process.state() != QProcess::NotRunning) {
        process.waitForReadyRead(100);
        takeFrames();
        if (malformed)
            break;
        if (progress && !progress(builder.done(), std::max(builder.total(), 1))) {
            stopped = true;
            break;
        }
        if (clock.elapsed() > limits.wallMilliseconds) {
            tooLong = true;
            break;
        }
    }
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(5000);
    } else {
        takeFrames();
    }

    QStringList log;
    for (const TableSource& table : builder.source().tables)
        for (const QString& line : table.log)
            log.append(QString::fromStdString(table.tableName) + QStringLiteral(": ") + line);
    for (const QByteArray& line : errors.split('\n'))
        if (!line.trimmed().isEmpty())
            log.append(QString::fromLocal8Bit(line.trimmed()));
    const bool crashed = process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0;
    if (stopped) {
        appendToLog(folder, log);
        return std::nullopt;
    }
    if (tooLong) {
        why = texts::kReaderTooLong.arg(folder).arg(limits.wallMilliseconds / 1000);
        log.append(QStringLiteral("the reading process took longer than %1 ms and was ended").arg(limits.wallMilliseconds));
    } else if (malformed || !pending.isEmpty()) {
        why = texts::kReaderFailed.arg(folder);
        log.append(QStringLiteral("the reading process wrote something malformed"));
    } else if (crashed || !builder.ended()) {
        why = texts::kReaderFailed.arg(folder);
        log.append(process.exitStatus() == QProcess::CrashExit
                       ? QStringLiteral("the reading process ended by a signal: %1").arg(process.errorString())
                       : QStringLiteral("the reading process ended with exit code %1").arg(process.exitCode()));
    }
    appendToLog(QStringLiteral("Paradox %1").arg(folder), log);
    if (!why.isEmpty())
        return std::nullopt;
    for (TableSource& table : builder.source().tables)
        table.log.clear();
    ImportSource source = std::move(builder.source());
    source.description = texts::kParadoxDescription.arg(folder);
    if (progress)
        progress(builder.total(), std::max(builder.total(), 1));
    return source;
}

} // namespace interchange
