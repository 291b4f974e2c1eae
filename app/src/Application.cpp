#include "app/Application.h"

#include "app/Help.h"
#include "app/MainForm.h"
#include "app/SplashScreen.h"
#include "app/TableCheckReport.h"

#include "MainFormTexts.h"

#include "backup/BackupCommands.h"
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
#include "organiser/Wiring.h"
#include "platform/Platform.h"
#include "reports/AddressReports.h"
#include "store/Catalogue.h"
#include "store/Database.h"
#include "widgets/ErrorReport.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

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
    m_mainForm.reset();
}

void Application::setProgressObserver(std::function<void(int)> observer)
{
    m_progressObserver = std::move(observer);
}

std::vector<StartupStep> Application::startupSteps()
{
    // The fixed creation order. A window not built yet keeps its place (no
    // create function) so the progress values stay where they belong.
    return {
        {QStringLiteral("TMainForm"),
         [this] {
             m_mainForm = std::make_unique<TMainForm>(*m_database);
             m_mainForm->FormCreate();
             m_mainForm->bindCommand(QStringLiteral("ImportDat"), [this] { importData(); });
             m_mainForm->bindCommand(QStringLiteral("ExportAdresare"), [this] {
                 interchange::runExport(*m_database, m_mainForm.get());
             });
         },
         {}},
        {QStringLiteral("TVyrobForm"), [this] { createVyrobForm(); }, {}},
        {QStringLiteral("TTlfCrForm"), [this] { createTlfCrForm(); }, {}},
        {QStringLiteral("TTlfSvtForm"), [this] { createTlfSvtForm(); }, {5}},
        {QStringLiteral("TEditorForm"),
         [this] {
             // "Textový editor" (F3): the editor with the address of the grid's current record.
             m_mainForm->bindCommand(QStringLiteral("TextovyEditor"), [this] {
                 editorForm()->openWithAddress(editor::currentAddress(m_mainForm->Table()));
             });
         },
         {10}},
        {QStringLiteral("TFormData"),
         [this] { m_formData = std::make_unique<calculators::TFormData>(*m_database, m_mainForm.get()); },
         {}},
        {QStringLiteral("TFormGraf"),
         [this] {
             m_formGraf = std::make_unique<calculators::TFormGraf>(m_formData->Table(), m_mainForm.get());
             m_formData->setGraph(m_formGraf.get());
         },
         {}},
        {QStringLiteral("THlavniForm"),
         [this] {
             m_hlavniForm = std::make_unique<calculators::THlavniForm>(m_mainForm.get());
             m_hlavniForm->setRecordsWindow(m_formData.get());
             m_formData->setCalculator(m_hlavniForm.get());
             m_mainForm->bindCommand(QStringLiteral("Vaha"), [this] {
                 m_hlavniForm->show();
                 m_hlavniForm->raise();
                 m_hlavniForm->activateWindow();
             });
         },
         {}},
        {QStringLiteral("TTextForm"),
         [this] {
             m_textForm = std::make_unique<calculators::TTextForm>(m_mainForm.get());
             m_textForm->setCalculator(m_hlavniForm.get());
             m_hlavniForm->setTextWindow(m_textForm.get());
         },
         {}},
        {QStringLiteral("TZalhForm"), [this] { createBackupLog(); }, {30}},
        {QStringLiteral("(application title, help file)"), [this] { setApplicationValues(); }, {35}},
        {QStringLiteral("TOsobZaznamyForm"),
         [this] {
             m_osobZaznamyForm = std::make_unique<organiser::TOsobZaznamyForm>(*m_database);
             m_mainForm->bindCommand(QStringLiteral("OsobniZaznamnik"),
                                     [this] { m_osobZaznamyForm->showOnFirstRecord(); });
             m_mainForm->bindCommand(QStringLiteral("PocetOsobniZaznamnik"), [this] {
                 m_mainForm->showRecordCount(texts::kCountRecords, m_osobZaznamyForm->TableZaznamy());
             });
         },
         {40}},
        {QStringLiteral("TPlanovacForm"), [this] { createPlanner(); }, {45}},
        {QStringLiteral("TKalendarForm"), [this] { createDatePicker(); }, {50}},
        {QStringLiteral("TNastavARJForm"), [this] { createArchiverSettings(); }, {55}},
        {QStringLiteral("TSvatekForm"), [this] { createNameDays(); }, {60}},
        {QStringLiteral("TPscForm"), [this] { createPscForm(); }, {70}},
        {QStringLiteral("TSpzForm"), [this] { createSpzForm(); }, {75}},
        {QStringLiteral("TCasyForm"),
         [this] {
             m_casyForm = std::make_unique<calculators::TCasyForm>(*m_database, m_mainForm.get());
             m_casyForm->FormCreate();
             m_mainForm->bindCommand(QStringLiteral("CasoveOdchylky"), [this] { m_casyForm->showClock(); });
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

void Application::createBackupLog()
{
    m_zalhForm = std::make_unique<backup::TZalhForm>(*m_database);
    m_backupCommands = std::make_unique<backup::BackupCommands>(backup::BackupCommands::Wiring{
        m_zalhForm.get(), [this] { m_mainForm->KonecClick(); }, restoreProgram(), archiverTerminal()});
    m_mainForm->bindCommand(QStringLiteral("ZalohaNaDisk"), [this] { m_backupCommands->ZalohaNaDiskClick(); });
    m_mainForm->bindCommand(QStringLiteral("ObnovaZDisku"), [this] { m_backupCommands->ObnovaZDiskuClick(); });
    m_mainForm->bindCommand(QStringLiteral("Statistika"), [this] { showInFront(m_zalhForm.get()); });
}

void Application::createArchiverSettings()
{
    m_nastavARJForm = std::make_unique<backup::TNastavARJForm>();
    m_mainForm->bindCommand(QStringLiteral("ZalohovaniARJ"), [this] { m_nastavARJForm->ZalohovaniARJClick(); });
    m_mainForm->bindCommand(QStringLiteral("ZalohaNaDiskety"),
                            [this] { m_backupCommands->ZalohaNaDisketyARJClick(); });
    m_mainForm->bindCommand(QStringLiteral("ObnovaZDisket"), [this] { m_backupCommands->ObnovaZDisketARJClick(); });
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

void Application::createPlanner()
{
    m_planovacForm = std::make_unique<organiser::TPlanovacForm>(*m_database);
    organiser::TPlanovacForm* planner = m_planovacForm.get();
    TMainForm* main = m_mainForm.get();
    main->setPlanner(planner, &planner->TablePlanovac());
    main->bindCommand(QStringLiteral("Planovac"), [planner] { planner->showOnFirstEntry(); });
    main->bindCommand(QStringLiteral("PocetPlanovac"), [main] { main->PlanovacPocetClick(); });
    main->bindCommand(QStringLiteral("SpeedButtonPozor"), [main] { main->SpeedButtonPozorClick(); });
}

void Application::createDatePicker()
{
    m_kalendarForm = std::make_unique<organiser::TKalendarForm>();
    organiser::connectDatePicker(*m_kalendarForm, *m_planovacForm);
}

void Application::createNameDays()
{
    // A name-day table that cannot be opened stops start-up with the store's error.
    m_svatekForm = std::make_unique<organiser::TSvatekForm>(*m_database);
    m_svatekForm->FormCreate();
    organiser::connectNameDays(*m_svatekForm, *m_kalendarForm, *m_planovacForm);
    organiser::TSvatekForm* nameDays = m_svatekForm.get();
    TMainForm* main = m_mainForm.get();
    main->bindCommand(QStringLiteral("JmeninyARodinnaVyroci"), [nameDays] { nameDays->show(); });
    main->bindCommand(QStringLiteral("SpeedButtonSvatek"), [nameDays] { nameDays->show(); });
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
        platform::services().dialogs->errorBox(widgets::userMessage(error));
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
    m_tableCheck = std::make_unique<TableCheckReport>(m_database->openTableFiles());
}

} // namespace app
