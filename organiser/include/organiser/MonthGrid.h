#pragma once

#include <QDate>
#include <QWidget>

namespace organiser {

// Where the days of a month stand in a grid of six weeks starting on Monday:
// the cell (0..41) of the 1st, and the cell of any day.
int firstCellOfMonth(const QDate& anyDayOfMonth);
// The day in a cell of the date's month; an invalid date for the cells before
// the 1st and after the last day.
QDate dayInCell(const QDate& anyDayOfMonth, int cell);

// The month grid: a heading row with the short weekday names from Monday and
// six rows of seven day cells, the cells outside the month empty and not
// selectable, the calendar's day shown selected. A click on another day, the
// arrow keys (within the month) and Page Up / Page Down (months) change the
// date; changed() follows every change.
class MonthGrid : public QWidget {
    Q_OBJECT
public:
    explicit MonthGrid(QWidget* parent = nullptr);

    QDate date() const { return m_date; }
    // Makes the date the calendar's; changed() only when it differs.
    void setDate(const QDate& date);
    void prevMonth();
    void nextMonth();
    // The rectangle of a cell (0..41) below the heading, for painting and clicks.
    QRect cellRect(int cell) const;

    QSize sizeHint() const override { return {280, 200}; }

signals:
    void changed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QRect headingRect(int column) const;
    QDate m_date;
};

} // namespace organiser
