#pragma once

#include "sound/TPCSpeaker.h"

#include <QWidget>

#include <memory>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QToolButton;

namespace store {
class Cursor;
class Database;
} // namespace store
namespace widgets {
class PendingRecord;
class DBGrid;
class DBNavigator;
} // namespace widgets

namespace organiser {

class TKalendarForm;

// "Plánovač": dated actions, at most one entry per day, created through the
// date picker and typed into the grid; today's date ticking in the toolbar,
// a text search, deleting and printing. Created once at start-up; closing only hides it.
class TPlanovacForm : public QWidget {
    Q_OBJECT
public:
    // Opens `Datp.db`; a StoreError (missing or damaged file) passes on and stops start-up.
    explicit TPlanovacForm(store::Database& database, QWidget* parent = nullptr);
    ~TPlanovacForm() override;

    store::Cursor& TablePlanovac() { return *m_table; }
    void setDatePicker(TKalendarForm* picker) { m_datePicker = picker; }
    void setNameDayWindow(QWidget* window) { m_nameDayWindow = window; }

    // The main window's menu item: visible, on the first entry.
    void showOnFirstEntry();
    // Hands a cell still being typed to its record, as a toolbar button does.
    void commitOpenEditor();
    // After the date picker added an entry: the planner in front, the cursor in its activity.
    void focusActivity();

    // The clock: "Dnes je " and today's date, every second from start-up.
    void Timer1Timer();
    void SpeedButtonVlozClick();
    void SpeedButtonSmazClick();
    void SpeedButtonHledaniClick();
    void EditHledaniChange();
    void SpeedButtonHledejClick();
    void SpeedButtonDalsiClick();
    void SpeedButtonZzpetClick();
    void SpeedButtonSvatekClick();
    void SpeedButtonTiskClick();
    void SpeedButtonZpetClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* createToolbar();
    QFrame* createSearchPanel();
    // "&Hledej" from the first entry, "&Další" from the one after the current.
    void runTextSearch(bool fromStart);
    void setSearchFound(bool found);

    std::unique_ptr<store::Cursor> m_table;
    // A record typed and not saved is asked about when the program ends.
    std::unique_ptr<widgets::PendingRecord> m_pending;
    sound::TPCSpeaker m_speaker;
    TKalendarForm* m_datePicker = nullptr;
    QWidget* m_nameDayWindow = nullptr;

    // Controls, named as the user knows them.
    QLabel* LabelDat = nullptr;
    widgets::DBNavigator* DBNavigator = nullptr;
    QToolButton* SpeedButtonVloz = nullptr;
    QToolButton* SpeedButtonSmaz = nullptr;
    widgets::DBNavigator* DBNavigator1 = nullptr;
    QToolButton* SpeedButtonHledani = nullptr;
    QToolButton* SpeedButtonSvatek = nullptr;
    QPushButton* SpeedButtonTisk = nullptr;
    QPushButton* SpeedButtonZpet = nullptr;
    QFrame* Panel2 = nullptr;
    QLineEdit* EditHledani = nullptr;
    QToolButton* SpeedButtonHledej = nullptr;
    QToolButton* SpeedButtonDalsi = nullptr;
    QToolButton* SpeedButtonZzpet = nullptr;
    widgets::DBGrid* DBGridPlanovac = nullptr;
    QTimer* Timer1 = nullptr;
};

} // namespace organiser
