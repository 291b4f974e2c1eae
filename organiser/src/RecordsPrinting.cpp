#include "organiser/RecordsPrinting.h"

#include "reports/TextPrinter.h"
#include "richtext/Rtf.h"
#include "store/Cursor.h"
#include "store/MarkedWalk.h"
#include "widgets/WalkProgress.h"

#include <QStringList>

namespace organiser {

namespace {

const QString kJobTitle = QStringLiteral("Osobní záznamy");
const QString kTitleLabel = QStringLiteral("NÁZEV: ");
const QString kTextLabel = QStringLiteral("TEXT:  ");
const QString kPrinting = QStringLiteral("Tisknou se záznamy…");

} // namespace

QStringList recordLines(const QString& title, const QString& storedText)
{
    const QStringList paragraphs = richtext::plainText(storedText).split(u'\n');
    QStringList lines{kTitleLabel + title, kTextLabel + paragraphs.first()};
    lines += paragraphs.mid(1);
    lines << QString();
    return lines;
}

void printRecords(store::Cursor& table, reports::TextPrinter& out, const QFont& font)
{
    // A pending record is ended first, so the walk returns to it and one
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
        reports::TextPrinter& out;
        ~CloseJob() { out.close(); }
    } closeJob{out};
    store::MarkedWalk walk(table, widgets::walkProgress(kPrinting));
    table.first();
    while (!table.eof() && walk.step()) {
        const QStringList lines = recordLines(QString::fromStdString(table.text("Název")),
                                              QString::fromStdString(table.text("Text")));
        for (const QString& line : lines)
            out.writeLine(line);
        table.next();
    }
    walk.finish(false);
}

} // namespace organiser
