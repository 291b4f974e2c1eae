// Where the windows open: centred over the main window the first time, and
// then where the user last left them; never in the corner over the main
// window's menu and toolbar.

#include "AppFixture.h"

#include "widgets/WindowPlacement.h"

#include <QAction>
#include <QApplication>
#include <QScreen>
#include <QSet>
#include <QTest>

namespace apptest {
namespace {

class WindowPlacementTest : public AppFixture {
protected:
    QSet<QWidget*> visibleWindows()
    {
        QSet<QWidget*> shown;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->isVisible() && top != &form())
                shown.insert(top);
        }
        return shown;
    }
    // The window a menu item shows.
    QWidget* open(const char* item)
    {
        const QSet<QWidget*> before = visibleWindows();
        action(item)->trigger();
        const QSet<QWidget*> after = visibleWindows() - before;
        return after.size() == 1 ? *after.begin() : nullptr;
    }
};

// Every window of the menu opens centred over the main window (moved back
// onto the screen where it is larger), and after the user moved it and it
// was hidden, it opens again where it was left.
TEST_F(WindowPlacementTest, WindowsOpenCentredThenWhereLeft)
{
    startWith(standardAddresses());
    const QRect area = form().screen()->availableGeometry();
    const QPoint middle = form().frameGeometry().center();
    for (const char* item : {"TextovyEditor", "OsobniZaznamnik", "Planovac", "JmeninyARodinnaVyroci",
                             "SeznamPristroju", "Vaha", "PostovniSmerovaciCisla", "PoznavaciZnackyZemi",
                             "TelefonniPredvolbyVCR", "MezinarodniTelPredvolby", "CasoveOdchylky",
                             "PrevodyJednotek", "Statistika", "ZalohovaniARJ"}) {
        SCOPED_TRACE(item);
        QWidget* window = open(item);
        ASSERT_NE(window, nullptr);
        const QRect frame = window->frameGeometry();
        if (frame.width() <= area.width()) {
            EXPECT_LE(std::abs(frame.center().x() - middle.x()), 1);
        } else {
            EXPECT_EQ(frame.left(), area.left());
        }
        if (frame.height() <= area.height()) {
            EXPECT_LE(std::abs(frame.center().y() - middle.y()), 1);
        } else {
            EXPECT_EQ(frame.top(), area.top());
        }

        const QPoint left = window->pos() - QPoint(37, 23);
        window->move(left);
        window->hide();
        EXPECT_EQ(open(item), window);
        EXPECT_EQ(window->pos(), left);
        window->hide();
    }
}

// The rule itself, where the screen's edges matter.
TEST(CentredOver, StaysOnTheScreen)
{
    const QRect screen(0, 0, 1280, 1024);
    const struct {
        QRect over;
        QSize frame;
        QPoint topLeft;
    } cases[] = {
        {QRect(0, 0, 1280, 1024), QSize(420, 440), QPoint(429, 291)},
        // A main window near the right edge: the window is moved back onto the screen.
        {QRect(1000, 100, 280, 200), QSize(420, 440), QPoint(860, 0)},
        // Larger than the screen: its top-left corner stays visible.
        {QRect(0, 0, 1280, 1024), QSize(1400, 1100), QPoint(0, 0)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(widgets::centredOver(c.over, c.frame, screen), c.topLeft) << c.over.x();
}

} // namespace
} // namespace apptest
