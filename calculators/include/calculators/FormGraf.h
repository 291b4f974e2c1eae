#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QScrollArea;

namespace store {
class DataSet;
}

namespace calculators {

// "Graf": the weights of the person named at the top as bars, the latest
// leftmost, on a scale of one pixel per kilogram. It reads the records
// window's cursor without moving it, and again only when the records change.
class TFormGraf : public QWidget {
    Q_OBJECT
public:
    explicit TFormGraf(store::DataSet& records, QWidget* parent = nullptr);
    ~TFormGraf() override;

    // Puts the name into the label and shows the window in front.
    void showName(const QString& name);
    QString name() const;
    // "Zpět": empties the name and closes.
    void BitBtnZpetClick();
    QWidget* drawingArea() const { return m_area; }

protected:
    void changeEvent(QEvent* event) override;

private:
    QLabel* LabelJmeno = nullptr;
    QPushButton* BitBtnZpet = nullptr;
    QScrollArea* m_scroll = nullptr;
    QWidget* m_area = nullptr;
};

} // namespace calculators
