#include "organiser/MonthGrid.h"

#include "organiser/CzechCalendar.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace organiser {

namespace {
constexpr int kColumns = 7;
constexpr int kWeeks = 6;
constexpr int kCells = kColumns * kWeeks;
} // namespace

int firstCellOfMonth(const QDate& anyDayOfMonth)
{
    return QDate(anyDayOfMonth.year(), anyDayOfMonth.month(), 1).dayOfWeek() - 1;
}

QDate dayInCell(const QDate& anyDayOfMonth, int cell)
{
    if (!anyDayOfMonth.isValid() || cell < 0 || cell >= kCells)
        return {};
    const int day = cell - firstCellOfMonth(anyDayOfMonth) + 1;
    if (day < 1 || day > anyDayOfMonth.daysInMonth())
        return {};
    return QDate(anyDayOfMonth.year(), anyDayOfMonth.month(), day);
}

MonthGrid::MonthGrid(QWidget* parent) : QWidget(parent), m_date(QDate::currentDate())
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void MonthGrid::setDate(const QDate& date)
{
    if (!date.isValid() || date == m_date)
        return;
    m_date = date;
    update();
    Q_EMIT changed();
}

void MonthGrid::prevMonth()
{
    setDate(shiftMonth(m_date, -1));
}

void MonthGrid::nextMonth()
{
    setDate(shiftMonth(m_date, 1));
}

// The heading and six weeks share the height evenly, the seven days the width.
QRect MonthGrid::headingRect(int column) const
{
    const int x0 = width() * column / kColumns;
    const int x1 = width() * (column + 1) / kColumns;
    return {x0, 0, x1 - x0, height() / (kWeeks + 1)};
}

QRect MonthGrid::cellRect(int cell) const
{
    const int column = cell % kColumns;
    const int row = cell / kColumns + 1;
    const int x0 = width() * column / kColumns;
    const int x1 = width() * (column + 1) / kColumns;
    const int y0 = height() * row / (kWeeks + 1);
    const int y1 = height() * (row + 1) / (kWeeks + 1);
    return {x0, y0, x1 - x0, y1 - y0};
}

void MonthGrid::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QPalette colours = palette();
    painter.fillRect(rect(), colours.color(QPalette::Base));
    painter.setPen(colours.color(QPalette::Mid));

    QFont headingFont = font();
    headingFont.setBold(true);
    for (int column = 0; column < kColumns; ++column) {
        const QRect cell = headingRect(column);
        painter.fillRect(cell, colours.color(QPalette::Button));
        painter.setPen(colours.color(QPalette::Mid));
        painter.drawRect(cell.adjusted(0, 0, -1, -1));
        painter.setFont(headingFont);
        painter.setPen(column >= 5 ? QColor(160, 0, 0) : colours.color(QPalette::ButtonText));
        painter.drawText(cell, Qt::AlignCenter, shortWeekdayName(column + 1));
    }
    painter.setFont(font());
    for (int cell = 0; cell < kCells; ++cell) {
        const QRect box = cellRect(cell);
        const QDate day = dayInCell(m_date, cell);
        painter.setPen(colours.color(QPalette::Mid));
        painter.drawRect(box.adjusted(0, 0, -1, -1));
        if (!day.isValid())
            continue;
        const bool selected = day == m_date;
        if (selected) {
            painter.fillRect(box.adjusted(1, 1, -1, -1), colours.color(QPalette::Highlight));
            painter.setPen(colours.color(QPalette::HighlightedText));
        } else {
            painter.setPen(colours.color(QPalette::Text));
        }
        painter.drawText(box, Qt::AlignCenter, QString::number(day.day()));
        if (selected && hasFocus()) {
            painter.setPen(QPen(colours.color(QPalette::HighlightedText), 1, Qt::DotLine));
            painter.drawRect(box.adjusted(2, 2, -3, -3));
        }
    }
}

void MonthGrid::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    for (int cell = 0; cell < kCells; ++cell) {
        if (cellRect(cell).contains(event->position().toPoint())) {
            const QDate day = dayInCell(m_date, cell);
            // Empty cells cannot be chosen; the selected day changes nothing.
            if (day.isValid())
                setDate(day);
            return;
        }
    }
}

void MonthGrid::keyPressEvent(QKeyEvent* event)
{
    int days = 0;
    switch (event->key()) {
    case Qt::Key_Left:
        days = -1;
        break;
    case Qt::Key_Right:
        days = 1;
        break;
    case Qt::Key_Up:
        days = -7;
        break;
    case Qt::Key_Down:
        days = 7;
        break;
    case Qt::Key_PageUp:
        prevMonth();
        return;
    case Qt::Key_PageDown:
        nextMonth();
        return;
    default:
        return QWidget::keyPressEvent(event);
    }
    // The arrows stay within the month, as the grid shows no other days.
    const QDate target = m_date.addDays(days);
    if (target.month() == m_date.month() && target.year() == m_date.year())
        setDate(target);
}

} // namespace organiser
