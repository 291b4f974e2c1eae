#include "platform/RealServices.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>

#include <gtest/gtest.h>

namespace {

// Work that reports the same step again and again (a long record) must still
// bring its window up after a moment, and its cancel button must stop it: the
// events handled before the window shows leave out only the user's input.
TEST(QtProgress, WindowComesUpDuringUnchangedStepsAndCancels)
{
    QLineEdit owner;
    owner.show();
    platform::QtProgress progress;
    std::unique_ptr<platform::ProgressTask> task = progress.begin(QStringLiteral("Tisk"), &owner);
    auto* dialog = owner.findChild<QProgressDialog*>();
    ASSERT_NE(dialog, nullptr);

    QElapsedTimer elapsed;
    elapsed.start();
    while (!dialog->isVisible() && elapsed.elapsed() < 5000) {
        ASSERT_TRUE(task->setProgress(1, 1000));
        QThread::msleep(35);
    }
    ASSERT_TRUE(dialog->isVisible());
    EXPECT_GE(elapsed.elapsed(), 300) << "shown at once, before its delay";

    auto* cancel = dialog->findChild<QPushButton*>();
    ASSERT_NE(cancel, nullptr);
    cancel->click();
    QThread::msleep(35);
    EXPECT_FALSE(task->setProgress(2, 1000));
}

} // namespace
