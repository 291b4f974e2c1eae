#include "interchange/ImportPlan.h"

#include "store/Catalogue.h"
#include "store/Cursor.h"
#include "store/CzechText.h"
#include "store/Database.h"
#include "store/DateText.h"

#include "InterchangeTexts.h"

#include <QHash>
#include <QSet>

#include <charconv>
#include <cstdint>
#include <memory>

namespace interchange {

namespace {

// Keys compare as the store compares them: blanks at the ends, case and the
// way a letter is composed ("á" or "a" with an accent after it) do not count.
QString normalizedKey(const QString& key)
{
    return QString::fromStdString(
        store::czechUpper(key.trimmed().normalized(QString::NormalizationForm_C).toStdString()));
}

int characterCount(const QString& text)
{
    return static_cast<int>(text.toUcs4().size());
}

QString leftCharacters(const QString& text, int count)
{
    const QList<uint> codePoints = text.toUcs4();
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(codePoints.constData()), count);
}

// Tables without a key whose rows are still one per day or city: an import
// replaces the row of the same day rather than add a second one.
int naturalKey(const store::TableDef& def)
{
    const auto field = [&](const char* name) {
        for (std::size_t i = 0; i < def.fields.size(); ++i)
            if (store::sameName(def.fields[i].name, name))
                return static_cast<int>(i);
        return -1;
    };
    if (def.primaryKey)
        return field(def.primaryKey->c_str());
    if (store::sameName(def.fileName, "Svatek.DB"))
        return field("Datum");
    if (store::sameName(def.fileName, "Cas.DB"))
        return field("Město");
    return -1;
}

bool isInteger(const QString& text)
{
    const std::string digits = text.trimmed().toStdString();
    std::string_view view = digits;
    if (!view.empty() && view.front() == '+')
        view.remove_prefix(1);
    long long value = 0;
    const auto [end, error] = std::from_chars(view.data(), view.data() + view.size(), value);
    return !view.empty() && error == std::errc() && end == view.data() + view.size();
}

// Fits a record to the table's fields: texts to their width (saying so),
// dates, times and numbers checked. Returns the reason when it cannot be stored.
std::optional<QString> fitRecord(const store::TableDef& def, std::vector<QString>& fields, QStringList& warnings)
{
    fields.resize(def.fields.size());
    for (std::size_t i = 0; i < def.fields.size(); ++i) {
        const store::FieldDef& field = def.fields[i];
        QString& value = fields[i];
        const QString name = QString::fromStdString(field.name);
        switch (field.kind) {
        case store::FieldKind::Date:
            value = value.trimmed();
            if (!value.isEmpty() && !store::parseDate(value.toStdString()))
                return texts::kNotDate.arg(name, value);
            break;
        case store::FieldKind::Time:
            value = value.trimmed();
            if (!value.isEmpty() && !store::parseTime(value.toStdString()))
                return texts::kNotTime.arg(name, value);
            break;
        case store::FieldKind::Integer:
            value = value.trimmed();
            if (!value.isEmpty() && !isInteger(value))
                return texts::kNotNumber.arg(name, value);
            break;
        case store::FieldKind::Text:
        case store::FieldKind::Memo:
        case store::FieldKind::FormattedMemo:
            if (field.width > 0) {
                const int length = characterCount(value);
                if (length > field.width) {
                    const QString kept = leftCharacters(value, field.width);
                    warnings.append(texts::kShortened.arg(name).arg(field.width).arg(value.mid(kept.size())));
                    value = kept;
                }
            }
            break;
        }
    }
    return std::nullopt;
}

std::vector<QString> currentFields(const store::Cursor& cursor)
{
    std::vector<QString> fields;
    for (const store::FieldDef& field : cursor.fields())
        fields.push_back(QString::fromStdString(cursor.text(field.name)));
    return fields;
}

// What a table holds under each key, looked up on demand.
class ExistingKeys {
public:
    ExistingKeys(store::Database& database, const store::TableDef& def, int keyField)
        : m_cursor(database, def.fileName), m_keyed(def.primaryKey.has_value()),
          m_textKey(def.fields[static_cast<std::size_t>(keyField)].kind == store::FieldKind::Text),
          m_keyName(def.fields[static_cast<std::size_t>(keyField)].name)
    {
        m_cursor.open();
        if (!m_keyed) {
            // A small table without a key: read once.
            const std::string name = def.fields[static_cast<std::size_t>(keyField)].name;
            for (m_cursor.first(); !m_cursor.eof(); m_cursor.next())
                m_rows.insert(normalizedKey(QString::fromStdString(m_cursor.text(name))),
                              {m_cursor.getBookmark(), currentFields(m_cursor)});
        }
    }

    struct Row {
        store::Bookmark mark;
        std::vector<QString> fields;
    };

    std::optional<Row> find(const QString& key)
    {
        if (!m_keyed) {
            const auto it = m_rows.constFind(normalizedKey(key));
            return it == m_rows.constEnd() ? std::nullopt : std::optional<Row>(*it);
        }
        const std::string text = key.trimmed().toStdString();
        if (!m_textKey) {
            if (!m_cursor.findKey(text))
                return std::nullopt;
            return Row{m_cursor.getBookmark(), currentFields(m_cursor)};
        }
        // The nearest key ignores case; equal when it reads the same in capitals.
        if (m_cursor.recordCount() == 0)
            return std::nullopt;
        m_cursor.findNearest(text);
        if (normalizedKey(QString::fromStdString(m_cursor.text(m_keyName))) != normalizedKey(key))
            return std::nullopt;
        return Row{m_cursor.getBookmark(), currentFields(m_cursor)};
    }

private:
    store::Cursor m_cursor;
    bool m_keyed;
    bool m_textKey;
    std::string m_keyName;
    QHash<QString, Row> m_rows;
};

// "Novák" kept beside a stored Novák: "Novák Jan", or numbered when that is taken too.
QString keepBothKey(const store::TableDef& def, const std::vector<QString>& fields, int keyField,
                    const std::function<bool(const QString&)>& taken)
{
    const int width = def.fields[static_cast<std::size_t>(keyField)].width;
    QString base = fields[static_cast<std::size_t>(keyField)].trimmed();
    const bool addresses = store::sameName(def.fileName, "Dat.DB");
    if (addresses && fields.size() > 1 && !fields[1].trimmed().isEmpty())
        base = base + QLatin1Char(' ') + fields[1].trimmed();
    for (int n = 1; n < 1000; ++n) {
        const QString suffix = n == 1 ? QString() : QStringLiteral(" (%1)").arg(n);
        QString candidate = base;
        if (width > 0 && characterCount(candidate) + characterCount(suffix) > width)
            candidate = leftCharacters(candidate, std::max(0, width - characterCount(suffix))).trimmed();
        candidate += suffix;
        if (candidate != fields[static_cast<std::size_t>(keyField)].trimmed() && !taken(candidate))
            return candidate;
    }
    return QString();
}

TablePlan planTable(store::Database& database, const TableSource& source, qint64& done, qint64 total,
                    const std::function<bool(qint64, qint64)>& progress, bool& stopped)
{
    TablePlan plan;
    plan.tableName = source.tableName;
    plan.locationWord = source.locationWord;
    plan.notes = source.notes;
    plan.skipped = source.skipped;
    plan.skipReason = source.skipReason;
    const store::TableDef* def = store::findTableDef(source.tableName);
    if (source.skipped || !def)
        return plan;
    plan.keyField = naturalKey(*def);
    plan.keepBothAllowed = plan.keyField >= 0 && def->primaryKey &&
                           def->fields[static_cast<std::size_t>(plan.keyField)].kind == store::FieldKind::Text;

    std::optional<ExistingKeys> existing;
    if (plan.keyField >= 0)
        existing.emplace(database, *def, plan.keyField);
    QHash<QString, std::size_t> earlier;  // key -> entry that took it first
    QSet<QString> reserved;               // keys "keep both" has handed out
    const auto taken = [&](const QString& key) {
        const QString normal = normalizedKey(key);
        return earlier.contains(normal) || reserved.contains(normal) || existing->find(key).has_value();
    };

    // Problems and records in the order of their lines.
    std::size_t nextProblem = 0;
    const auto addProblem = [&](const SourceProblem& problem) {
        PlanEntry entry;
        entry.kind = EntryKind::Problem;
        entry.location = problem.location;
        entry.message = problem.message;
        plan.entries.push_back(std::move(entry));
        ++plan.problems;
    };
    for (const SourceRecord& record : source.records) {
        while (nextProblem < source.problems.size() && source.problems[nextProblem].location < record.location)
            addProblem(source.problems[nextProblem++]);
        if ((++done & 0x3FF) == 0 && progress && !progress(done, total)) {
            stopped = true;
            return plan;
        }
        PlanEntry entry;
        entry.location = record.location;
        entry.fields = record.fields;
        // Text comes in composed, as typed text is: a search for "Novák" finds it.
        for (QString& field : entry.fields)
            field = field.normalized(QString::NormalizationForm_C);
        entry.warnings = record.warnings;
        if (const std::optional<QString> reason = fitRecord(*def, entry.fields, entry.warnings)) {
            addProblem({record.location, texts::kAt.arg(source.locationWord).arg(record.location).arg(*reason)});
            continue;
        }
        if (plan.keyField >= 0) {
            const QString key = entry.fields[static_cast<std::size_t>(plan.keyField)].trimmed();
            if (key.isEmpty()) {
                const QString keyName = QString::fromStdString(def->fields[static_cast<std::size_t>(plan.keyField)].name);
                addProblem({record.location, texts::kAt.arg(source.locationWord).arg(record.location)
                                                 .arg(texts::kMissingKey.arg(keyName))});
                continue;
            }
            const QString normal = normalizedKey(key);
            const auto previous = earlier.constFind(normal);
            std::optional<ExistingKeys::Row> stored;
            if (previous != earlier.constEnd()) {
                entry.kind = EntryKind::Conflict;
                entry.withEarlier = true;
                entry.existing = plan.entries[*previous].fields;
            } else if ((stored = existing->find(key))) {
                entry.kind = EntryKind::Conflict;
                entry.existing = stored->fields;
            }
            if (stored)
                entry.existingMark = stored->mark;
            else if (entry.withEarlier)
                entry.existingMark = plan.entries[*previous].existingMark;
            if (entry.kind == EntryKind::Conflict) {
                ++plan.conflicts;
                if (plan.keepBothAllowed) {
                    entry.keepBothKey = keepBothKey(*def, entry.fields, plan.keyField, taken);
                    reserved.insert(normalizedKey(entry.keepBothKey));
                }
            } else {
                ++plan.adds;
                earlier.insert(normal, plan.entries.size());
            }
            if (entry.kind == EntryKind::Conflict && !entry.withEarlier)
                earlier.insert(normal, plan.entries.size());
        } else {
            ++plan.adds;
        }
        plan.entries.push_back(std::move(entry));
    }
    while (nextProblem < source.problems.size())
        addProblem(source.problems[nextProblem++]);
    return plan;
}

std::vector<std::string> fieldTexts(const std::vector<QString>& fields)
{
    std::vector<std::string> result;
    result.reserve(fields.size());
    for (const QString& field : fields)
        result.push_back(field.toStdString());
    return result;
}

} // namespace

int ImportPlan::count(EntryKind kind) const
{
    int n = 0;
    for (const TablePlan& table : tables)
        n += kind == EntryKind::Add ? table.adds : kind == EntryKind::Conflict ? table.conflicts : table.problems;
    return n;
}

void ImportPlan::chooseForAll(Choice choice)
{
    for (TablePlan& table : tables)
        for (PlanEntry& entry : table.entries)
            if (entry.kind == EntryKind::Conflict)
                entry.choice = choice == Choice::KeepBoth && !table.keepBothAllowed ? Choice::Skip : choice;
}

bool PlanEntry::written() const
{
    return kind == EntryKind::Add || (kind == EntryKind::Conflict && choice != Choice::Skip);
}

int ImportPlan::changedValueCount() const
{
    int n = 0;
    for (const TablePlan& table : tables)
        for (const PlanEntry& entry : table.entries)
            if (entry.written())
                n += static_cast<int>(entry.warnings.size());
    return n;
}

QStringList ImportPlan::changedValues() const
{
    QStringList lines;
    for (const TablePlan& table : tables) {
        const QString label = tableLabel(table.tableName);
        for (const PlanEntry& entry : table.entries) {
            if (!entry.written())
                continue;
            const QString key = table.keyField >= 0 && static_cast<std::size_t>(table.keyField) < entry.fields.size()
                                    ? entry.fields[static_cast<std::size_t>(table.keyField)].trimmed()
                                    : QString();
            for (const QString& warning : entry.warnings)
                lines.append(key.isEmpty() ? texts::kChangedValueNoKey.arg(label, table.locationWord)
                                                 .arg(entry.location)
                                                 .arg(warning)
                                           : texts::kChangedValue.arg(label, table.locationWord)
                                                 .arg(entry.location)
                                                 .arg(key, warning));
        }
    }
    return lines;
}

bool ImportPlan::empty() const
{
    return count(EntryKind::Add) == 0 && count(EntryKind::Conflict) == 0;
}

std::optional<ImportPlan> makePlan(store::Database& database, const ImportSource& source,
                                   const std::function<bool(qint64, qint64)>& progress)
{
    ImportPlan plan;
    plan.description = source.description;
    qint64 total = 0, done = 0;
    for (const TableSource& table : source.tables)
        total += static_cast<qint64>(table.records.size());
    for (const TableSource& table : source.tables) {
        bool stopped = false;
        plan.tables.push_back(planTable(database, table, done, total, progress, stopped));
        if (stopped)
            return std::nullopt;
    }
    if (progress)
        progress(total, total);
    return plan;
}

std::vector<TableResult> applyPlan(store::Database& database, const ImportPlan& plan,
                                   const std::function<bool(int, int)>& progress)
{
    const int total = static_cast<int>(plan.tables.size());
    if (progress && !progress(0, total))
        return {};
    // Every table's writes first; then all are written together, or none.
    std::vector<TableResult> results;
    std::vector<std::unique_ptr<store::Cursor>> cursors;
    std::vector<store::Cursor::TableWrites> batches;
    std::vector<std::vector<int>> batchLocations; // of each write, for a failure's message
    std::vector<std::size_t> batchResult;         // the result each batch belongs to
    for (const TablePlan& table : plan.tables) {
        TableResult result;
        result.tableName = table.tableName;
        if (table.skipped) {
            result.failed = true;
            result.error = table.skipReason;
            results.push_back(result);
            continue;
        }
        std::vector<store::Cursor::RecordWrite> writes;
        std::vector<int> locations;
        QHash<QString, std::size_t> writeOfKey;          // key -> its write, for "replace" within the import
        const auto keyOf = [&](const std::vector<QString>& fields) {
            return table.keyField < 0 ? QString() : normalizedKey(fields[static_cast<std::size_t>(table.keyField)]);
        };
        const auto add = [&](const PlanEntry& entry, std::vector<QString> fields,
                             std::optional<store::Bookmark> replaces) {
            if (table.keyField >= 0)
                writeOfKey.insert(keyOf(fields), writes.size());
            writes.push_back({replaces, fieldTexts(fields)});
            locations.push_back(entry.location);
        };
        for (const PlanEntry& entry : table.entries) {
            if (entry.written())
                result.changedValues += static_cast<int>(entry.warnings.size());
            switch (entry.kind) {
            case EntryKind::Problem:
                ++result.unreadable;
                break;
            case EntryKind::Add:
                add(entry, entry.fields, std::nullopt);
                ++result.added;
                break;
            case EntryKind::Conflict:
                if (entry.choice == Choice::Skip) {
                    ++result.skipped;
                } else if (entry.choice == Choice::KeepBoth && !entry.keepBothKey.isEmpty()) {
                    std::vector<QString> fields = entry.fields;
                    fields[static_cast<std::size_t>(table.keyField)] = entry.keepBothKey;
                    add(entry, fields, std::nullopt);
                    ++result.keptBoth;
                } else if (const auto it = writeOfKey.constFind(keyOf(entry.fields)); it != writeOfKey.constEnd()) {
                    // Replaces what this import writes under that key.
                    writes[*it].texts = fieldTexts(entry.fields);
                    locations[*it] = entry.location;
                    ++result.replaced;
                } else {
                    add(entry, entry.fields, entry.existingMark);
                    ++(entry.existingMark ? result.replaced : result.added);
                }
                break;
            }
        }
        if (!writes.empty()) {
            cursors.push_back(std::make_unique<store::Cursor>(database, table.tableName));
            batches.push_back({cursors.back().get(), std::move(writes)});
            batchLocations.push_back(std::move(locations));
            batchResult.push_back(results.size());
        }
        results.push_back(result);
    }
    std::size_t failedBatch = batches.size(), failedAt = SIZE_MAX;
    try {
        for (failedBatch = 0; failedBatch < batches.size(); ++failedBatch)
            batches[failedBatch].cursor->open();
        store::Cursor::writeTogether(batches, &failedBatch, &failedAt);
    } catch (const std::exception& error) {
        // Nothing of the import is written: every table says so, the one at fault why.
        QString why = QString::fromUtf8(error.what());
        std::size_t atFault = failedBatch < batches.size() ? batchResult[failedBatch] : results.size();
        if (failedBatch < batches.size() && failedAt < batchLocations[failedBatch].size())
            why = texts::kWriteFailedAt.arg(plan.tables[atFault].locationWord)
                      .arg(batchLocations[failedBatch][failedAt])
                      .arg(why);
        for (std::size_t r = 0; r < results.size(); ++r) {
            const std::string name = results[r].tableName;
            const QString error = r == atFault ? why : results[r].failed ? results[r].error : texts::kNotWrittenWithOthers;
            results[r] = TableResult{};
            results[r].tableName = name;
            results[r].failed = true;
            results[r].error = error;
        }
    }
    if (progress)
        progress(total, total);
    return results;
}

QString tableLabel(const std::string& tableName)
{
    static const std::vector<std::pair<const char*, const char*>> labels = {
        {"Dat.DB", "Adresář"}, {"Datz.DB", "Osobní záznamník"}, {"Datp.DB", "Plánovač"},
        {"Svatek.DB", "Jmeniny a rodinná výročí"}, {"Psc.DB", "Poštovní směrovací čísla"},
        {"Spzzem.DB", "Poznávací značky zemí"}, {"TelefCR.DB", "Telefonní předvolby v ČR"},
        {"TelefSvt.DB", "Mezinárodní tel. předvolby"}, {"Vyrob.DB", "Seznam přístrojů"},
        {"Data.DB", "Váha"}, {"Cas.DB", "Časové odchylky"}, {"Zaloha.DB", "Statistika záloh"}};
    for (const auto& [name, label] : labels)
        if (store::sameName(name, tableName))
            return QStringLiteral("%1 (%2)").arg(QString::fromUtf8(label), QString::fromStdString(tableName));
    return QString::fromStdString(tableName);
}

QString resultText(const std::vector<TableResult>& results)
{
    QStringList lines;
    for (const TableResult& result : results) {
        if (result.failed)
            lines.append(texts::kResultFailed.arg(tableLabel(result.tableName), result.error));
        else
            lines.append(texts::kResultLine.arg(tableLabel(result.tableName))
                             .arg(result.added)
                             .arg(result.replaced)
                             .arg(result.keptBoth)
                             .arg(result.skipped)
                             .arg(result.unreadable)
                             .arg(result.changedValues));
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace interchange
