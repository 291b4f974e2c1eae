#include "organiser/NameDayRules.h"

#include "organiser/CzechCalendar.h"

#include "store/Cursor.h"
#include "store/CzechText.h"
#include "store/MarkedWalk.h"

namespace organiser {

std::string nameDayStatement(const QString& key)
{
    return "select * from Svatek where Datum = '" + key.toStdString() + "'";
}

std::string nameSearchStatement(const QString& text)
{
    // The store takes the literal between the fixed parts whole and binds it,
    // so a quote in the text needs no escaping and cannot end the statement.
    return "select * from Svatek where (UPPER(Svatek.'Svátek') LIKE UPPER('%" + text.toStdString() +
           "%'))";
}

NavigationButtons positionOnDay(store::Cursor& table, const QDate& day)
{
    const std::string key = nameDayKeyUpper(day).toStdString();
    bool found = false;
    {
        store::MarkedWalk walk(table);
        table.first();
        while (!table.eof()) {
            if (store::czechUpper(table.text(kFieldDatum)).find(key) != std::string::npos) {
                found = true;
                break;
            }
            table.next();
        }
        walk.finish(found);
    }
    const bool empty = table.rowCount() == 0;
    NavigationButtons buttons;
    buttons.backward = !(empty || (found && table.currentRow() == 0));
    buttons.forward = !empty;
    return buttons;
}

NavigationButtons navigate(store::DataSet& table, NavigationMove move, NavigationButtons buttons)
{
    switch (move) {
    case NavigationMove::First:
        table.first();
        return {false, true};
    case NavigationMove::Last:
        table.last();
        return {true, false};
    case NavigationMove::Back: {
        const int moved = table.moveBy(-kPageRows);
        return {moved == -kPageRows ? buttons.backward : false, true};
    }
    case NavigationMove::Forward: {
        const int moved = table.moveBy(kPageRows);
        return {true, moved == kPageRows ? buttons.forward : false};
    }
    }
    return buttons;
}

} // namespace organiser
