#pragma once

// The two laid-out reports of the address book. Each is a hidden window,
// created once at start-up after the main window, holding its layout bound
// to the main window's address cursor.

#include "reports/ReportLayout.h"

#include <QWidget>

namespace store {
class DataSet;
}

namespace reports {

// The full report: all five fields of every address.
ReportLayout fullAddressLayout();
// The short report: names with telephone numbers.
ReportLayout shortAddressLayout();

class AddressReportForm : public QWidget {
    Q_OBJECT
public:
    const ReportLayout& layout() const { return m_layout; }
    store::DataSet& table() const { return m_table; }

    // Runs the report: prepares it from the first address to the last (the
    // cursor is left on the last one) and shows the modal preview until the
    // user closes it. Nothing is shown for an empty table. An error is
    // reported in the error box.
    void Preview();

protected:
    AddressReportForm(store::DataSet& table, ReportLayout layout, const QString& caption,
                      const QString& name, QWidget* parent);

private:
    store::DataSet& m_table;
    ReportLayout m_layout;
};

class TReportForm : public AddressReportForm {
    Q_OBJECT
public:
    explicit TReportForm(store::DataSet& table, QWidget* parent = nullptr);
};

class TReport1Form : public AddressReportForm {
    Q_OBJECT
public:
    explicit TReport1Form(store::DataSet& table, QWidget* parent = nullptr);
};

} // namespace reports
