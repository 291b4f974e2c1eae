#include "app/Application.h"

#include "app/Help.h"
#include "app/MainForm.h"
#include "app/SplashScreen.h"
#include "app/TableCheckReport.h"
#include "app/TableProbe.h"

#include "MainFormTexts.h"

#include "backup/BackupCommands.h"
#include "backup/Restore.h"
#include "backup/RestoreProgram.h"
#include "backup/TNastavARJForm.h"
#include "backup/TZalhForm.h"
#include "calculators/CasyForm.h"
#include "calculators/FormData.h"
#include "calculators/FormGraf.h"
#include "calculators/HlavniForm.h"
#include "calculators/JednotkyForm.h"
#include "directories/CodeDirectoryForm.h"
#include "directories/PrefixForm.h"
#include "directories/VyrobForm.h"
#include "editor/AddressBlock.h"
#include "interchange/ImportDialog.h"
#include "editor/EditorForm.h"
#include "organiser/KalendarForm.h"
#include "organiser/OsobZaznamyForm.h"
#include "organiser/PlanovacForm.h"
#include "organiser/SvatekForm.h"
#include "store/Cursor.h"
#include "sync/QtTransport.h"
#include "sync/SyncMenu.h"
#include "sync/SyncState.h"
#include "organiser/Wiring.h"
#include "platform/Platform.h"
#include "reports/AddressReports.h"
#include "store/Catalogue.h"
#include "store/Database.h"
#include "widgets/ErrorReport.h"
#include "widgets/WindowPlacement.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdio>

namespace app {

namespace {
const QString kApplicationTitle = QStringLiteral("Pelmir a telefony");
const QString kPendingBeforeImport = QStringLiteral(
    "V adresáři je rozepsaný záznam. Uložte ho nebo zrušte a spusťte import znovu.");
// The help file's name in the help location.
const QString kHelpFileName = QStringLiteral("Pelmhelp.hlp");

// The restore program is installed beside the program; else it is found on the PATH.
QString restoreProgram()
{
    const QString name = QStringLiteral("pelmir-restore");
    const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(name);
    return QFileInfo(beside).isExecutable() ? beside : name;
}

// Debian's name for the desktop's terminal, in which the archiver shows its progress.
QString archiverTerminal()
{
    return QStandardPaths::findExecutable(QStringLiteral("x-terminal-emulator"));
}

// Shows a window and brings it to the front.
void showInFront(QWidget* window)
{
    window->show();
    window->raise();
    window->activateWindow();
}
} // namespace

Application::Application(const std::filesystem::path& workDir)
    : m_database(std::make_unique<store::Database>(workDir / store::kDataDirName))
{
    // A file under a table's name must be that table: the notebook copied
    // over the address book is refused, not shown as addresses.
    m_database->setCatalogue(store::catalogue());
    // The protected tables are the program's own: every reader (a sync from
    // the menu, a window's repaint) opens them as the command line does,
    // whichever window happens to be made first.
    m_database->registerPassword(store::dataTablesPassword());
    // A data directory from before the sync state table gets it empty, so
    // that a backup, which wants every table, finds it.
    try {
        davsync::ensureStateTable(*m_database);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "pelmir: %s\n", error.what());
    }
    // A table that opened with a reservation (not re-sorted) says so once.
    m_database->setNoticeHandler([](const std::string& text) {
        if (platform::Dialogs* dialogs = platform::services().dialogs)
            dialogs->warning(QString::fromStdString(text));
    });
    // Dates that new records take by default follow the same clock as the windows.
    m_database->setClock([] {
        const QDateTime now = platform::services().clock->now();
        const QDate date = now.date();
        const QTime time = now.time();
        return store::DateTime{date.year(), date.month(), date.day(),
                               time.hour(), time.minute(), time.second()};
    });
}

Application::~Application()
{
    if (m_helpKeys && qApp)
        qApp->removeEventFilter(m_helpKeys.get());
    destroyWindows();
}

void Application::destroyWindows()
{
    // The check reads the tables' files: it stops first.
    m_tableCheck.reset();
    // Windows close their tables (dropping pending records) before the store
    // goes. The reports read the main window's table and the date picker the
    // name-day window's selection, so they go first.
    m_nastavARJForm.reset();
    m_backupCommands.reset();
    m_zalhForm.reset();
    releaseCalculators();
    m_report1Form.reset();
    m_reportForm.reset();
    m_osobZaznamyForm.reset();
    m_editorForm.reset();
    m_kalendarForm.reset();
    m_svatekForm.reset();
    m_planovacForm.reset();
    releaseDirectoryForms();
    m_placement.reset();
    m_mainForm.reset();
}

void Application::setProgressObserver(std::function<void(int)> observer)
{
    m_progressObserver = std::move(observer);
}

std::vector<StartupStep> Application::startupSteps()
{
    // The fixed order. A window made on first use keeps its place with the
    // opening of its tables and the binding of its commands, so the progress
    // values stay where they belong.
    return {
        {QStringLiteral("TMainForm"),
         [this] {
             m_mainForm = std::make_unique<TMainForm>(*m_database);
             m_placement = std::make_unique<widgets::WindowPlacement>(m_mainForm.get());
             qApp->installEventFilter(m_placement.get());
             m_mainForm->FormCreate();
             m_mainForm->bindCommand(QStringLiteral("ImportDat"), [this] { importData(); });
             m_mainForm->bindCommand(QStringLiteral("ExportAdresare"), [this] {
                 interchange::runExport(*m_database, m_mainForm.get());
             });
             m_mainForm->bindCommand(QStringLiteral("Synchronizovat"), [this] {
                 // A change still being typed is saved first, as a move
                 // would save it: the sync must see it, or it would save
                 // later over what the sync brought.
                 if (!m_mainForm->savePendingEdit())
                     return;
                 if (m_planovacForm) {
                     m_planovacForm->commitOpenEditor();
                     store::Cursor& days = m_planovacForm->TablePlanovac();
                     const store::CursorState state = days.state();
                     if (state == store::CursorState::Edit || state == store::CursorState::Insert) {
                         if (days.modified())
                             days.post();
                         else
                             days.cancel();
                     }
                 }
                 syncMenu().SynchronizovatClick(m_mainForm.get());
             });
             m_mainForm->bindCommand(QStringLiteral("NastaveniSynchronizace"),
                                     [this] { syncMenu().NastaveniSynchronizaceClick(m_mainForm.get()); });
         },
         {}},
        {QStringLiteral("TVyrobForm"), {}, {}},
        {QStringLiteral("TTlfCrForm"), {}, {}},
        {QStringLiteral("TTlfSvtForm"), [this] { bindDirectoryCommands(); }, {5}},
        {QStringLiteral("TEditorForm"),
         [this] {
             // "Textový editor" (F3): the editor with the address of the grid's current record.
             m_mainForm->bindCommand(QStringLiteral("TextovyEditor"), [this] {
                 editorForm()->openWithAddress(editor::currentAddress(m_mainForm->Table()));
             });
         },
         {10}},
        {QStringLiteral("TFormData"), {}, {}},
        {QStringLiteral("TFormGraf"), {}, {}},
        {QStringLiteral("THlavniForm"),
         [this] { m_mainForm->bindCommand(QStringLiteral("Vaha"), [this] { showInFront(hlavniForm()); }); },
         {}},
        {QStringLiteral("TTextForm"), {}, {}},
        {QStringLiteral("TZalhForm"), [this] { bindBackupCommands(); }, {30}},
        {QStringLiteral("(application title, help file)"), [this] { setApplicationValues(); }, {35}},
        {QStringLiteral("TOsobZaznamyForm"),
         [this] {
             m_mainForm->bindCommand(QStringLiteral("OsobniZaznamnik"),
                                     [this] { osobZaznamyForm()->showOnFirstRecord(); });
             m_mainForm->bindCommand(QStringLiteral("PocetOsobniZaznamnik"), [this] {
                 m_mainForm->showRecordCount(texts::kCountRecords, osobZaznamyForm()->TableZaznamy());
             });
         },
         {40}},
        {QStringLiteral("TPlanovacForm"), [this] { bindPlanner(); }, {45}},
        {QStringLiteral("TKalendarForm"), {}, {50}},
        {QStringLiteral("TNastavARJForm"), [this] { bindArchiverCommands(); }, {55}},
        {QStringLiteral("TSvatekForm"), [this] { bindNameDays(); }, {60}},
        {QStringLiteral("TPscForm"), {}, {70}},
        {QStringLiteral("TSpzForm"), {}, {75}},
        {QStringLiteral("TCasyForm"),
         [this] {
             m_mainForm->bindCommand(QStringLiteral("CasoveOdchylky"), [this] { casyForm()->showClock(); });
             // The last window with a table: every table of the windows made
             // later must have opened, or start-up stops here.
             probeLaterTables().check();
             m_tableProbe.reset();
         },
         {80}},
        {QStringLiteral("TJednotkyForm"),
         [this] {
             m_mainForm->bindCommand(QStringLiteral("PrevodyJednotek"), [this] { jednotkyForm()->show(); });
         },
         {85, 90}},
        {QStringLiteral("TReportForm"),
         [this] {
             m_reportForm = std::make_unique<reports::TReportForm>(m_mainForm->Table(), m_mainForm.get());
             m_mainForm->setReportForms(m_reportForm.get(), m_report1Form.get());
         },
         {95}},
        {QStringLiteral("TReport1Form"),
         [this] {
             m_report1Form = std::make_unique<reports::TReport1Form>(m_mainForm->Table(), m_mainForm.get());
             m_mainForm->setReportForms(m_reportForm.get(), m_report1Form.get());
         },
         {100}},
    };
}

TableProbe& Application::probeLaterTables()
{
    // The tables of the windows made on first use, in the order of their start-up steps.
    if (!m_tableProbe)
        m_tableProbe = std::make_unique<TableProbe>(
            m_database->dataDir(),
            std::vector<std::string>{"Vyrob.db", "TelefCR.DB", "TelefSvt.DB", "Data.DB", "Zaloha.db", "Datz.db",
                                     "Datp.db", "Svatek.db", "Psc.DB", "Spzzem.db", "Cas.db"});
    return *m_tableProbe;
}

editor::TEditorForm* Application::editorForm()
{
    if (!m_editorForm) {
        m_editorForm = std::make_unique<editor::TEditorForm>(*m_database);
        m_editorForm->setCommandLineDocument(m_editorDocument);
        m_editorForm->FormCreate();
    }
    return m_editorForm.get();
}

calculators::TJednotkyForm* Application::jednotkyForm()
{
    if (!m_jednotkyForm)
        m_jednotkyForm = std::make_unique<calculators::TJednotkyForm>(m_mainForm.get());
    return m_jednotkyForm.get();
}

void Application::createCalculators()
{
    if (m_formData)
        return;
    // Made whole or not at all: each of the four holds the others.
    auto records = std::make_unique<calculators::TFormData>(*m_database, m_mainForm.get());
    auto graph = std::make_unique<calculators::TFormGraf>(records->Table(), m_mainForm.get());
    records->setGraph(graph.get());
    auto calculator = std::make_unique<calculators::THlavniForm>(m_mainForm.get());
    calculator->setRecordsWindow(records.get());
    records->setCalculator(calculator.get());
    auto text = std::make_unique<calculators::TTextForm>(m_mainForm.get());
    text->setCalculator(calculator.get());
    calculator->setTextWindow(text.get());
    m_formData = std::move(records);
    m_formGraf = std::move(graph);
    m_hlavniForm = std::move(calculator);
    m_textForm = std::move(text);
}

calculators::TFormData* Application::formData()
{
    createCalculators();
    return m_formData.get();
}

calculators::TFormGraf* Application::formGraf()
{
    createCalculators();
    return m_formGraf.get();
}

calculators::THlavniForm* Application::hlavniForm()
{
    createCalculators();
    return m_hlavniForm.get();
}

calculators::TTextForm* Application::textForm()
{
    createCalculators();
    return m_textForm.get();
}

calculators::TCasyForm* Application::casyForm()
{
    if (!m_casyForm) {
        auto clock = std::make_unique<calculators::TCasyForm>(*m_database, m_mainForm.get());
        clock->FormCreate();
        m_casyForm = std::move(clock);
    }
    return m_casyForm.get();
}

backup::TZalhForm* Application::zalhForm()
{
    if (!m_zalhForm)
        m_zalhForm = std::make_unique<backup::TZalhForm>(*m_database);
    return m_zalhForm.get();
}

davsync::SyncMenu& Application::syncMenu()
{
    if (!m_syncMenu) {
        m_syncMenu = std::make_unique<davsync::SyncMenu>(
            *m_database, platform::services().paths->workDir(),
            m_syncPasswords ? std::move(m_syncPasswords) : davsync::makeKeyringPasswords(),
            m_syncTransport ? m_syncTransport : [](const QString& user, const QString& password) {
                return std::unique_ptr<davsync::Transport>(std::make_unique<davsync::QtTransport>(user, password));
            });
    }
    return *m_syncMenu;
}

void Application::setSyncServices(std::unique_ptr<davsync::PasswordStore> passwords, davsync::TransportFactory transport)
{
    m_syncPasswords = std::move(passwords);
    m_syncTransport = std::move(transport);
}

backup::BackupCommands& Application::backupCommands()
{
    if (!m_backupCommands) {
        // Every backup writes its log entry through the log window's table.
        m_backupCommands = std::make_unique<backup::BackupCommands>(backup::BackupCommands::Wiring{
            zalhForm(), [this] { m_mainForm->endProgram(); }, restoreProgram(), archiverTerminal()});
    }
    return *m_backupCommands;
}

void Application::bindBackupCommands()
{
    m_mainForm->bindCommand(QStringLiteral("ZalohaNaDisk"), [this] { backupCommands().ZalohaNaDiskClick(); });
    m_mainForm->bindCommand(QStringLiteral("ObnovaZDisku"), [this] { backupCommands().ObnovaZDiskuClick(); });
    m_mainForm->bindCommand(QStringLiteral("Statistika"), [this] { showInFront(zalhForm()); });
}

backup::TNastavARJForm* Application::nastavARJForm()
{
    if (!m_nastavARJForm)
        m_nastavARJForm = std::make_unique<backup::TNastavARJForm>();
    return m_nastavARJForm.get();
}

void Application::bindArchiverCommands()
{
    m_mainForm->bindCommand(QStringLiteral("ZalohovaniARJ"), [this] { nastavARJForm()->ZalohovaniARJClick(); });
    m_mainForm->bindCommand(QStringLiteral("ZalohaNaDiskety"),
                            [this] { backupCommands().ZalohaNaDisketyARJClick(); });
    m_mainForm->bindCommand(QStringLiteral("ObnovaZDisket"), [this] { backupCommands().ObnovaZDisketARJClick(); });
}

void Application::releaseCalculators()
{
    // The graph reads the records window's table: it goes first.
    m_jednotkyForm.reset();
    m_casyForm.reset();
    m_textForm.reset();
    m_hlavniForm.reset();
    m_formGraf.reset();
    m_formData.reset();
}

void Application::createOrganiser()
{
    if (m_planovacForm)
        return;
    organiser::OrganiserWindows made = organiser::createOrganiserWindows(*m_database);
    m_planovacForm = std::move(made.planner);
    m_kalendarForm = std::move(made.picker);
    m_svatekForm = std::move(made.nameDays);
}

organiser::TPlanovacForm* Application::planovacForm()
{
    createOrganiser();
    return m_planovacForm.get();
}

organiser::TKalendarForm* Application::kalendarForm()
{
    createOrganiser();
    return m_kalendarForm.get();
}

organiser::TSvatekForm* Application::svatekForm()
{
    createOrganiser();
    return m_svatekForm.get();
}

organiser::TOsobZaznamyForm* Application::osobZaznamyForm()
{
    if (!m_osobZaznamyForm)
        m_osobZaznamyForm = std::make_unique<organiser::TOsobZaznamyForm>(*m_database);
    return m_osobZaznamyForm.get();
}

void Application::bindPlanner()
{
    TMainForm* main = m_mainForm.get();
    // Today's reminder walks the planner's own table, made when first asked for.
    main->setPlanner([this] {
        organiser::TPlanovacForm* planner = planovacForm();
        return TMainForm::PlannerLink{planner, &planner->TablePlanovac()};
    });
    main->bindCommand(QStringLiteral("Planovac"), [this] { planovacForm()->showOnFirstEntry(); });
    main->bindCommand(QStringLiteral("PocetPlanovac"), [main] { main->PlanovacPocetClick(); });
    main->bindCommand(QStringLiteral("SpeedButtonPozor"), [main] { main->SpeedButtonPozorClick(); });
}

void Application::bindNameDays()
{
    TMainForm* main = m_mainForm.get();
    main->bindCommand(QStringLiteral("JmeninyARodinnaVyroci"), [this] { svatekForm()->show(); });
    main->bindCommand(QStringLiteral("SpeedButtonSvatek"), [this] { svatekForm()->show(); });
    // Today's name day reads the calendar through the main window's own selection.
    main->bindCommand(QStringLiteral("SpeedButtonVyroci"), [main] { main->SpeedButtonVyrociClick(); });
}

void Application::importData()
{
    // The import replaces records the grid may be changing: the typing comes first.
    const store::CursorState state = m_mainForm->Table().state();
    if (state == store::CursorState::Edit || state == store::CursorState::Insert) {
        platform::services().dialogs->warning(kPendingBeforeImport);
        return;
    }
    interchange::runImport(*m_database, m_mainForm.get());
}

void Application::setApplicationValues()
{
    QCoreApplication::setApplicationName(kApplicationTitle);
    const platform::Paths* paths = platform::services().paths;
    m_helpFile = paths ? QDir(paths->helpLocation()).filePath(kHelpFileName) : kHelpFileName;
}

bool Application::start()
{
    if (!m_helpKeys) {
        m_helpKeys = std::make_unique<HelpKeyFilter>();
        qApp->installEventFilter(m_helpKeys.get());
    }
    try {
        // A restore stopped half way is undone before any table is opened.
        const QString undone = backup::undoInterruptedRestore(QString::fromStdString(m_database->dataDir().string()));
        if (!undone.isEmpty())
            platform::services().dialogs->information(undone);
        // Runs beside the splash and the main window being made.
        probeLaterTables();
        auto splash = std::make_unique<SplashScreen>();
        splash->showAndPaint();
        const SplashDialogs boxesAboveSplash(*splash);
        runStartupSteps(startupSteps(), [&](int value) {
            splash->setProgress(value);
            if (m_progressObserver)
                m_progressObserver(value);
        });
    } catch (const std::exception& error) {
        // The splash window has gone with the unwinding; the message stays in front.
        destroyWindows();
        // The menu that restores a table will not show: the restore program is named instead.
        platform::services().dialogs->errorBox(
            backup::withRestoreProgramAdvice(widgets::userMessage(error), restoreProgram(),
                                             QString::fromStdString(m_database->dataDir().parent_path().string())));
        return false;
    }
    return true;
}

void Application::showMainWindow()
{
    m_mainForm->showMaximized();
    m_mainForm->activateWindow();
    m_mainForm->findChild<QWidget*>(QStringLiteral("HledEdit"))->setFocus();
}

void Application::checkTablesInBackground()
{
    m_tableCheck = std::make_unique<TableCheckReport>(m_database->tableFilesToCheck());
}

} // namespace app
