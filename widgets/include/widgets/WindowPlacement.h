#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>

class QWidget;

namespace widgets {

// Where a window of `frame` size goes to stand centred over `over`, moved
// back inside `area` (the screen's free part) where it would stick out.
QPoint centredOver(const QRect& over, const QSize& frame, const QRect& area);

// Every window of the program but the main one opens centred over the main
// window the first time it is shown; afterwards it opens where the user last
// left it (a window is only hidden, never closed, so it keeps its place).
// Dialogs and message boxes are left to the toolkit, which centres them over
// their parent. Installed once on the application.
class WindowPlacement : public QObject {
    Q_OBJECT
public:
    explicit WindowPlacement(QWidget* mainWindow, QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_main;
};

} // namespace widgets
