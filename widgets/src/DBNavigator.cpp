#include "widgets/DBNavigator.h"

#include "widgets/ErrorReport.h"

#include "platform/Platform.h"
#include "store/Cursor.h"

#include <QHBoxLayout>
#include <QStyle>
#include <QToolButton>

namespace widgets {

namespace {

// The toolkit navigator's question before its delete button deletes.
const QString kDeleteQuestion = QStringLiteral("Delete record?");

struct ButtonLook {
    const char* name;
    QStyle::StandardPixmap icon;
};

constexpr ButtonLook kLooks[DBNavigator::kButtonCount] = {
    {"First", QStyle::SP_MediaSkipBackward},
    {"Prior", QStyle::SP_ArrowLeft},
    {"Next", QStyle::SP_ArrowRight},
    {"Last", QStyle::SP_MediaSkipForward},
    {"Insert", QStyle::SP_FileDialogNewFolder},
    {"Delete", QStyle::SP_TrashIcon},
    {"Edit", QStyle::SP_FileDialogDetailedView},
    {"Post", QStyle::SP_DialogApplyButton},
    {"Cancel", QStyle::SP_DialogCancelButton},
    {"Refresh", QStyle::SP_BrowserReload},
};

int indexOf(DBNavigator::Button button)
{
    return static_cast<int>(button);
}

} // namespace

DBNavigator::DBNavigator(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int i = 0; i < kButtonCount; ++i) {
        auto* tool = new QToolButton(this);
        tool->setObjectName(QString::fromLatin1(kLooks[i].name));
        tool->setIcon(style()->standardIcon(kLooks[i].icon));
        tool->setAutoRaise(false);
        tool->setFocusPolicy(Qt::NoFocus); // the window gives its grid the focus
        const auto which = static_cast<Button>(i);
        connect(tool, &QToolButton::clicked, this, [this, which] { run(which); });
        layout->addWidget(tool);
        m_buttons[static_cast<std::size_t>(i)] = tool;
    }
    setVisibleButtons({Button::First, Button::Prior, Button::Next, Button::Last});
    updateButtons();
}

DBNavigator::~DBNavigator()
{
    if (m_dataSet)
        m_dataSet->removeObserver(this);
}

QString DBNavigator::objectNameOf(Button button)
{
    return QString::fromLatin1(kLooks[indexOf(button)].name);
}

QAbstractButton* DBNavigator::button(Button button) const
{
    return m_buttons[static_cast<std::size_t>(indexOf(button))];
}

void DBNavigator::setDataSet(store::DataSet* dataSet)
{
    if (dataSet != m_dataSet) {
        if (m_dataSet)
            m_dataSet->removeObserver(this);
        m_dataSet = dataSet;
        if (m_dataSet)
            m_dataSet->addObserver(this);
    }
    updateButtons();
}

void DBNavigator::setVisibleButtons(const QList<Button>& buttons)
{
    for (int i = 0; i < kButtonCount; ++i)
        m_buttons[static_cast<std::size_t>(i)]->setVisible(
            buttons.contains(static_cast<Button>(i)));
}

void DBNavigator::setHint(Button which, const QString& hint)
{
    button(which)->setToolTip(hint);
}

void DBNavigator::displayChanged(store::DisplayChange)
{
    updateButtons();
}

// The position and the state per change: cheap enough for every keystroke.
// The buttons follow where the current record stands, not the begin and end
// flags: the end flag is only set by a move past the last record, so on the
// last row "next" and "last" would stay lit although they cannot move.
void DBNavigator::updateButtons()
{
    const bool active = m_dataSet && m_dataSet->isActive();
    const int rows = active ? m_dataSet->rowCount() : 0;
    const int row = active ? m_dataSet->currentRow() : -1;
    const bool bof = rows == 0 || row <= 0;
    const bool eof = rows == 0 || row >= rows - 1;
    const bool modifiable = active && m_dataSet->canModify();
    const bool pending = active && (m_dataSet->state() == store::CursorState::Edit ||
                                    m_dataSet->state() == store::CursorState::Insert);
    button(Button::First)->setEnabled(!bof);
    button(Button::Prior)->setEnabled(!bof);
    button(Button::Next)->setEnabled(!eof);
    button(Button::Last)->setEnabled(!eof);
    button(Button::Insert)->setEnabled(modifiable);
    button(Button::Delete)->setEnabled(modifiable && rows > 0);
    button(Button::Edit)->setEnabled(modifiable && !pending);
    button(Button::Post)->setEnabled(modifiable && pending);
    button(Button::Cancel)->setEnabled(modifiable && pending);
    button(Button::Refresh)->setEnabled(active);
}

void DBNavigator::run(Button which)
{
    store::DataSet* data = m_dataSet;
    if (!data)
        return;
    auto* cursor = dynamic_cast<store::Cursor*>(data);
    bool ok = true;
    switch (which) {
    case Button::First:
        ok = guarded([&] { data->first(); });
        break;
    case Button::Prior:
        ok = guarded([&] { data->prior(); });
        break;
    case Button::Next:
        ok = guarded([&] { data->next(); });
        break;
    case Button::Last:
        ok = guarded([&] { data->last(); });
        break;
    case Button::Insert:
        ok = cursor && guarded([&] { cursor->insert(); });
        break;
    case Button::Delete: {
        platform::Dialogs* dialogs = platform::services().dialogs;
        if (!cursor || !dialogs || !dialogs->okCancel(kDeleteQuestion))
            return;
        ok = guarded([&] { cursor->remove(); });
        break;
    }
    case Button::Edit:
        ok = cursor && guarded([&] { cursor->edit(); });
        break;
    case Button::Post:
        ok = cursor && guarded([&] { cursor->post(); });
        break;
    case Button::Cancel:
        ok = cursor && guarded([&] { cursor->cancel(); });
        break;
    case Button::Refresh:
        break; // the store shows other cursors' saves at once
    }
    // A move that hits an end changes nothing on display, so refresh here too.
    updateButtons();
    if (ok)
        Q_EMIT clicked(which);
}

} // namespace widgets
