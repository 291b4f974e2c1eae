#include "RecordEditing.h"

#include "platform/Platform.h"
#include "store/Cursor.h"
#include "store/Errors.h"
#include "widgets/DBGrid.h"
#include "widgets/ErrorReport.h"

#include <QWidget>

namespace directories {

namespace {

bool isPending(const store::Cursor& table)
{
    return table.state() == store::CursorState::Insert || table.state() == store::CursorState::Edit;
}

} // namespace

std::optional<SaveFailure> saveFromToolbar(widgets::DBGrid& grid, store::Cursor& table,
                                           const QString& duplicateMessage)
{
    grid.endTyping();
    try {
        table.post();
    } catch (const std::exception& error) {
        const auto* storeError = dynamic_cast<const store::StoreError*>(&error);
        return SaveFailure{storeError && storeError->kind() == store::StoreError::Kind::KeyViolation,
                           widgets::saveFailureMessage(error, duplicateMessage)};
    }
    return std::nullopt;
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

void findNearestOrFirst(store::Cursor& table, const std::string& text)
{
    if (text.empty())
        table.first();
    else
        table.findNearest(text);
}

void insertFromToolbar(widgets::DBGrid& grid, store::Cursor& table)
{
    grid.setFocus();
    grid.commitOpenEditor();
    table.insert();
    const QModelIndex current = grid.currentIndex();
    if (current.isValid() && current.column() != 0)
        grid.setCurrentIndex(grid.model()->index(current.row(), 0));
}

} // namespace directories
