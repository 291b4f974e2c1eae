// The calculators' windows as the program creates and opens them: menu
// items and keys, help topics, and the windows working together.
#include "AppFixture.h"

#include "calculators/CasyForm.h"
#include "calculators/FormData.h"
#include "calculators/FormGraf.h"
#include "calculators/HlavniForm.h"
#include "calculators/JednotkyForm.h"
#include "store/Cursor.h"
#include "tools/DataDir.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace apptest {
namespace {

class CalculatorWindowsTest : public AppFixture {
protected:
    // The window manager activates a window shown in front; offscreen, the test does.
    static void activate(QWidget* window)
    {
        QApplication::setActiveWindow(window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    }
};

// Ctrl+H, F7 and F9 in the main window open the three windows; F1 in each
// opens its help topic.
TEST_F(CalculatorWindowsTest, KeysOpenTheWindowsAndF1TheirTopics)
{
    startWith({});
    struct Case {
        QKeySequence keys;
        QWidget* window;
        int topic;
    };
    const Case cases[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_H), m_app->hlavniForm(), 13},
        {QKeySequence(Qt::Key_F7), m_app->casyForm(), 3},
        {QKeySequence(Qt::Key_F9), m_app->jednotkyForm(), 9},
    };
    for (const Case& c : cases) {
        ASSERT_NE(c.window, nullptr);
        EXPECT_FALSE(c.window->isVisible());
        QApplication::setActiveWindow(&form());
        QTest::keySequence(&form(), c.keys);
        EXPECT_TRUE(c.window->isVisible()) << c.topic;
        activate(c.window);
        m_fakes.help.clear();
        QWidget* focus = c.window->focusWidget() ? c.window->focusWidget() : c.window;
        QTest::keyClick(focus, Qt::Key_F1);
        EXPECT_EQ(m_fakes.help.topics(), QList<int>{c.topic});
    }
    EXPECT_TRUE(m_app->casyForm()->timer()->isActive());
    for (QWidget* w : {static_cast<QWidget*>(m_app->formData()), static_cast<QWidget*>(m_app->formGraf()),
                       static_cast<QWidget*>(m_app->textForm())}) {
        w->show();
        activate(w);
        m_fakes.help.clear();
        QTest::keyClick(w, Qt::Key_F1);
        EXPECT_EQ(m_fakes.help.topics(), QList<int>{13});
    }
}

// A measurement computed in the calculator goes through "Tab&ulka" into the
// records, and the graph draws it; the windows keep their state when hidden.
TEST_F(CalculatorWindowsTest, CalculatorRecordsAndGraphWorkTogether)
{
    startWith({});
    calculators::THlavniForm& calculator = *m_app->hlavniForm();
    action("Vaha")->trigger();
    calculator.findChild<QLineEdit*>(QStringLiteral("EditVyska"))->setText(QStringLiteral("180"));
    calculator.findChild<QLineEdit*>(QStringLiteral("EditVaha"))->setText(QStringLiteral("80"));
    QTest::mouseClick(calculator.findChild<QPushButton*>(QStringLiteral("BitBtnVypocet")), Qt::LeftButton);
    QTest::mouseClick(calculator.findChild<QPushButton*>(QStringLiteral("BitBtnTabulka")), Qt::LeftButton);
    calculators::TFormData& records = *m_app->formData();
    ASSERT_TRUE(records.isVisible());
    activate(&records);
    QTest::mouseClick(records.findChild<QPushButton*>(QStringLiteral("BitBtnPridat")), Qt::LeftButton);
    typeText(records.findChild<QWidget*>(QStringLiteral("DBGrid")), QStringLiteral("Jana"));
    QTest::mouseClick(records.findChild<QPushButton*>(QStringLiteral("BitBtnUlozit")), Qt::LeftButton);
    EXPECT_EQ(records.Table().recordCount(), 1);
    EXPECT_EQ(records.Table().text("Kategorie"), "NORMÁLNÍ VÁHA");
    QTest::mouseClick(records.findChild<QPushButton*>(QStringLiteral("BitBtnGraf")), Qt::LeftButton);
    EXPECT_TRUE(m_app->formGraf()->isVisible());
    EXPECT_EQ(m_app->formGraf()->name(), QStringLiteral("Jana"));
    EXPECT_TRUE(m_fakes.dialogs.shown().isEmpty());

    calculator.close();
    action("Vaha")->trigger();
    EXPECT_EQ(calculator.heightText(), QStringLiteral("180"));
}

// Without the world time table the program cannot start: it says why (the
// old program ended without a word) and ends, with no window left behind.
TEST_F(CalculatorWindowsTest, MissingWorldTimeTableStopsStartupWithItsError)
{
    tools::makeDataDir(tools::sourceSeedsDir(), workDir());
    ASSERT_TRUE(std::filesystem::remove(workDir() / "Data" / "Cas.DB"));
    m_fakes.paths.setWorkDir(QString::fromStdString(workDir().string()));
    m_app = std::make_unique<app::Application>(workDir());
    EXPECT_FALSE(m_app->start());
    EXPECT_EQ(m_app->mainForm(), nullptr);
    for (QWidget* window : QApplication::topLevelWidgets())
        EXPECT_FALSE(window->inherits("calculators::TCasyForm") || window->inherits("calculators::TFormData"))
            << window->metaObject()->className();
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    EXPECT_EQ(m_fakes.dialogs.lastBox().icon, platform::Icon::Error);
    EXPECT_TRUE(m_fakes.dialogs.lastBox().text.contains(QStringLiteral("Cas.DB"), Qt::CaseInsensitive))
        << m_fakes.dialogs.lastBox().text.toStdString();
}

} // namespace
} // namespace apptest
