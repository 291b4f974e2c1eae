// The reference programs of screen_probe: the least a Qt program can show.
// They live in a file of their own because the X headers of the probe
// define macros (None, KeyPress, ...) that Qt's headers must not see.
#include "ScreenProbeReferences.h"

#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>

namespace probe {

int runBareWindow(int argc, char** argv)
{
    QApplication application(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Pelmir a telefony"));
    window.showMaximized();
    return QApplication::exec();
}

int runBareLineEdit(int argc, char** argv)
{
    QApplication application(argc, argv);
    QLineEdit edit;
    edit.setWindowTitle(QStringLiteral("Pelmir a telefony"));
    edit.show();
    edit.activateWindow();
    return QApplication::exec();
}

} // namespace probe
