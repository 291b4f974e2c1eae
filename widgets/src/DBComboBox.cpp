#include "widgets/DBComboBox.h"

#include <QLineEdit>

namespace widgets {

DBComboBox::DBComboBox(QWidget* parent) : QComboBox(parent), m_binding([this] { refresh(); })
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    connect(lineEdit(), &QLineEdit::textEdited, this, &DBComboBox::userChose);
    connect(this, &QComboBox::activated, this, [this](int index) { userChose(itemText(index)); });
}

void DBComboBox::setDataSet(store::DataSet* dataSet)
{
    m_binding.setDataSet(dataSet);
}

void DBComboBox::setDataField(const QString& field)
{
    m_binding.setField(field);
}

void DBComboBox::refresh()
{
    if (m_updating)
        return;
    lineEdit()->setReadOnly(!m_binding.canModify());
    const QString value = m_binding.text();
    if (currentText() == value)
        return;
    m_updating = true;
    setEditText(value);
    m_updating = false;
}

void DBComboBox::userChose(const QString& text)
{
    if (m_updating)
        return;
    m_updating = true;
    const bool written = m_binding.write(text);
    m_updating = false;
    if (!written)
        refresh(); // what could not be written must not stay on screen
}

} // namespace widgets
