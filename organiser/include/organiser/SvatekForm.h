#pragma once

#include "organiser/NameDayRules.h"

#include "store/DataSet.h"

#include <QWidget>

#include <memory>

class QFrame;
class QLineEdit;
class QPushButton;
class QToolButton;
class QTreeWidget;

namespace store {
class Cursor;
class Database;
class Query;
} // namespace store
namespace widgets {
class PendingRecord;
class DBGrid;
class DBNavigator;
} // namespace widgets

namespace organiser {

class GlyphButton;
class TKalendarForm;
struct ZodiacSign;

// "Jména a výročí": the calendar of name days with the user's anniversaries,
// one row per day of a leap year, edited in place; the zodiac sign of the
// current day, the wedding anniversaries, the name search and printing.
// Created once at start-up; closing only hides it.
class TSvatekForm : public QWidget, private store::DisplayObserver {
    Q_OBJECT
public:
    // Registers the data tables' password and opens `Svatek.db`; a StoreError
    // (missing, damaged or locked file) passes on and stops start-up.
    explicit TSvatekForm(store::Database& database, QWidget* parent = nullptr);
    ~TSvatekForm() override;

    // The start-up step: today's row and the navigation buttons.
    void FormCreate();

    store::Cursor& Table() { return *m_table; }
    // The window's selection, shared with the date picker.
    store::Query& QueryDotaz() { return *m_query; }
    void setDatePicker(TKalendarForm* picker) { m_datePicker = picker; }
    NavigationButtons navigationButtons() const { return m_buttons; }

    void SpeedButtonPrvniClick();
    void SpeedButtonLevyClick();
    void SpeedButtonPravyClick();
    void SpeedButtonPosledniClick();
    void SpeedButtonHledClick();
    void SpeedButtonHledejClick();
    void SpeedButtonZpetClick();
    void SpeedButtonTiskClick();
    void SpeedButtonKalendarClick();
    void BitBtnZverokruhClick();
    void SpeedButtonSvatbyClick();
    void BitBtnZpetClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void displayChanged(store::DisplayChange change) override;

    QWidget* createToolbar();
    QFrame* createSearchPanel();
    void createLists();
    void placeLists();
    void navigate(NavigationMove move);
    void setNavigationButtons(NavigationButtons buttons);
    void showWholeTable();
    void showSearchResult();
    // Enter in the grid saves the row being edited, as the navigator's hint says.
    void saveByEnter();
    // The sign of the current row on the zodiac button.
    void updateSign();
    void showSign(const ZodiacSign& sign);

    std::unique_ptr<store::Cursor> m_table;
    // A record typed and not saved is asked about when the program ends.
    std::unique_ptr<widgets::PendingRecord> m_pending;
    std::unique_ptr<store::Query> m_query;
    TKalendarForm* m_datePicker = nullptr;
    NavigationButtons m_buttons;
    const ZodiacSign* m_shownSign = nullptr;

    // Controls, named as the user knows them.
    widgets::DBGrid* DBGridSvatek = nullptr;
    QFrame* PanelDotaz = nullptr;
    QLineEdit* EditDotaz = nullptr;
    QToolButton* SpeedButtonHledej = nullptr;
    QToolButton* SpeedButtonZpet = nullptr;
    GlyphButton* BitBtnZverokruh = nullptr;
    QToolButton* SpeedButtonPrvni = nullptr;
    QToolButton* SpeedButtonLevy = nullptr;
    QToolButton* SpeedButtonPravy = nullptr;
    QToolButton* SpeedButtonPosledni = nullptr;
    widgets::DBNavigator* DBNavigatorSvatek = nullptr;
    QToolButton* SpeedButtonHled = nullptr;
    QToolButton* SpeedButtonKalendar = nullptr;
    QToolButton* SpeedButtonSvatby = nullptr;
    QPushButton* SpeedButtonTisk = nullptr;
    QPushButton* BitBtnZpet = nullptr;
    QTreeWidget* ListViewZverokruh = nullptr;
    QTreeWidget* ListViewSvatby = nullptr;
};

} // namespace organiser
