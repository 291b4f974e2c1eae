#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class QTimer;
class QWidget;

namespace platform {
class ProgressTask;
}

namespace store {
class Cursor;
}

namespace widgets {

// Runs work that needs a big table's whole key list (a nearest-key search)
// without freezing the window. While the table still reads its list in the
// background, the rest is read here a share at a time between the window's
// events: keys typed meanwhile are echoed at once and the window repaints,
// and a progress window beside it (which takes neither the focus nor the
// keys) shows how far the read is when it takes more than a moment. The
// work runs once the list is whole; work asked for meanwhile replaces work
// not yet run, so a search typed letter by letter runs once, for the text
// as it stands then.
class KeyListReader : public QObject {
    Q_OBJECT
public:
    // `window` parents the progress window, which `label` names.
    KeyListReader(QWidget* window, QString label);
    ~KeyListReader() override;

    // Runs `work` now when the cursor's key list is whole (or failed: the
    // work then meets the failure), else once it is.
    void whenRead(store::Cursor& cursor, std::function<void()> work);
    bool reading() const { return m_cursor != nullptr; }
    // Drops work not yet run (the cursor closes, the window goes).
    void cancel();

private:
    void readShare();

    QWidget* m_window;
    QString m_label;
    QTimer* m_timer;
    store::Cursor* m_cursor = nullptr;
    std::function<void()> m_work;
    std::unique_ptr<platform::ProgressTask> m_progress;
};

} // namespace widgets
