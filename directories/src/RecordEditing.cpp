#include "RecordEditing.h"

#include "platform/Platform.h"
#include "store/Cursor.h"
#include "store/Errors.h"
#include "widgets/DBGrid.h"

#include <QWidget>

namespace directories {

namespace {

bool isPending(const store::Cursor& table)
{
    return table.state() == store::CursorState::Insert || table.state() == store::CursorState::Edit;
}

} // namespace

SaveOutcome saveFromToolbar(widgets::DBGrid& grid, store::Cursor& table)
{
    grid.commitOpenEditor();
    if (table.state() == store::CursorState::Insert && !table.modified()) {
        table.cancel();
        return SaveOutcome::Saved;
    }
    try {
        table.post();
    } catch (const store::StoreError& error) {
        if (error.kind() == store::StoreError::Kind::KeyViolation)
            return SaveOutcome::Duplicate;
        throw;
    }
    return SaveOutcome::Saved;
}

void endPending(store::Cursor& table)
{
    if (!isPending(table))
        return;
    if (table.modified())
        table.post();
    else
        table.cancel();
}

QString recordCountText(int count)
{
    return QStringLiteral("(%1 záznamů)").arg(count);
}

void setHelpTopic(QWidget* widget, int topic)
{
    widget->setProperty(platform::kHelpTopicProperty, topic);
}

void moveToFirstColumn(widgets::DBGrid& grid)
{
    const QModelIndex current = grid.currentIndex();
    if (current.isValid() && current.column() != 0)
        grid.setCurrentIndex(grid.model()->index(current.row(), 0));
}

} // namespace directories
