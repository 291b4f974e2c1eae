#include "reports/AddressLines.h"

#include "reports/TextPrinter.h"

#include "store/Cursor.h"

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

// Returns the table to its mark, frees it and resumes the display, however the walk ended.
class MarkedWalk {
public:
    explicit MarkedWalk(store::Cursor& table) : m_table(table), m_mark(table.getBookmark())
    {
        m_table.disableControls();
    }
    ~MarkedWalk()
    {
        try {
            m_table.gotoBookmark(m_mark);
        } catch (...) {
        }
        try {
            m_table.freeBookmark(m_mark);
        } catch (...) {
        }
        m_table.enableControls();
    }
    MarkedWalk(const MarkedWalk&) = delete;
    MarkedWalk& operator=(const MarkedWalk&) = delete;

private:
    store::Cursor& m_table;
    store::Bookmark m_mark;
};

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
    MarkedWalk walk(table);
    const std::size_t count = which == AddressLines::AllFields ? lines().size() : lines().size() - 1;
    table.first();
    while (!table.eof()) {
        for (std::size_t i = 0; i < count; ++i)
            out.writeLine(lines()[i].label + QString::fromStdString(table.text(lines()[i].field)));
        out.endLine();
        table.next();
    }
}

} // namespace reports
