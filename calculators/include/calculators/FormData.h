#pragma once

#include <QWidget>

#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class QFrame;

namespace store {
class Cursor;
class Database;
class Query;
}
namespace widgets {
class PendingRecord;
class DBGrid;
}

namespace calculators {

class THlavniForm;
class TFormGraf;

// "Uložené záznamy": the measurements kept in Data.DB (name, date, height,
// weight, category), added from the calculator, selected by name and drawn
// by the graph window.
class TFormData : public QWidget {
    Q_OBJECT
public:
    // Opens Data.DB; a StoreError stops start-up.
    explicit TFormData(store::Database& database, QWidget* parent = nullptr);
    ~TFormData() override;

    store::Cursor& Table() { return *m_table; }
    store::Query& QueryDotaz() { return *m_query; }

    // The calculator whose texts "Přidat" stores and the graph "Graf" shows;
    // both are created after this window.
    void setCalculator(const THlavniForm* calculator) { m_calculator = calculator; }
    void setGraph(TFormGraf* graph) { m_graph = graph; }

    void BitBtnPridatClick();
    void BitBtnSmazatClick();
    void BitBtnUlozitClick();
    void BitBtnZrusitClick();
    void BitBtnVybratClick();
    void BitBtnVyberClick();
    void BitBtnPanelZpetClick();
    void Edit1Click();
    void BitBtnGrafClick();
    void SpeedButtonCoStimClick(bool down);
    void BitBtnZpetClick();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* createButtons();
    void createSelectionPanel(QWidget* area);
    void placeFloating();
    void showTable();

    std::unique_ptr<store::Cursor> m_table;
    // A record typed and not saved is asked about when the program ends.
    std::unique_ptr<widgets::PendingRecord> m_pending;
    std::unique_ptr<store::Query> m_query;
    const THlavniForm* m_calculator = nullptr;
    TFormGraf* m_graph = nullptr;

    QWidget* m_gridArea = nullptr;
    widgets::DBGrid* DBGrid = nullptr;
    QPushButton* BitBtnPridat = nullptr;
    QPushButton* BitBtnSmazat = nullptr;
    QPushButton* BitBtnUlozit = nullptr;
    QPushButton* BitBtnZrusit = nullptr;
    QPushButton* BitBtnVybrat = nullptr;
    QPushButton* BitBtnGraf = nullptr;
    QPushButton* SpeedButtonCoStim = nullptr;
    QPushButton* BitBtnZpet = nullptr;
    QFrame* PanelDotaz = nullptr;
    QLineEdit* Edit1 = nullptr;
    QPushButton* BitBtnVyber = nullptr;
    QPushButton* BitBtnPanelZpet = nullptr;
    QLabel* ImageCoStim = nullptr;
};

} // namespace calculators
