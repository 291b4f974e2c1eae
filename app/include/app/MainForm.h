#pragma once

#include "sound/TPCSpeaker.h"
#include "store/Cursor.h"

#include <QMainWindow>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QTimer;
class QToolButton;

namespace store {
class Database;
class Query;
} // namespace store
namespace widgets {
class DBNavigator;
class DBText;
class KeyListReader;
class RecordToolbar;
}
namespace reports {
class AddressReportForm;
class TReportForm;
class TReport1Form;
}

namespace app {

class AddressGrid;

// The main window: the address book with its toolbar, grid, menu and the
// floating search and reminder panels. Created once at start-up; it holds the
// address table open until the program ends.
class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    // Opens the address table; a StoreError stops start-up.
    explicit TMainForm(store::Database& database, QWidget* parent = nullptr);
    ~TMainForm() override;

    store::Cursor& Table() { return *m_table; }
    // Saves what is being typed in the grid, as moving off the row would,
    // and turns the save and discard buttons off; false (the reason shown)
    // when the save failed and the record stays as typed.
    bool savePendingEdit();

    // The window's start-up step: its parts run in order, the first error is
    // reported and skips the rest.
    void FormCreate();

    // Search.
    void HledEditChange();
    // The quick search proper, once the key list is whole.
    void quickSearch();
    void HledaniTextuClick();
    void EditHledaniChange();
    void SpeedButtonHledejClick();
    void Dalsi();
    void SpeedButtonZpetClick();

    // Printing.
    void VsechZaznamuClick();
    void JmenSAdresamiATelefonyClick();
    void VsechnyUdajeClick();
    void JmenaSTelefonyClick();
    // The report windows are created after this one and bind to its table.
    void setReportForms(reports::TReportForm* full, reports::TReport1Form* names);

    // Settings.
    void BarvaPozadiClick();
    void BarvaTextuClick();
    void SpoustetPriStartuClick();
    void NespoustetPriStartuClick();
    void NastaveniTiskarnyClick();

    // Today's reminders: the planner's entry for today and today's name day.
    // The planner's window and table, which is made on first use: the
    // reminder asks for it only when its button is pressed.
    struct PlannerLink {
        QWidget* window = nullptr;
        store::Cursor* table = nullptr;
    };
    void setPlanner(std::function<PlannerLink()> planner);
    void SpeedButtonPozorClick();
    void BitBtnUkazatClick();
    void SpeedButtonVyrociClick();

    // Record counts, shown over the logo until the panel timer fires.
    void AdresarClick();
    void PlanovacPocetClick();
    void showRecordCount(const QString& prefix, const store::DataSet& table);
    // The panel timer: hides the record count and the reminder panels.
    void Zhasni();
    QTimer* panelTimer() const { return Timer1; }

    void ObsahNapovedyClick();

    // Attaches the command of a window created later to its menu item or
    // toolbar button (found by object name) and enables it, unless start-up
    // disabled it until the next start. The handler runs behind the error
    // report, so nothing it throws leaves the click.
    void bindCommand(const QString& objectName, std::function<void()> handler);
    // "Konec", F10, "&Konec" and the close box: settles every window's
    // unsaved work (saved or asked), then ends the program unless the user
    // or a failed save kept it running.
    void KonecClick();
    // Ends the program once the work is settled: the message loop ends.
    void endProgram();
    bool ending() const { return m_ending; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool takesSearchNextKey(QObject* watched, QEvent* event) const;

private:
    QWidget* createToolbar();
    QWidget* createGridArea();
    void createSearchPanels(QWidget* area);
    void createReminderPanels(QWidget* area);
    void placeReminderPanels(const QRect& area);
    // The message line of the name-day panel, in its middle or on its bottom line.
    void showPanelMessage(const QString& text, bool bottom);
    void startPanelTimer();
    void createMenu();
    void placeFloatingPanels();

    void navigatorMoved();
    QString chosenSearchField() const;
    void setSearchFound(bool found);
    void paintFieldLabels(const QString& yellowField);
    void playNotFound();
    void finishSearch();
    void runTextSearch(bool fromStart);
    void applyGridColour(const QColor& colour, bool background);
    void readGridColour(const QString& fileName, bool background);
    void chooseGridColour(const QString& fileName, bool background);
    void setAutostartItems(bool installed);
    void printLines(const QString& question, bool withNote);
    void previewReport(reports::AddressReportForm* report);
    void createPanelTimer();
    // Start-up steps 2, 4 and 5: the two saved colours and the autostart items.
    std::vector<std::function<void()>> settingsStartupParts();
    // Third start-up step: without an archiver directory the floppy items stay disabled.
    void disableFloppyItemsUnlessArchiverSet();

    store::Database& m_database;
    std::unique_ptr<store::Cursor> m_table;
    std::unique_ptr<widgets::RecordToolbar> m_editing;
    // The quick search of a big book opened moments ago waits for its key
    // list without holding up the keys typed meanwhile.
    widgets::KeyListReader* m_keyList = nullptr;
    sound::TPCSpeaker m_speaker;
    bool m_ending = false;
    // Commands that start-up disabled until the next start (the floppy backup without an archiver).
    QStringList m_disabledUntilRestart;
    // The colour dialog opens on the colour last chosen in it, for either command.
    QColor m_lastChosenColour = Qt::black;
    reports::TReportForm* m_reportForm = nullptr;
    reports::TReport1Form* m_report1Form = nullptr;
    std::function<PlannerLink()> m_planner;
    // The main window's own selection of today's calendar row.
    std::unique_ptr<store::Query> QueryVyroci;

    // Controls, named as the user knows them.
    QFrame* m_toolbar = nullptr;
    QLineEdit* HledEdit = nullptr;
    QToolButton* SpeedButtonPozor = nullptr;
    QToolButton* SpeedButtonVyroci = nullptr;
    QToolButton* SpeedButtonSvatek = nullptr;
    widgets::DBNavigator* DBNavigator = nullptr;
    QLabel* ImageLogo = nullptr;
    QLabel* LabelPocetZaznamu = nullptr;
    QPushButton* BitBtnKonec = nullptr;
    QTimer* Timer1 = nullptr;
    QAction* SpoustetPriStartu = nullptr;
    QAction* NespoustetPriStartu = nullptr;
    QAction* VsechnyUdaje = nullptr;
    QAction* JmenaSTelefony = nullptr;
    QWidget* m_gridArea = nullptr;
    AddressGrid* Grid = nullptr;

    QFrame* PanelSvatek = nullptr;
    QLabel* LabelDnesMaSvatek = nullptr;
    widgets::DBText* DBTextSvatek = nullptr;
    QLabel* LabelNic = nullptr;
    widgets::DBText* DBTextVyroci = nullptr;
    QLabel* ImageKvetina1 = nullptr;
    QLabel* ImageKvetina2 = nullptr;
    QLineEdit* EditPozor = nullptr;
    QPushButton* BitBtnUkazat = nullptr;

    QFrame* PanelHledText = nullptr;
    QLineEdit* EditHledani = nullptr;
    QToolButton* SpeedButtonHledej = nullptr;
    QToolButton* SpeedButtonDalsi = nullptr;
    QToolButton* SpeedButtonZpet = nullptr;
    QGroupBox* GroupBoxSloupec = nullptr;
    QRadioButton* RadioButtonPrijmeni = nullptr;
    QRadioButton* RadioButtonJmeno = nullptr;
    QRadioButton* RadioButtonAdresa = nullptr;
    QRadioButton* RadioButtonTelefon = nullptr;
    QRadioButton* RadioButtonPoznamka = nullptr;

    QFrame* PanelNaDotaz = nullptr;
    widgets::DBText* DBTextPrijmeni = nullptr;
    widgets::DBText* DBTextJmeno = nullptr;
    widgets::DBText* DBTextTelefon = nullptr;
    widgets::DBText* DBTextAdresa = nullptr;
    widgets::DBText* DBTextPoznamka = nullptr;
};

} // namespace app
