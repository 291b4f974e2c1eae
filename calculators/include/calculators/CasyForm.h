#pragma once

#include "sound/TPCSpeaker.h"

#include <QWidget>

#include <memory>

class QLabel;
class QPushButton;
class QTimer;
class QToolButton;

namespace store {
class Cursor;
class Database;
}
namespace widgets {
class PendingRecord;
class DBGrid;
class DBText;
}

namespace calculators {

// "Časové odchylky měst": cities with their fixed time difference, and
// once a second, while shown, the selected city's time beside the local
// time, with an audible tick.
class TCasyForm : public QWidget {
    Q_OBJECT
public:
    explicit TCasyForm(store::Database& database, QWidget* parent = nullptr);
    ~TCasyForm() override;

    // Registers the data tables' password and opens Cas.db; a StoreError
    // (the table missing or damaged) stops start-up.
    void FormCreate();
    store::Cursor& TableCas() { return *m_table; }
    QTimer* timer() const { return Timer1; }

    // The main window's "Časové odchylky": visible, and the clock runs.
    void showClock();
    void Timer1Timer();
    void SpeedButtonDaleClick();
    void SpeedButtonZacatekClick();
    void TableCasAfterScroll();
    void SpeedButtonZpetClick();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* createTimePanels();
    QWidget* createButtonBar();

    store::Database& m_database;
    std::unique_ptr<store::Cursor> m_table;
    // A record typed and not saved is asked about when the program ends.
    std::unique_ptr<widgets::PendingRecord> m_pending;
    int m_afterScroll = 0;
    sound::TPCSpeaker m_speaker;

    widgets::DBText* DBTextMesto = nullptr;
    QLabel* LabelMesto = nullptr;
    QLabel* LabelMistni = nullptr;
    QToolButton* SpeedButtonZacatek = nullptr;
    QToolButton* SpeedButtonDale = nullptr;
    QPushButton* SpeedButtonZpet = nullptr;
    widgets::DBGrid* DBGridCas = nullptr;
    QTimer* Timer1 = nullptr;
};

} // namespace calculators
