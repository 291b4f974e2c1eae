#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace backup {

// "Nastavení zálohování": the archiver's directory, typed in capitals and
// saved into "Nastavzal.txt". Created once at start-up; modeless, centred.
class TNastavARJForm : public QWidget {
    Q_OBJECT
public:
    explicit TNastavARJForm(QWidget* parent = nullptr);

    void ZalohovaniARJClick(); // the menu item shows the window
    void BitBtnUlozClick();
    void BitBtnZpetClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* LabelNastavARJ = nullptr;
    QLineEdit* EditNastavARJ = nullptr;
    QPushButton* BitBtnUloz = nullptr;
    QPushButton* BitBtnZpet = nullptr;
    bool m_centred = false;
};

} // namespace backup
