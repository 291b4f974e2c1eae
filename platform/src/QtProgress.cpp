#include "platform/RealServices.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProgressDialog>

#include <algorithm>

namespace platform {

namespace {

class QtProgressTask : public ProgressTask {
public:
    QtProgressTask(const QString& title, QWidget* parent)
        : m_dialog(title, QStringLiteral("Zrušit"), 0, kSteps, parent)
    {
        m_dialog.setWindowTitle(title);
        // Wide enough for its title and a file name in the label.
        m_dialog.setMinimumWidth(380);
        m_dialog.setWindowModality(Qt::WindowModal);
        m_dialog.setMinimumDuration(400);
        m_dialog.setAutoClose(false);
        m_dialog.setAutoReset(false);
        m_dialog.setValue(0);
    }

    bool setProgress(qint64 done, qint64 total) override
    {
        // Work reports far more often than a window can repaint: events (the
        // cancel button among them) are handled a few dozen times a second.
        if (m_sinceEvents.isValid() && m_sinceEvents.elapsed() < 30 && done < total)
            return !m_dialog.wasCanceled();
        m_sinceEvents.start();
        const int value = total > 0 ? static_cast<int>(std::min<qint64>(kSteps, done * kSteps / total)) : 0;
        // A modal progress dialog handles the events in setValue once it shows.
        const bool changed = value != m_dialog.value();
        if (changed)
            m_dialog.setValue(value);
        if (!m_dialog.isVisible()) {
            // Until it shows (its first moments) nothing keeps keys and clicks
            // from the window whose work this is: they wait for the dialog or
            // the end of the work, only its timer and repaints run.
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        } else if (!changed) {
            QCoreApplication::processEvents();
        }
        return !m_dialog.wasCanceled();
    }

    void setLabel(const QString& text) override { m_dialog.setLabelText(text); }

private:
    static constexpr int kSteps = 1000;
    QProgressDialog m_dialog;
    QElapsedTimer m_sinceEvents;
};

// Beside a window still in use: the window's own event loop runs, so this
// only moves the bar.
class QtAsideProgressTask : public ProgressTask {
public:
    QtAsideProgressTask(const QString& title, QWidget* parent) : m_dialog(title, QString(), 0, kSteps, parent)
    {
        m_dialog.setWindowTitle(title);
        m_dialog.setMinimumWidth(380);
        m_dialog.setCancelButton(nullptr);
        m_dialog.setWindowModality(Qt::NonModal);
        // Keys typed meanwhile go on to the window they were typed into.
        m_dialog.setAttribute(Qt::WA_ShowWithoutActivating);
        m_dialog.setWindowFlag(Qt::WindowDoesNotAcceptFocus);
        m_dialog.setFocusPolicy(Qt::NoFocus);
        // Shown within a tenth of a second of the wait, painting included.
        m_dialog.setMinimumDuration(50);
        m_dialog.setAutoClose(false);
        m_dialog.setAutoReset(false);
        m_dialog.setValue(0);
    }

    bool setProgress(qint64 done, qint64 total) override
    {
        const int value = total > 0 ? static_cast<int>(std::min<qint64>(kSteps, done * kSteps / total)) : 0;
        if (total <= 0 && m_dialog.maximum() != 0)
            m_dialog.setRange(0, 0); // not counted yet: a busy bar
        else if (total > 0 && m_dialog.maximum() == 0)
            m_dialog.setRange(0, kSteps);
        if (value != m_dialog.value())
            m_dialog.setValue(value);
        return true;
    }

    void setLabel(const QString& text) override { m_dialog.setLabelText(text); }

private:
    static constexpr int kSteps = 1000;
    QProgressDialog m_dialog;
};

} // namespace

std::unique_ptr<ProgressTask> QtProgress::begin(const QString& title, QWidget* parent)
{
    return std::make_unique<QtProgressTask>(title, parent);
}

std::unique_ptr<ProgressTask> QtProgress::beginAside(const QString& title, QWidget* parent)
{
    return std::make_unique<QtAsideProgressTask>(title, parent);
}

} // namespace platform
