#pragma once

#include "app/CommandLine.h"
#include "app/StartupSequence.h"

#include "sync/SyncCommand.h"

#include <QString>

#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

namespace store {
class Database;
}
namespace widgets {
class WindowPlacement;
}
namespace editor {
class TEditorForm;
}
namespace organiser {
class TKalendarForm;
class TOsobZaznamyForm;
class TPlanovacForm;
class TSvatekForm;
} // namespace organiser
namespace reports {
class TReportForm;
class TReport1Form;
}
namespace davsync {
class SyncMenu;
}
namespace backup {
class BackupCommands;
class TNastavARJForm;
class TZalhForm;
}
namespace directories {
class TVyrobForm;
class TTlfCrForm;
class TTlfSvtForm;
class TPscForm;
class TSpzForm;
}
namespace calculators {
class TCasyForm;
class TFormData;
class TFormGraf;
class THlavniForm;
class TJednotkyForm;
class TTextForm;
}

namespace app {

class HelpKeyFilter;
class TableCheckReport;
class TableProbe;
class TMainForm;

// Every window of the program, created once and kept until the program ends.
// Start-up runs the fixed order of steps behind the splash window: it makes
// the main window, opens every other window's tables and binds their
// commands; a window that is not seen at start-up is made on its first use
// (its command, or its accessor below), so the first paint does not wait for
// it. Its tables are opened beside start-up all the same: one that cannot be
// opened still stops it, and the check after it reads every table file of
// the data directory.
class Application {
public:
    explicit Application(const std::filesystem::path& workDir);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Sees every progress value the splash window is given.
    void setProgressObserver(std::function<void(int)> observer);

    // Shows the splash window and creates the windows. When a creation fails,
    // the splash window goes, the error box names the error and false comes back.
    bool start();
    // The main window, maximised, with the focus in the quick search.
    void showMainWindow();
    // Checks every table file of the data directory for damage in the
    // background, whether its window has been made yet or not; a damaged one
    // is told in an error box when the check ends.
    void checkTablesInBackground();
    TableCheckReport* tableCheck() const { return m_tableCheck.get(); }

    // The steps of start-up in their order with the progress after each.
    std::vector<StartupStep> startupSteps();

    store::Database& database() { return *m_database; }
    TMainForm* mainForm() const { return m_mainForm.get(); }
    reports::TReportForm* reportForm() const { return m_reportForm.get(); }
    reports::TReport1Form* report1Form() const { return m_report1Form.get(); }
    QString helpFile() const { return m_helpFile; }
    // The program's first plain argument: the editor loads it whenever it is shown.
    void setEditorDocument(const QString& fileName) { m_editorDocument = fileName; }
    // Where the sync keeps its password and how it reaches the server (tests:
    // a store in memory and a server on this machine); before the first use.
    void setSyncServices(std::unique_ptr<davsync::PasswordStore> passwords, davsync::TransportFactory transport);

    // The windows made on first use. A window that cannot be made throws the
    // store's error (its command shows it in the error box) and is tried again
    // at the next use.
    editor::TEditorForm* editorForm();
    backup::TZalhForm* zalhForm();
    backup::TNastavARJForm* nastavARJForm();
    // The planner, the date picker and the name days reach each other: they are made together.
    organiser::TPlanovacForm* planovacForm();
    organiser::TKalendarForm* kalendarForm();
    organiser::TSvatekForm* svatekForm();
    organiser::TOsobZaznamyForm* osobZaznamyForm();
    directories::TVyrobForm* vyrobForm();
    directories::TTlfCrForm* tlfCrForm();
    directories::TTlfSvtForm* tlfSvtForm();
    directories::TPscForm* pscForm();
    directories::TSpzForm* spzForm();
    // The weight records, the graph, the calculator and its text window work
    // on each other: they are made together.
    calculators::TFormData* formData();
    calculators::TFormGraf* formGraf();
    calculators::THlavniForm* hlavniForm();
    calculators::TTextForm* textForm();
    calculators::TCasyForm* casyForm();
    calculators::TJednotkyForm* jednotkyForm();

private:
    void setApplicationValues();
    // "Import adres a dat...": refused while the address grid holds typing.
    void importData();
    // Closes the calculators' windows; they go before the main window and the store.
    void releaseCalculators();
    // Opens the tables of the windows made later beside start-up, so that a
    // table that cannot be opened still stops it.
    TableProbe& probeLaterTables();
    backup::BackupCommands& backupCommands();
    davsync::SyncMenu& syncMenu();
    void bindBackupCommands();
    void bindArchiverCommands();
    // The windows go before the store they read, the reports before the main window.
    void destroyWindows();
    void createOrganiser();
    void bindPlanner();
    void bindNameDays();
    void createCalculators();
    // The reference directories' menu commands.
    void bindDirectoryCommands();
    void releaseDirectoryForms();

    std::unique_ptr<store::Database> m_database;
    std::unique_ptr<TableProbe> m_tableProbe;
    std::unique_ptr<TableCheckReport> m_tableCheck;
    std::unique_ptr<HelpKeyFilter> m_helpKeys;
    std::unique_ptr<TMainForm> m_mainForm;
    // Opens every other window centred over the main window.
    std::unique_ptr<widgets::WindowPlacement> m_placement;
    std::unique_ptr<editor::TEditorForm> m_editorForm;
    std::unique_ptr<organiser::TOsobZaznamyForm> m_osobZaznamyForm;
    QString m_editorDocument;
    std::unique_ptr<reports::TReportForm> m_reportForm;
    std::unique_ptr<reports::TReport1Form> m_report1Form;
    std::unique_ptr<calculators::TFormData> m_formData;
    std::unique_ptr<calculators::TFormGraf> m_formGraf;
    std::unique_ptr<calculators::THlavniForm> m_hlavniForm;
    std::unique_ptr<calculators::TTextForm> m_textForm;
    std::unique_ptr<calculators::TCasyForm> m_casyForm;
    std::unique_ptr<calculators::TJednotkyForm> m_jednotkyForm;
    std::unique_ptr<backup::TZalhForm> m_zalhForm;
    std::unique_ptr<backup::BackupCommands> m_backupCommands;
    std::unique_ptr<davsync::SyncMenu> m_syncMenu;
    std::unique_ptr<davsync::PasswordStore> m_syncPasswords;
    davsync::TransportFactory m_syncTransport;
    std::unique_ptr<backup::TNastavARJForm> m_nastavARJForm;
    std::unique_ptr<organiser::TPlanovacForm> m_planovacForm;
    std::unique_ptr<organiser::TKalendarForm> m_kalendarForm;
    std::unique_ptr<organiser::TSvatekForm> m_svatekForm;
    std::unique_ptr<directories::TVyrobForm> m_vyrobForm;
    std::unique_ptr<directories::TTlfCrForm> m_tlfCrForm;
    std::unique_ptr<directories::TTlfSvtForm> m_tlfSvtForm;
    std::unique_ptr<directories::TPscForm> m_pscForm;
    std::unique_ptr<directories::TSpzForm> m_spzForm;
    std::function<void(int)> m_progressObserver;
    QString m_helpFile;
};

// The program: `pelmir [--workdir DIR] [document]`. Installs the real
// services, takes the working directory's lock, starts and runs the message
// loop; returns the exit code.
int runProgram(const QStringList& arguments);
// The same with the services already installed (tests install fakes);
// `afterFirstPaint` runs once the main window is on the screen.
int runWithServices(const CommandLine& commandLine, const std::function<void()>& afterFirstPaint = {});
// `--import` or `--export`: moves the data without a window; the exit code.
int runTransfer(const CommandLine& commandLine);
// `--sync`: syncs with the server without a window; the exit code.
int runSync(const CommandLine& commandLine);

} // namespace app
