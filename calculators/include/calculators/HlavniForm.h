#pragma once

#include <QWidget>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

namespace calculators {

// "Index tělesné hmotnosti BMI ": a height and a weight in whole numbers give
// the weight category, its health risk, a body-shape picture and the weight
// limits of every category for that height.
class THlavniForm : public QWidget {
    Q_OBJECT
public:
    explicit THlavniForm(QWidget* parent = nullptr);
    ~THlavniForm() override;

    // The windows that the buttons "Tab&ulka" and "&Text" show; they are
    // created beside this one at start-up.
    void setRecordsWindow(QWidget* records) { m_records = records; }
    void setTextWindow(QWidget* text) { m_text = text; }

    void BitBtnVypocetClick();
    // Empties both inputs and every result; a click into the height field runs it.
    void SmazEdity();
    void BitBtnTextClick();
    void BitBtnTabulkaClick();
    void BitBtnZavritClick();
    // Makes the height field the focused control of this window.
    void focusHeight();

    // What the weight records window stores, exactly as it stands.
    QString heightText() const;
    QString weightText() const;
    QString categoryText() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* createInputs();
    QWidget* createButtons();
    QWidget* createResults();
    // Shows a category's picture; false (picture hidden) when its file cannot be read.
    bool showPicture(int picture);

    QWidget* m_records = nullptr;
    QWidget* m_text = nullptr;

    QLineEdit* EditVyska = nullptr;
    QLineEdit* EditVaha = nullptr;
    QPushButton* BitBtnVypocet = nullptr;
    QPushButton* BitBtnTabulka = nullptr;
    QPushButton* BitBtnText = nullptr;
    QPushButton* BitBtnZavrit = nullptr;
    QLabel* LabelKategorie = nullptr;
    QLabel* LabelRizika = nullptr;
    QLabel* ImageTvar = nullptr;
    std::array<QLineEdit*, 7> m_limitFields{};
};

// "Doprovodný text": what the index means and how the categories were set.
class TTextForm : public QWidget {
    Q_OBJECT
public:
    explicit TTextForm(QWidget* parent = nullptr);
    ~TTextForm() override;

    void setCalculator(THlavniForm* calculator) { m_calculator = calculator; }
    // "&Zpět": closes and puts the calculator's focus into its height field.
    void BitBtnZpetClick();

private:
    THlavniForm* m_calculator = nullptr;
};

} // namespace calculators
