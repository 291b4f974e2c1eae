#include "reports/LabelledLines.h"

#include "reports/TextPrinter.h"

#include "store/Cursor.h"
#include "store/MarkedWalk.h"
#include "widgets/WalkProgress.h"

namespace reports {

namespace {
const QString kPrinting = QStringLiteral("Tisknou se záznamy…");
} // namespace

void printLabelledLines(store::Cursor& table, TextPrinter& out, const QFont& font,
                        const QString& jobTitle, const std::vector<LabelledField>& lines)
{
    // The walk's first move would end a pending record anyway; ending it
    // first lets the table return to that record afterwards.
    const store::CursorState state = table.state();
    if (state == store::CursorState::Insert || state == store::CursorState::Edit) {
        if (table.modified())
            table.post();
        else
            table.cancel();
    }
    out.open(jobTitle);
    out.setFont(font);
    struct CloseJob {
        TextPrinter& out;
        ~CloseJob() { out.close(); }
    } closeJob{out};
    // Cancelled, the lines printed so far end the job as usual.
    store::MarkedWalk walk(table, widgets::walkProgress(kPrinting));
    table.first();
    while (!table.eof() && walk.step()) {
        for (const LabelledField& line : lines)
            out.writeLine(line.label + QString::fromStdString(table.text(line.field)));
        out.endLine();
        table.next();
    }
    walk.finish(false);
}

} // namespace reports
