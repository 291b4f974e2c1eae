#include "reports/AddressLines.h"

#include "reports/LabelledLines.h"

#include <array>

namespace reports {

namespace {

const QString kJobTitle = QStringLiteral("Adresář");

struct Line {
    const char* field;
    QString label;
};

const std::array<Line, 5>& lines()
{
    static const std::array<Line, 5> all = {{
        {"Příjmení", QStringLiteral("PŘÍJMENÍ:  ")},
        {"Jméno", QStringLiteral("JMÉNO:     ")},
        {"Adresa", QStringLiteral("ADRESA:    ")},
        {"Telefon", QStringLiteral("TELEFON:   ")},
        {"Poznámka", QStringLiteral("POZNÁMKA:  ")},
    }};
    return all;
}

} // namespace

QString addressLabel(int field)
{
    return lines().at(static_cast<std::size_t>(field)).label;
}

void printAddressLines(store::Cursor& table, TextPrinter& out, const QFont& font,
                       AddressLines which)
{
    const std::size_t count = which == AddressLines::AllFields ? lines().size() : lines().size() - 1;
    std::vector<LabelledField> printed;
    for (std::size_t i = 0; i < count; ++i)
        printed.push_back({lines()[i].field, lines()[i].label});
    printLabelledLines(table, out, font, kJobTitle, printed);
}

} // namespace reports
