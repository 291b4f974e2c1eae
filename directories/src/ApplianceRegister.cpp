#include "directories/ApplianceRegister.h"

namespace directories {

namespace {

const QString kJobTitle = QStringLiteral("Seznam přístrojů");

} // namespace

QString repairLine(const QString& from, const QString& to, const QString& warranty)
{
    return from + QStringLiteral(" - ") + to + QStringLiteral("   ") + warranty;
}

QString withRepairLine(const QString& repairs, const QString& line)
{
    if (repairs.isEmpty())
        return line;
    if (repairs.endsWith(QLatin1Char('\n')))
        return repairs + line;
    return repairs + QLatin1Char('\n') + line;
}

const std::vector<reports::LabelledField>& applianceLines()
{
    static const std::vector<reports::LabelledField> lines = {
        {"Výrobek", QStringLiteral("VÝROBEK:       ")},
        {"Výrobce", QStringLiteral("VÝROBCE:       ")},
        {"Číslo výrobku", QStringLiteral("ČÍSLO VÝROBKU: ")},
        {"Datum koupě", QStringLiteral("DATUM KOUPĚ:   ")},
        {"Záruka do", QStringLiteral("ZÁRUKA DO:     ")},
        {"Koupeno kde", QStringLiteral("KOUPENO U:     ")},
        {"Cena", QStringLiteral("CENA:          ")},
        {"Umístění", QStringLiteral("UMÍSTĚNÍ:      ")},
        {"Adresy opraven", QStringLiteral("ADRESY OPRAVEN:")},
        {"Záruční opravy", QStringLiteral("V OPRAVĚ:      ")},
        {"Poznámka", QStringLiteral("Poznámka:      ")},
    };
    return lines;
}

void printAppliances(store::Cursor& table, reports::TextPrinter& out, const QFont& font)
{
    reports::printLabelledLines(table, out, font, kJobTitle, applianceLines());
}

} // namespace directories
