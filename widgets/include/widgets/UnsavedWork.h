#pragma once

// Work a window holds that is not saved yet: a letter, a record being typed.
// Before the program ends each window's work is settled (saved, or the user
// is asked), and any of them can keep the program running.

#include <QString>

#include <functional>

class QWidget;

namespace store {
class Cursor;
}

namespace widgets {

class UnsavedWork {
public:
    // Each piece of work is known from its making to its end, so that the
    // program's end reaches every window that was made, and none that was not.
    UnsavedWork();
    virtual ~UnsavedWork();
    UnsavedWork(const UnsavedWork&) = delete;
    UnsavedWork& operator=(const UnsavedWork&) = delete;

    // Saves the work or asks the user about it. False keeps the program
    // running: the user chose Cancel, or a save did not happen (its dialog
    // cancelled, or it failed and said why).
    virtual bool settleBeforeQuit() = 0;

    // Settles every window's work in the order the windows were made; true
    // when the program may end. A second call while the first is still
    // asking (a key pressed under its question box) is refused.
    static bool settleAll();
};

// The question for a changed record at the program's end, with its window
// brought forward: Yes runs `save` (true when it saved), No runs `drop`,
// Cancel keeps the program running. True when the program may end.
bool askAboutPendingRecord(QWidget& window, const std::function<bool()>& save, const std::function<void()>& drop);

// Shows the window whose work is asked about, so the user sees what the
// question is about.
void bringForward(QWidget& window);

// A record typed into a window's table and not saved, for a window without
// the record-editing toolbar. What is still typed in a grid cell counts, an
// untouched new record is nothing. A changed one is shown and asked about:
// Yes saves it (a failure says why and keeps the program running), No drops it.
class PendingRecord : public UnsavedWork {
public:
    // `duplicateKeyText` is the window's message for a key that exists.
    PendingRecord(QWidget& window, store::Cursor& table, QString duplicateKeyText = {});
    bool settleBeforeQuit() override;

private:
    QWidget& m_window;
    store::Cursor& m_table;
    QString m_duplicateKeyText;
};

} // namespace widgets
