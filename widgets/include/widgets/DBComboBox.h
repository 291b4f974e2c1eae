#pragma once

#include "widgets/DataControls.h"

#include <QComboBox>

namespace widgets {

// An editable combo box over a text field: an item chosen from the list, or
// any text typed, goes into the current record at once.
class DBComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit DBComboBox(QWidget* parent = nullptr);

    void setDataSet(store::DataSet* dataSet);
    store::DataSet* dataSet() const { return m_binding.dataSet(); }
    void setDataField(const QString& field);
    QString dataField() const { return m_binding.field(); }

private:
    void refresh();
    void userChose(const QString& text);

    FieldBinding m_binding;
    bool m_updating = false;
};

} // namespace widgets
