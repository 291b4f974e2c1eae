#include "DirectorySupport.h"

#include "ToolbarTexts.h"

#include "platform/Platform.h"
#include "store/Cursor.h"

#include <QWidget>

namespace directories {

QString recordCountText(int count)
{
    return QStringLiteral("(%1 záznamů)").arg(count);
}

widgets::RecordToolbarSettings toolButtonEditing(const QString& duplicateMessage, const std::string& keyField)
{
    widgets::RecordToolbarSettings editing;
    editing.insertName = "ToolButtonVloz";
    editing.insertHint = texts::kHintVlozit;
    editing.deleteName = "ToolButtonSmaz";
    editing.deleteHint = texts::kHintSmazat;
    editing.saveName = "ToolButtonPotvrd";
    editing.saveHint = texts::kHintUlozit;
    editing.discardName = "ToolButtonZrus";
    editing.discardHint = texts::kHintNeukladat;
    editing.duplicateMessage = duplicateMessage;
    editing.deleteQuestion = texts::kSmazatZaznam;
    editing.keyField = keyField;
    return editing;
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

} // namespace directories
