#include "directories/PostalImport.h"

#include "store/Catalogue.h"
#include "store/CzechText.h"
#include "store/Errors.h"
#include "store/MarkedWalk.h"

#include <QLocale>

#include <map>
#include <set>
#include <unordered_map>

namespace directories {

namespace {

const char* const kTable = "Psc.DB";
const char* const kPlaceField = "MÍSTO";
const char* const kCodeField = "PSČ";
const char* const kTypeField = "TYP";
constexpr int kShownExamples = 8;

// Header names by role, as headerKey() reduces them, the likeliest first.
// The post's list names a part of a municipality (NAZCOBCE) besides the
// municipality (NAZOBCE); the part is the place, the municipality tells
// apart parts of one name.
const std::vector<QStringList>& roleKeys()
{
    static const std::vector<QStringList> keys = {
        {"nazcobce", "nazevcastiobce", "castobce", "misto", "nazevmista", "mista", "obec", "nazevobce",
         "nazobce", "lokalita", "nazev"},
        {"psc", "postovnismerovacicislo", "smerovacicislo", "kodpsc"},
        {"typ", "typmista"},
        {"nazobce", "nazevobce", "obec"},
        {"nazokresu", "nazevokresu", "okres"},
        {"nazpost", "nazevposty", "posta", "dodaciposta"},
    };
    return keys;
}

QString message(int line, const QString& text)
{
    return QStringLiteral("Řádek %1: %2").arg(line).arg(text);
}

// Blanks of any kind at the ends go, runs of them inside become one blank.
QString tidy(const QString& text)
{
    return text.normalized(QString::NormalizationForm_C).simplified();
}

// Places match as the table's key matches them: letter case aside.
std::string placeKey(const QString& place)
{
    return store::czechUpper(tidy(place).toStdString());
}

int fieldWidth(const char* field)
{
    const store::TableDef* def = store::findTableDef(kTable);
    if (def) {
        for (const store::FieldDef& f : def->fields) {
            if (store::sameName(f.name, field))
                return f.width;
        }
    }
    return 0;
}

int characters(const QString& text)
{
    return static_cast<int>(text.toStdU32String().size());
}

// One line of the file, checked.
struct FileRow {
    int line = 0;
    QString place;
    QString code;
    QString type;
    QStringList context; // municipality, district, post office (empty when the file has none)
};

QString cell(const CsvRow& row, int column)
{
    return column >= 0 && column < row.fields.size() ? tidy(row.fields[column]) : QString();
}

std::vector<FileRow> checkedRows(const CsvDocument& document, const PostalColumns& columns)
{
    std::vector<FileRow> rows;
    rows.reserve(document.rows.size());
    const int needed = std::max(columns.place, columns.code) + 1;
    for (const CsvRow& row : document.rows) {
        if (row.fields.size() < needed) {
            const int missing = row.fields.size() <= columns.place ? columns.place : columns.code;
            throw CsvError(row.line, message(row.line, QStringLiteral("řádek má jen %1 polí, chybí mu sloupec „%2“.")
                                                           .arg(row.fields.size())
                                                           .arg(document.header.value(missing))));
        }
        FileRow checked;
        checked.line = row.line;
        checked.place = cell(row, columns.place);
        if (checked.place.isEmpty())
            throw CsvError(row.line, message(row.line, QStringLiteral("chybí název místa.")));
        const QString code = cell(row, columns.code);
        const std::optional<QString> normalised = normalisedPostalCode(code);
        if (!normalised)
            throw CsvError(row.line, message(row.line, QStringLiteral("PSČ „%1“ u místa „%2“ nemá pět číslic.")
                                                           .arg(code, checked.place)));
        checked.code = *normalised;
        checked.type = cell(row, columns.type);
        for (int column : {columns.municipality, columns.district, columns.postOffice})
            checked.context.append(cell(row, column));
        rows.push_back(std::move(checked));
    }
    return rows;
}

// The ways to tell apart places of one name, as indexes into FileRow::context:
// the district, then municipality and district, then all three. Only those
// the file has columns for.
std::vector<std::vector<int>> qualifierLevels(const PostalColumns& columns)
{
    const bool municipality = columns.municipality >= 0;
    const bool district = columns.district >= 0;
    const bool postOffice = columns.postOffice >= 0;
    std::vector<std::vector<int>> levels;
    const auto add = [&](std::vector<int> level) {
        if (!level.empty() && (levels.empty() || levels.back() != level))
            levels.push_back(std::move(level));
    };
    if (district)
        add({1});
    std::vector<int> second;
    if (municipality)
        second.push_back(0);
    if (district)
        second.push_back(1);
    add(second);
    std::vector<int> third = second;
    if (postOffice)
        third.push_back(2);
    add(third);
    return levels;
}

QString qualifiedName(const FileRow& row, const std::vector<int>& level)
{
    QStringList parts;
    for (int i : level) {
        const QString& part = row.context[static_cast<std::size_t>(i)];
        if (!part.isEmpty() && !parts.contains(part))
            parts.append(part);
    }
    return parts.isEmpty() ? row.place : row.place + QStringLiteral(" (") + parts.join(QStringLiteral(", ")) + QLatin1Char(')');
}

struct PlannedEntry {
    int line = 0;
    QString place;
    QString code;
    QString type;
};

[[noreturn]] void twoCodes(const FileRow& first, const FileRow& second, const QString& place, bool canQualify)
{
    QString text = QStringLiteral("místo „%1“ je v souboru už na řádku %2 s jiným PSČ (%3, zde %4)")
                       .arg(place)
                       .arg(first.line)
                       .arg(first.code, second.code);
    text += canQualify ? QStringLiteral(" a ani okres, obec nebo pošta je neodliší.")
                       : QStringLiteral("; soubor nemá sloupec s okresem nebo obcí, kterým by se odlišila.");
    throw CsvError(second.line, message(second.line, text));
}

// The rows of one name with two or more codes, each named so that one name
// has one code. Rows whose code is the stored place's keep the bare name.
std::vector<PlannedEntry> qualifyGroup(const std::vector<const FileRow*>& group, const StoredPlace* stored,
                                       const std::vector<std::vector<int>>& levels)
{
    if (levels.empty()) {
        for (const FileRow* row : group) {
            if (row->code != group.front()->code)
                twoCodes(*group.front(), *row, row->place, false);
        }
    }
    const std::vector<int> bare;
    const FileRow* conflictFirst = nullptr;
    const FileRow* conflictSecond = nullptr;
    for (const std::vector<int>& level : levels) {
        std::vector<PlannedEntry> entries;
        std::map<std::string, const FileRow*> byName;
        bool clash = false;
        for (const FileRow* row : group) {
            const bool keepsName = stored && row->code == stored->code;
            const QString name = keepsName ? row->place : qualifiedName(*row, level);
            auto [it, added] = byName.emplace(placeKey(name), row);
            if (added) {
                entries.push_back({row->line, name, row->code, row->type});
            } else if (it->second->code != row->code) {
                clash = true;
                conflictFirst = it->second;
                conflictSecond = row;
                break;
            }
        }
        if (!clash)
            return entries;
    }
    twoCodes(*conflictFirst, *conflictSecond, conflictSecond->place, true);
}

QString formatCount(qsizetype count)
{
    return QLocale(QLocale::Czech).toString(count);
}

} // namespace

PostalColumns recognisePostalColumns(const QStringList& header)
{
    const std::vector<int> found = matchColumns(header, roleKeys());
    PostalColumns columns;
    columns.place = found[0];
    columns.code = found[1];
    columns.type = found[2];
    columns.municipality = found[3];
    columns.district = found[4];
    columns.postOffice = found[5];
    return columns;
}

std::optional<QString> normalisedPostalCode(const QString& text)
{
    QString digits;
    for (const QChar c : text) {
        if (c.isSpace())
            continue;
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        digits.append(c);
    }
    if (digits.size() != 5)
        return std::nullopt;
    return digits.left(3) + QLatin1Char(' ') + digits.mid(3);
}

std::vector<StoredPlace> readStoredPlaces(store::Cursor& table)
{
    std::vector<StoredPlace> places;
    places.reserve(static_cast<std::size_t>(table.recordCount()));
    store::MarkedWalk walk(table);
    for (table.first(); !table.eof(); table.next()) {
        places.push_back({QString::fromStdString(table.text(kPlaceField)), QString::fromStdString(table.text(kCodeField)),
                          QString::fromStdString(table.text(kTypeField)), table.getBookmark()});
    }
    walk.finish(false);
    return places;
}

PostalImportPlan planPostalImport(const CsvDocument& document, const PostalColumns& columns,
                                  const std::vector<StoredPlace>& stored)
{
    if (!columns.complete())
        throw CsvError(0, QStringLiteral("Soubor nemá sloupec s názvem místa a sloupec s PSČ."));
    const std::vector<FileRow> rows = checkedRows(document, columns);

    std::unordered_map<std::string, const StoredPlace*> storedByKey;
    for (const StoredPlace& place : stored)
        storedByKey.emplace(placeKey(place.place), &place);

    // Rows by name, in the order the names first appear.
    std::vector<std::string> order;
    std::unordered_map<std::string, std::vector<const FileRow*>> groups;
    for (const FileRow& row : rows) {
        const std::string key = placeKey(row.place);
        auto [it, added] = groups.try_emplace(key);
        if (added)
            order.push_back(key);
        it->second.push_back(&row);
    }

    PostalImportPlan plan;
    const std::vector<std::vector<int>> levels = qualifierLevels(columns);
    std::vector<PlannedEntry> entries;
    for (const std::string& key : order) {
        const std::vector<const FileRow*>& group = groups[key];
        const bool oneCode = std::all_of(group.begin(), group.end(),
                                         [&](const FileRow* row) { return row->code == group.front()->code; });
        if (oneCode) {
            const FileRow& first = *group.front();
            entries.push_back({first.line, first.place, first.code, first.type});
            continue;
        }
        const auto found = storedByKey.find(key);
        std::vector<PlannedEntry> named =
            qualifyGroup(group, found == storedByKey.end() ? nullptr : found->second, levels);
        plan.qualifiedPlaces += static_cast<int>(std::count_if(
            named.begin(), named.end(), [&](const PlannedEntry& e) { return placeKey(e.place) != key; }));
        entries.insert(entries.end(), named.begin(), named.end());
    }

    // One entry per name over the whole file; a qualified name may meet a
    // place that carries that name already.
    const int placeWidth = fieldWidth(kPlaceField);
    const int typeWidth = fieldWidth(kTypeField);
    std::unordered_map<std::string, const PlannedEntry*> byName;
    std::set<const StoredPlace*> matched;
    for (const PlannedEntry& entry : entries) {
        const std::string key = placeKey(entry.place);
        if (auto [it, added] = byName.emplace(key, &entry); !added) {
            if (it->second->code != entry.code)
                throw CsvError(entry.line, message(entry.line, QStringLiteral("místo „%1“ je v souboru už na řádku %2 "
                                                                              "s jiným PSČ (%3, zde %4).")
                                                                   .arg(entry.place)
                                                                   .arg(it->second->line)
                                                                   .arg(it->second->code, entry.code)));
            continue;
        }
        if (placeWidth > 0 && characters(entry.place) > placeWidth)
            throw CsvError(entry.line, message(entry.line, QStringLiteral("název místa „%1“ je delší než %2 znaků.")
                                                               .arg(entry.place)
                                                               .arg(placeWidth)));
        if (typeWidth > 0 && characters(entry.type) > typeWidth)
            throw CsvError(entry.line, message(entry.line, QStringLiteral("typ „%1“ je delší než %2 znaků.")
                                                               .arg(entry.type)
                                                               .arg(typeWidth)));
        const auto found = storedByKey.find(key);
        if (found == storedByKey.end()) {
            plan.additions.push_back({entry.line, entry.place, entry.code, entry.type});
            continue;
        }
        const StoredPlace& place = *found->second;
        matched.insert(&place);
        const QString newType = columns.type >= 0 ? entry.type : place.type;
        if (place.code == entry.code && place.type == newType) {
            ++plan.unchanged;
            continue;
        }
        plan.changes.push_back({entry.line, place.place, place.code, entry.code, place.type, newType, place.mark});
    }
    plan.repeatedLines = static_cast<int>(rows.size()) - static_cast<int>(byName.size());
    plan.onlyInTable = static_cast<int>(stored.size() - matched.size());
    return plan;
}

void applyPostalImport(store::Cursor& table, const PostalImportPlan& plan)
{
    std::vector<store::Cursor::RecordWrite> writes;
    std::vector<int> lines;
    writes.reserve(plan.changes.size() + plan.additions.size());
    for (const PostalImportPlan::Change& change : plan.changes) {
        writes.push_back({change.mark, {change.place.toStdString(), change.newCode.toStdString(), change.newType.toStdString()}});
        lines.push_back(change.line);
    }
    for (const PostalImportPlan::Addition& addition : plan.additions) {
        writes.push_back({std::nullopt, {addition.place.toStdString(), addition.code.toStdString(), addition.type.toStdString()}});
        lines.push_back(addition.line);
    }
    std::size_t failedAt = writes.size();
    try {
        table.writeRecords(writes, &failedAt);
    } catch (const store::StoreError& error) {
        const QString reason = QString::fromUtf8(error.what());
        if (failedAt < lines.size())
            throw CsvError(lines[failedAt], message(lines[failedAt], QStringLiteral("záznam nelze uložit: ") + reason));
        throw CsvError(0, QStringLiteral("Tabulku nelze uložit: ") + reason);
    }
}

QString importPreviewText(const PostalImportPlan& plan, const CsvDocument& document, const QString& fileName)
{
    QStringList lines;
    const auto rows = static_cast<long long>(document.rows.size());
    lines << store::czechPlural(rows, QStringLiteral("Soubor „%1“ (%2, oddělovač „%3“, %4 řádek s místy):"),
                                QStringLiteral("Soubor „%1“ (%2, oddělovač „%3“, %4 řádky s místy):"),
                                QStringLiteral("Soubor „%1“ (%2, oddělovač „%3“, %4 řádků s místy):"))
                 .arg(fileName, encodingName(document.encoding),
                      document.separator == QLatin1Char('\t') ? QStringLiteral("tabulátor") : QString(document.separator),
                      formatCount(static_cast<qsizetype>(document.rows.size())));
    lines << QString();
    lines << QStringLiteral("Přidat nová místa: %1").arg(formatCount(static_cast<qsizetype>(plan.additions.size())));
    lines << QStringLiteral("Změnit PSČ nebo typ: %1").arg(formatCount(static_cast<qsizetype>(plan.changes.size())));
    lines << QStringLiteral("Beze změny: %1").arg(formatCount(plan.unchanged));
    lines << QStringLiteral("Jen v tabulce, zůstanou: %1").arg(formatCount(plan.onlyInTable));
    if (plan.repeatedLines > 0)
        lines << QStringLiteral("Opakované řádky (sloučí se): %1").arg(formatCount(plan.repeatedLines));
    if (plan.qualifiedPlaces > 0)
        lines << QStringLiteral("Místa téhož jména odlišená okresem, obcí nebo poštou: %1")
                     .arg(formatCount(plan.qualifiedPlaces));
    if (!plan.changes.empty()) {
        lines << QString() << QStringLiteral("Změny:");
        for (std::size_t i = 0; i < plan.changes.size() && i < kShownExamples; ++i) {
            const PostalImportPlan::Change& change = plan.changes[i];
            QString line = QStringLiteral("  %1: %2 → %3").arg(change.place, change.oldCode, change.newCode);
            if (change.oldType != change.newType)
                line += QStringLiteral(", typ „%1“ → „%2“").arg(change.oldType, change.newType);
            lines << line;
        }
        if (plan.changes.size() > kShownExamples)
            lines << QStringLiteral("  … a dalších %1").arg(formatCount(static_cast<qsizetype>(plan.changes.size() - kShownExamples)));
    }
    if (!plan.additions.empty()) {
        lines << QString() << QStringLiteral("Nová místa:");
        for (std::size_t i = 0; i < plan.additions.size() && i < kShownExamples; ++i)
            lines << QStringLiteral("  %1: %2").arg(plan.additions[i].place, plan.additions[i].code);
        if (plan.additions.size() > kShownExamples)
            lines << QStringLiteral("  … a dalších %1").arg(formatCount(static_cast<qsizetype>(plan.additions.size() - kShownExamples)));
    }
    lines << QString() << QStringLiteral("Uložit tyto změny do tabulky PSČ?");
    return lines.join(QLatin1Char('\n'));
}

QString importResultText(const PostalImportPlan& plan)
{
    return QStringLiteral("Seznam PSČ je načten. Přidáno: %1, změněno: %2, beze změny: %3.")
        .arg(formatCount(static_cast<qsizetype>(plan.additions.size())),
             formatCount(static_cast<qsizetype>(plan.changes.size())), formatCount(plan.unchanged));
}

} // namespace directories
