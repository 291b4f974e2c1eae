#pragma once

#include "sound/TPCSpeaker.h"

#include <QDate>
#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;
class QToolButton;

namespace store {
class Cursor;
class Query;
} // namespace store
namespace widgets {
class DBText;
}

namespace organiser {

class MonthGrid;

// "Výběr data": a month calendar showing the picked date's month as a title
// and the names that have their name day on it. Browsing (from the name-day
// window) only shows; planning (from the planner) also offers OK, which adds
// a planner entry for the picked date. Created once at start-up; closing only hides it.
class TKalendarForm : public QWidget {
    Q_OBJECT
public:
    enum class Use { Browsing, Planning };

    explicit TKalendarForm(QWidget* parent = nullptr);
    ~TKalendarForm() override;

    // The name-day window's selection, whose statement the picker replaces.
    void setNameDayQuery(store::Query* query);
    // The planner's table, which OK inserts into; the planner's hooks hand a
    // cell still being typed to its record before, and show the new entry after.
    void setPlanner(store::Cursor* planner, std::function<void()> beforeNewEntry,
                    std::function<void()> afterNewEntry);

    // Opens the picker on today: the calendar, the title and today's name day;
    // OK is shown only for planning.
    void open(Use use);
    QDate date() const;

    void Calendar1Change();
    void MinMesicSpeedButtonClick();
    void PrisMesicSpeedButtonClick();
    void BitBtnOKClick();
    void BitBtnZpetClick();

private:
    // Looks the picked day up in the name-day table and shows its names.
    void showNameDay(const QDate& day);

    store::Query* m_nameDays = nullptr;
    store::Cursor* m_planner = nullptr;
    std::function<void()> m_beforeNewEntry;
    std::function<void()> m_afterNewEntry;
    sound::TPCSpeaker m_speaker;

    QToolButton* MinMesicSpeedButton = nullptr;
    QLabel* TitleLabel = nullptr;
    QToolButton* PrisMesicSpeedButton = nullptr;
    MonthGrid* Calendar1 = nullptr;
    widgets::DBText* DBTextJmeno = nullptr;
    QPushButton* BitBtnOK = nullptr;
    QPushButton* BitBtnZpet = nullptr;
};

} // namespace organiser
