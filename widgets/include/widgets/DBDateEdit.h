#pragma once

#include "widgets/DataControls.h"

#include <QWidget>

class QCalendarWidget;
class QFrame;
class QLineEdit;
class QToolButton;

namespace widgets {

// A date field of the current record ("d.m.yyyy", empty allowed) with a
// drop-down button that opens a month calendar, Saturdays and Sundays marked.
// Typed text goes into the record when the field is left or Enter is
// pressed, so a half-typed date never reaches it; a text that is no date is
// refused with a warning and stays in the field to be corrected. A day
// chosen in the calendar goes into the record at once.
class DBDateEdit : public QWidget {
    Q_OBJECT
public:
    explicit DBDateEdit(QWidget* parent = nullptr);
    ~DBDateEdit() override;

    void setDataSet(store::DataSet* dataSet);
    store::DataSet* dataSet() const { return m_binding.dataSet(); }
    void setDataField(const QString& field);
    QString dataField() const { return m_binding.field(); }
    void setDropDownHint(const QString& hint);

    QLineEdit* lineEdit() const { return m_edit; }
    QToolButton* dropDownButton() const { return m_dropDown; }
    // The calendar of the drop-down, created when first opened.
    QCalendarWidget* calendar() const { return m_calendar; }
    QString text() const;

    // Writes typed text into the record; false (after a warning) when it is no date.
    bool commit();
    void showCalendar();

private:
    void refresh();
    void chooseDate(const QDate& date);

    FieldBinding m_binding;
    QLineEdit* m_edit = nullptr;
    QToolButton* m_dropDown = nullptr;
    QFrame* m_popup = nullptr;
    QCalendarWidget* m_calendar = nullptr;
};

} // namespace widgets
