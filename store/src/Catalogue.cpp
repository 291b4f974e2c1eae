#include "store/Catalogue.h"

#include "store/CzechText.h"

namespace store {

namespace {

FieldDef text(const char* name, int width)
{
    return FieldDef{name, FieldKind::Text, width, FieldDefault::None};
}

FieldDef field(const char* name, FieldKind kind, FieldDefault defaultValue = FieldDefault::None)
{
    return FieldDef{name, kind, 0, defaultValue};
}

// The main file (the first one listed) is the table's file in the data directory.
TableDef table(std::vector<std::string> files, std::vector<FieldDef> fields,
               std::optional<std::string> primaryKey, std::optional<std::string> secondaryIndex,
               bool isProtected)
{
    TableDef def;
    def.fileName = files.front();
    def.fields = std::move(fields);
    def.primaryKey = std::move(primaryKey);
    def.secondaryIndex = std::move(secondaryIndex);
    def.isProtected = isProtected;
    def.catalogueFiles = std::move(files);
    return def;
}

std::vector<TableDef> buildCatalogue()
{
    constexpr bool kProtected = true;
    constexpr bool kOpen = false;
    std::vector<TableDef> tables;

    tables.push_back(table({"Dat.DB", "Dat.PX"},
                           {text("Příjmení", 40), text("Jméno", 25), text("Adresa", 80),
                            text("Telefon", 30), text("Poznámka", 80)},
                           "Příjmení", std::nullopt, kOpen));

    // The title editor takes at most 35 characters.
    tables.push_back(table({"Datz.DB", "Datz.MB", "Datz.PX"},
                           {text("Název", 35), field("Text", FieldKind::FormattedMemo)}, "Název",
                           std::nullopt, kOpen));

    tables.push_back(table({"Datp.DB", "Datp.PX"},
                           {field("Datum", FieldKind::Date), text("Činnost", 120)}, "Datum",
                           std::nullopt, kOpen));

    // No key: rows stay in the order of the days of a leap year.
    tables.push_back(table({"Svatek.DB", "Svatek.FAM", "Svatek.TV"},
                           {text("Datum", 15), text("Svátek", 80), text("Výročí", 80),
                            field("Číslo", FieldKind::Integer)},
                           std::nullopt, std::nullopt, kProtected));

    tables.push_back(table({"Psc.DB", "Psc.PX", "Psc.XG0", "Psc.YG0"},
                           {text("MÍSTO", 50), text("PSČ", 6), text("TYP", 20)}, "MÍSTO", "PSČ",
                           kProtected));

    tables.push_back(table({"Spzzem.DB", "Spzzem.PX", "Spzzem.XG0", "Spzzem.YG0"},
                           {text("ZEMĚ", 50), text("ZNAČKA", 6)}, "ZEMĚ", "ZNAČKA", kProtected));

    tables.push_back(table({"TelefCR.DB", "TelefCR.PX"},
                           {text("Telefonní obvod", 50), text("Předvolba", 12)}, "Telefonní obvod",
                           std::nullopt, kProtected));

    tables.push_back(table({"TelefSvt.DB", "TelefSvt.PX"},
                           {text("Země", 60), text("Předvolba", 30)}, "Země", std::nullopt,
                           kProtected));

    tables.push_back(
        table({"Vyrob.DB", "Vyrob.MB", "Vyrob.PX"},
              {text("Výrobek", 40), text("Výrobce", 40), text("Číslo výrobku", 30),
               field("Datum koupě", FieldKind::Date), field("Záruka do", FieldKind::Date),
               text("Cena", 20), text("Koupeno kde", 50), text("Umístění", 50),
               text("Adresy opraven", 120), text("Poznámka", 120),
               field("Oprava od", FieldKind::Date), field("Oprava do", FieldKind::Date),
               text("Záruční", 10), field("Záruční opravy", FieldKind::Memo)},
              "Výrobek", std::nullopt, kOpen));

    // The validity rules date a new measurement; the program never writes `Datum`.
    tables.push_back(table({"Data.DB", "Data.FAM", "Data.TV", "Data.VAL"},
                           {text("Jméno", 40), field("Datum", FieldKind::Date, FieldDefault::Today),
                            field("Výška", FieldKind::Integer), field("Váha", FieldKind::Integer),
                            text("Kategorie", 30)},
                           std::nullopt, std::nullopt, kOpen));

    // No key: cities stay in the delivered order.
    tables.push_back(table(
        {"Cas.DB", "Cas.FAM", "Cas.TV"},
        {text("Země", 50), text("Město", 50), text("Směr", 1), field("Posun", FieldKind::Time)},
        std::nullopt, std::nullopt, kProtected));

    // A log entry is dated by the table's default; only the time fields are written.
    tables.push_back(table({"Zaloha.DB", "Zaloha.VAL"},
                           {field("Datum", FieldKind::Date, FieldDefault::Today),
                            field("Čas", FieldKind::Time), field("ČasDisk", FieldKind::Time)},
                           std::nullopt, std::nullopt, kOpen));

    // What the last synchronisation with a CardDAV or CalDAV server left
    // behind, one record per item (and one per collection, with its token):
    // where it lives on the server, its version, the fingerprint of its
    // fields as both sides last agreed, and the server's whole card, whose
    // properties without a field here are written back unchanged.
    tables.push_back(table({"Synchro.DB"},
                           {text("Položka", 40), text("Sbírka", 500), text("Adresa", 500), text("Klíč", 60),
                            text("UID", 250), text("ETag", 250), text("Otisk", 40), text("Stav", 10),
                            text("Token", 500), field("Obsah", FieldKind::Memo)},
                           "Položka", std::nullopt, kOpen));

    return tables;
}

} // namespace

const std::vector<TableDef>& catalogue()
{
    static const std::vector<TableDef> tables = buildCatalogue();
    return tables;
}

const TableDef* findTableDef(const std::string& tableName)
{
    // Selections name a table without its extension ("from Svatek").
    const bool hasExtension = tableName.find('.') != std::string::npos;
    for (const TableDef& def : catalogue()) {
        if (sameName(def.fileName, tableName))
            return &def;
        if (!hasExtension && sameName(def.fileName.substr(0, def.fileName.find('.')), tableName))
            return &def;
    }
    return nullptr;
}

const std::string& dataTablesPassword()
{
    static const std::string password = "pTl";
    return password;
}

} // namespace store
