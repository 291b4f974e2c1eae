#pragma once

#include "widgets/UnsavedWork.h"

#include "sound/TPCSpeaker.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <string>

class QToolButton;
class QWidget;

namespace store {
class Cursor;
}

namespace widgets {

class DBGrid;

// How a window's toolbar sounds its actions.
enum class ToolbarSounds {
    // 400 Hz before insert and save, the dropped melody before discard, 90 Hz after a delete.
    Tones,
    // The desktop's simple beep before insert, save and discard, and after a delete.
    Beeps,
};

// What a window's record-editing toolbar is called and how it differs.
struct RecordToolbarSettings {
    // The buttons' object names and hints.
    const char* insertName = "SpeedButtonVloz";
    QString insertHint;
    const char* deleteName = "SpeedButtonSmaz";
    QString deleteHint;
    const char* saveName = "SpeedButtonPotvrd";
    QString saveHint;
    const char* discardName = "SpeedButtonZrus";
    QString discardHint;

    ToolbarSounds sounds = ToolbarSounds::Tones;
    // The delete tone answers the question, whatever the answer.
    bool deleteToneOnNo = false;
    // Save and Discard are on when the window opens (until the first use).
    bool startEditing = false;
    // An edit begun by typing turns Save and Discard on.
    bool editTurnsOn = true;
    // A save that meets a duplicate key drops the record and turns Save and
    // Discard off; by default the record stays as typed to be corrected.
    bool dropDuplicate = false;

    // The window's message for a duplicate key.
    QString duplicateMessage;
    // The delete question: %1 is the current record's `keyField`.
    QString deleteQuestion;
    std::string keyField;
};

// The controls a record is typed into, as the toolbar needs them. Any may be empty.
struct RecordEditors {
    // Insert gives the focus here, where the new record is typed.
    std::function<void()> focusNew;
    // Text still being typed goes into the record; false when it was refused
    // (its control has said why).
    std::function<bool()> commit;
    // Text still being typed is thrown away.
    std::function<void()> drop;
    // After the new record is made (a grid starts it at its first column).
    std::function<void()> afterInsert;
    // Before the Save and Discard buttons act, and after: `done` is false
    // when the save failed and the record stays.
    std::function<void()> beforeButtons;
    std::function<void(bool done)> afterButtons;
};

// The editors of a window whose records are typed into grids: the first is
// where a new record is typed; every grid's open cell is committed or dropped.
RecordEditors gridEditors(DBGrid* typedInto, QList<DBGrid*> alsoShowing = {});

// The record-editing toolbar every editing window shares: Insert, Delete,
// Save and Discard with their tones, enabling and guards, and the end of a
// pending record when the window goes ("Zpět") or the program ends.
//  - An untouched new record is nothing pending: Save, Delete and "Zpět" drop it.
//  - A failed save keeps the record as typed and says why: the window's own
//    message for a duplicate key, the real reason (a locked or full disk,
//    damage) for anything else.
//  - The window stays open on a record that could not be saved.
// The buttons are made here; the window places them in its layout.
class RecordToolbar : public QObject, public UnsavedWork {
    Q_OBJECT
public:
    RecordToolbar(QWidget* window, store::Cursor& table, RecordToolbarSettings settings,
                  RecordEditors editors = {});
    ~RecordToolbar() override;

    // For a window that makes its editors after its toolbar.
    void setEditors(RecordEditors editors) { m_editors = std::move(editors); }

    QToolButton* insertButton() const { return m_insert; }
    QToolButton* deleteButton() const { return m_delete; }
    QToolButton* saveButton() const { return m_save; }
    QToolButton* discardButton() const { return m_discard; }
    QList<QToolButton*> buttons() const { return {m_insert, m_delete, m_save, m_discard}; }

    // The buttons' actions.
    void insert();
    void remove();
    void save();
    void discard();

    // Save and Discard, on or off together.
    void setEditing(bool on);
    bool editing() const;

    // Saves a changed pending record without a tone or the buttons changing
    // (Enter in an editor); an untouched new one is dropped. False when the
    // save failed: the message is shown and the record stays as typed.
    bool saveQuietly();
    // Before the window goes ("Zpět"): the same, so that no record is left
    // pending behind a hidden window; false keeps the window open on it.
    bool finishBeforeLeaving() { return saveQuietly(); }
    // Whether a changed record waits to be saved (an untouched new one does not).
    bool hasPending() const;
    // The program is ending: a changed record is shown and asked about; Yes
    // saves it (a failed save keeps the program running), No drops it.
    bool settleBeforeQuit() override;

private:
    // Typed text into the record and an untouched new record dropped, as the
    // grid losing the focus would do; false when typed text was refused.
    bool finishTyping();
    // Saves; on failure shows why and returns false.
    bool post(bool dropDuplicate);
    enum class Action { Insert, Save, Discard, Delete };
    void play(Action action);

    QWidget* m_window;
    store::Cursor& m_table;
    RecordToolbarSettings m_settings;
    RecordEditors m_editors;
    sound::TPCSpeaker m_speaker;
    int m_afterEdit = 0;
    QToolButton* m_insert = nullptr;
    QToolButton* m_delete = nullptr;
    QToolButton* m_save = nullptr;
    QToolButton* m_discard = nullptr;
};

} // namespace widgets
