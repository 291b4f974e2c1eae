#include "widgets/WindowPlacement.h"

#include <QDialog>
#include <QEvent>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace widgets {

namespace {

// Set on a window once placed: from then on it stays where the user puts it.
constexpr const char* kPlaced = "pelmirPlaced";

} // namespace

QPoint centredOver(const QRect& over, const QSize& frame, const QRect& area)
{
    QPoint topLeft = over.center() - QPoint(frame.width() / 2, frame.height() / 2);
    if (!area.isValid())
        return topLeft;
    // Inside the free area, its top-left corner first where the window is larger.
    topLeft.setX(std::max(area.left(), std::min(topLeft.x(), area.right() + 1 - frame.width())));
    topLeft.setY(std::max(area.top(), std::min(topLeft.y(), area.bottom() + 1 - frame.height())));
    return topLeft;
}

WindowPlacement::WindowPlacement(QWidget* mainWindow, QObject* parent) : QObject(parent), m_main(mainWindow) {}

bool WindowPlacement::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Show || !watched->isWidgetType() || !m_main)
        return false;
    auto* window = static_cast<QWidget*>(watched);
    // Plain windows only: dialogs, menus, hints and the splash have places of their own.
    if (!window->isWindow() || window == m_main || window->windowType() != Qt::Window ||
        qobject_cast<QDialog*>(window) || window->property(kPlaced).toBool())
        return false;
    window->setProperty(kPlaced, true);
    // Before its first showing a window does not know its frame yet; the
    // main window's frame is the same.
    const QSize frameExtra = m_main->frameGeometry().size() - m_main->size();
    const QScreen* screen = m_main->screen();
    const QRect area = screen ? screen->availableGeometry() : QRect();
    window->move(centredOver(m_main->frameGeometry(), window->size() + frameExtra, area));
    return false;
}

} // namespace widgets
