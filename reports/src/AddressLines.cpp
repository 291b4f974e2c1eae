#include "reports/AddressLines.h"

#include "reports/TextPrinter.h"

#include "store/Cursor.h"
#include "store/MarkedWalk.h"

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
    // The walk's first move would end a pending record anyway; ending it
    // first lets the table return to that record afterwards, and a record
    // that cannot be saved stops before a job is started.
    const store::CursorState state = table.state();
    if (state == store::CursorState::Insert || state == store::CursorState::Edit) {
        if (table.modified())
            table.post();
        else
            table.cancel();
    }
    out.open(kJobTitle);
    out.setFont(font);
    struct CloseJob {
        TextPrinter& out;
        ~CloseJob() { out.close(); }
    } closeJob{out};
    store::MarkedWalk walk(table);
    const std::size_t count = which == AddressLines::AllFields ? lines().size() : lines().size() - 1;
    table.first();
    while (!table.eof()) {
        for (std::size_t i = 0; i < count; ++i)
            out.writeLine(lines()[i].label + QString::fromStdString(table.text(lines()[i].field)));
        out.endLine();
        table.next();
    }
    walk.finish(false);
}

} // namespace reports
