#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace backup {

// The label's texts use runs of blanks to make the word wrap break their
// lines there; Qt lets blanks hang at a line's end instead, so for showing,
// each run of ten or more blanks becomes a line break (none at the start).
QString labelLines(const QString& text);

// "Nastavení zálohování": the archiver's directory, typed in capitals and
// saved into "Nastavzal.txt". Created once at start-up; modeless.
class TNastavARJForm : public QWidget {
    Q_OBJECT
public:
    explicit TNastavARJForm(QWidget* parent = nullptr);

    void ZalohovaniARJClick(); // the menu item shows the window
    void BitBtnUlozClick();
    void BitBtnZpetClick();

    // The label's text as the program set it (shown with its blank runs as line breaks).
    QString labelText() const { return m_labelText; }

private:
    void setLabel(const QString& text);

    QString m_labelText;
    QLabel* LabelNastavARJ = nullptr;
    QLineEdit* EditNastavARJ = nullptr;
    QPushButton* BitBtnUloz = nullptr;
    QPushButton* BitBtnZpet = nullptr;
};

} // namespace backup
