#pragma once

#include "store/DataSet.h"

#include <QComboBox>

namespace widgets {

class GridModel;

// A look-up box whose list is one field of every record of a data set, in
// the order of its index, read row by row (a million records cost nothing
// up front). Typing the beginning of a value finds the nearest record by the
// index; choosing an entry (a click in the list, or Enter) makes its record
// current and reports the choice.
class DBLookupComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit DBLookupComboBox(QWidget* parent = nullptr);
    // The data set's index must be on the listed field for typing to find.
    void setDataSet(store::DataSet* dataSet);
    store::DataSet* dataSet() const;
    void setDataField(const QString& field);
    GridModel* listModel() const { return m_model; }

signals:
    // The user chose an entry; the data set stands on its record.
    void recordChosen();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void typed(const QString& text);
    void choose(int row);
    GridModel* m_model = nullptr;
};

} // namespace widgets
