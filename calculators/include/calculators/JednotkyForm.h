#pragma once

#include "calculators/UnitConversion.h"

#include <QWidget>

#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;

namespace calculators {

// "Převody jednotek": one number converted between two units of one of ten
// quantities. Created once; its page, selections and texts survive hiding.
class TJednotkyForm : public QWidget {
    Q_OBJECT
public:
    explicit TJednotkyForm(QWidget* parent = nullptr);
    ~TJednotkyForm() override;

    // Converts for the page shown from the input and both selections; with
    // a list lacking a selection nothing changes.
    void Vypocet();
    // Vypocet, then the last result into the result field.
    void recompute();
    void EditZadaniChange();
    // Leaving a page: input back to "1", result and labels cleared.
    void PageControl1Changing();
    void ListBox15Click();
    void ListBox16Click();
    void BitBtn1Click();

    Real lastResult() const { return m_lastResult; }
    // The page whose lists the conversion reads (the shown one, except while
    // the page being left is reset).
    int page() const { return m_page; }
    // The object name of a page's "Z jednotky" (or "Na jednotku") list.
    static QString listName(int page, bool toList);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* createPage(int page);
    void pageChanged(int index);
    static int selectedRow(const QListWidget* list);

    Real m_lastResult = 0;
    int m_page = 0;
    bool m_outOfRange = false;
    std::vector<QListWidget*> m_fromLists;
    std::vector<QListWidget*> m_toLists;

    QTabWidget* PageControl1 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* EditZadani = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* EditVysledek = nullptr;
    QLabel* Blabel1 = nullptr;
    QPushButton* BitBtn1 = nullptr;
};

} // namespace calculators
