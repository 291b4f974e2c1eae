#include "widgets/DBNavigator.h"

#include "widgets/ErrorReport.h"

#include "platform/Platform.h"
#include "store/Cursor.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QPolygonF>
#include <QToolButton>

namespace widgets {

namespace {

// The toolkit navigator's question before its delete button deletes.
const QString kDeleteQuestion = QStringLiteral("Delete record?");

constexpr const char* kNames[DBNavigator::kButtonCount] = {
    "First", "Prior", "Next", "Last", "Insert", "Delete", "Edit", "Post", "Cancel", "Refresh",
};

// The buttons' pictures, drawn here: the desktop's icon theme would be read
// for them (several milliseconds before the first window shows), and most
// themes have no pictures for a record navigator anyway.
QIcon navigatorIcon(DBNavigator::Button button)
{
    constexpr int kSize = 32;
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor ink(40, 40, 40);
    painter.setBrush(ink);
    painter.setPen(QPen(ink, 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const auto triangle = [&](qreal tipX, qreal baseX) {
        painter.drawPolygon(QPolygonF({QPointF(tipX, 16), QPointF(baseX, 7), QPointF(baseX, 25)}));
    };
    using B = DBNavigator::Button;
    switch (button) {
    case B::First:
        painter.drawLine(QPointF(8, 7), QPointF(8, 25));
        triangle(11, 24);
        break;
    case B::Prior:
        triangle(9, 22);
        break;
    case B::Next:
        triangle(23, 10);
        break;
    case B::Last:
        painter.drawLine(QPointF(24, 7), QPointF(24, 25));
        triangle(21, 8);
        break;
    case B::Insert:
        painter.drawLine(QPointF(16, 7), QPointF(16, 25));
        painter.drawLine(QPointF(7, 16), QPointF(25, 16));
        break;
    case B::Delete:
        painter.drawLine(QPointF(7, 16), QPointF(25, 16));
        break;
    case B::Edit:
        painter.drawPolygon(QPolygonF({QPointF(16, 8), QPointF(25, 23), QPointF(7, 23)}));
        break;
    case B::Post:
        painter.setBrush(Qt::NoBrush);
        painter.drawPolyline(QPolygonF({QPointF(7, 17), QPointF(13, 23), QPointF(25, 9)}));
        break;
    case B::Cancel:
        painter.drawLine(QPointF(8, 8), QPointF(24, 24));
        painter.drawLine(QPointF(24, 8), QPointF(8, 24));
        break;
    case B::Refresh:
        painter.setBrush(Qt::NoBrush);
        painter.drawArc(QRectF(7, 7, 18, 18), 90 * 16, 270 * 16);
        painter.setBrush(ink);
        painter.setPen(Qt::NoPen);
        painter.drawPolygon(QPolygonF({QPointF(14, 3), QPointF(21, 7.5), QPointF(14, 12)}));
        break;
    }
    return QIcon(pixmap);
}

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
        tool->setObjectName(QString::fromLatin1(kNames[i]));
        tool->setIcon(navigatorIcon(static_cast<Button>(i)));
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
    return QString::fromLatin1(kNames[indexOf(button)]);
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
    const int rows = active ? m_dataSet->rowCountSoFar() : 0;
    const int row = active ? m_dataSet->currentRow() : -1;
    const bool bof = rows == 0 || row <= 0;
    // While a big table is still being counted there are rows after those known.
    const bool eof = rows == 0 || (row >= rows - 1 && !m_dataSet->countPending());
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
