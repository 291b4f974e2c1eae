#pragma once

#include "store/DataSet.h"

#include <QList>
#include <QString>
#include <QWidget>

#include <array>

class QAbstractButton;

namespace widgets {

// The record navigator: buttons that move a data set, enabled like the
// toolkit's navigator (First/Prior off at the beginning, Next/Last at the end).
class DBNavigator : public QWidget, public store::DisplayObserver {
    Q_OBJECT
public:
    enum class Button { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh };
    Q_ENUM(Button)
    static constexpr int kButtonCount = 10;

    explicit DBNavigator(QWidget* parent = nullptr);
    ~DBNavigator() override;

    void setDataSet(store::DataSet* dataSet);
    store::DataSet* dataSet() const { return m_dataSet; }
    // Shows only these buttons (First, Prior, Next, Last by default).
    void setVisibleButtons(const QList<Button>& buttons);
    void setHint(Button button, const QString& hint);
    QAbstractButton* button(Button button) const;
    static QString objectNameOf(Button button);

    void displayChanged(store::DisplayChange change) override;

signals:
    // After the button's action succeeded.
    void clicked(widgets::DBNavigator::Button button);

private:
    void run(Button button);
    void updateButtons();

    store::DataSet* m_dataSet = nullptr;
    std::array<QAbstractButton*, kButtonCount> m_buttons{};
};

} // namespace widgets
