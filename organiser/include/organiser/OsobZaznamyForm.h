#pragma once

#include "sound/TPCSpeaker.h"

#include <QWidget>

#include <memory>

class QPushButton;

namespace store {
class Cursor;
class Database;
} // namespace store
namespace widgets {
class DBLookupList;
class DBMemo;
class DBNavigator;
class DBRichEdit;
class RecordToolbar;
struct RecordEditors;
} // namespace widgets

namespace organiser {

// "Osobní záznamy": a notebook of titled notes with formatted text over
// `Datz.db`, the record-editing toolbar, Enter and Esc in the two editors,
// an alphabetical list of the titles and printing of all notes. Created once
// at start-up; closing only hides it.
class TOsobZaznamyForm : public QWidget {
    Q_OBJECT
public:
    // Opens `Datz.db`; a StoreError passes on and stops start-up.
    explicit TOsobZaznamyForm(store::Database& database, QWidget* parent = nullptr);
    ~TOsobZaznamyForm() override;

    store::Cursor& TableZaznamy() { return *m_table; }
    // The main window's "Osobní záznamník" (F11): visible, on the first record.
    void showOnFirstRecord();

    void SpeedButtonTiskClick();
    // Hides the window; a record that cannot be saved keeps it open.
    void SpeedButtonZpetClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QWidget* createToolbar();
    widgets::RecordEditors editors();
    // Enter in an editor: false when the save failed (the key goes nowhere then).
    bool saveByKey();
    void cancelByKey();

    std::unique_ptr<store::Cursor> m_table;
    std::unique_ptr<widgets::RecordToolbar> m_editing;
    sound::TPCSpeaker m_speaker;
    bool m_shownBefore = false;

    // Controls, named as the user knows them.
    widgets::DBNavigator* DBNavigatorOsobZaz = nullptr;
    QPushButton* SpeedButtonTisk = nullptr;
    QPushButton* SpeedButtonZpet = nullptr;
    widgets::DBMemo* DBMemoNazev = nullptr;
    widgets::DBRichEdit* DBRichEditText = nullptr;
    widgets::DBLookupList* DBLookupListBoxSeznamNazvu = nullptr;
};

} // namespace organiser
