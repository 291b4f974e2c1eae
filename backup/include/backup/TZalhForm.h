#pragma once

#include "backup/BackupLog.h"

#include "sound/TPCSpeaker.h"

#include <QWidget>

#include <memory>

class QGroupBox;
class QLabel;
class QPushButton;

namespace store {
class Cursor;
class Database;
}
namespace widgets {
class DBGrid;
}

namespace backup {

// "Kontrola zálohování": the backup log, one row per backup with its date and
// the time in the floppy or the disk column; the marked entry or the whole
// log can be deleted. Created once at start-up with its table open; modeless.
class TZalhForm : public QWidget {
    Q_OBJECT
public:
    // Opens the log table; a StoreError stops start-up.
    explicit TZalhForm(store::Database& database, QWidget* parent = nullptr);
    ~TZalhForm() override;

    store::Cursor& TableZalh() { return *m_table; }

    // Logs a backup at the current time (the backup commands call it).
    void logBackup(BackupKind kind);

    void SpeedButton1Click();      // delete the marked entry
    void SpeedButtonVymazatClick(); // delete the whole log; the table stays closed
    void ButtonZpetClick();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool ask(const QString& question) const;
    void placeColumnLabels();

    store::Database& m_database;
    std::unique_ptr<store::Cursor> m_table;
    sound::TPCSpeaker m_speaker;

    QGroupBox* m_frame = nullptr;
    widgets::DBGrid* DBGrid1 = nullptr;
    QWidget* m_gridViewport = nullptr;
    QWidget* m_labelStrip = nullptr;
    QLabel* LabelNaDiskety = nullptr;
    QLabel* LabelNaDisk = nullptr;
    QPushButton* SpeedButton1 = nullptr;
    QPushButton* SpeedButtonVymazat = nullptr;
    QPushButton* ButtonZpet = nullptr;
};

} // namespace backup
