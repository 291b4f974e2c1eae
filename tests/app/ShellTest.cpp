// Start-up, the menu, help and the plain pieces of the shell.

#include "AppFixture.h"

#include "app/CommandLine.h"
#include "app/Help.h"
#include "app/StartupSequence.h"

#include "store/Cursor.h"
#include "store/Database.h"
#include "store/Errors.h"
#include "store/InstanceLock.h"
#include "tools/DataDir.h"
#include "widgets/DBGrid.h"
#include "widgets/DBNavigator.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTest>
#include <QTextBrowser>

#include <stdexcept>

namespace apptest {
namespace {

QWidget* splash()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QStringLiteral("SplashForm"))
            return widget;
    return nullptr;
}

bool splashAlive()
{
    return splash() != nullptr;
}

bool splashVisible()
{
    return splash() && splash()->isVisible();
}

class StartupTest : public AppFixture {};

// Every window of the start-up order with the progress shown after it; the
// splash must show exactly these values, in this order, and be gone once the
// main window is up.
const std::vector<std::pair<QString, QList<int>>> kStartupOrder = {
    {QStringLiteral("TMainForm"), {}},
    {QStringLiteral("TVyrobForm"), {}},
    {QStringLiteral("TTlfCrForm"), {}},
    {QStringLiteral("TTlfSvtForm"), {5}},
    {QStringLiteral("TEditorForm"), {10}},
    {QStringLiteral("TFormData"), {}},
    {QStringLiteral("TFormGraf"), {}},
    {QStringLiteral("THlavniForm"), {}},
    {QStringLiteral("TTextForm"), {}},
    {QStringLiteral("TZalhForm"), {30}},
    {QStringLiteral("(application title, help file)"), {35}},
    {QStringLiteral("TOsobZaznamyForm"), {40}},
    {QStringLiteral("TPlanovacForm"), {45}},
    {QStringLiteral("TKalendarForm"), {50}},
    {QStringLiteral("TNastavARJForm"), {55}},
    {QStringLiteral("TSvatekForm"), {60}},
    {QStringLiteral("TPscForm"), {70}},
    {QStringLiteral("TSpzForm"), {75}},
    {QStringLiteral("TCasyForm"), {80}},
    {QStringLiteral("TJednotkyForm"), {85, 90}},
    {QStringLiteral("TReportForm"), {95}},
    {QStringLiteral("TReport1Form"), {100}},
};

TEST_F(StartupTest, ProgressShowsEveryValueInOrderAndMainWindowOpens)
{
    tools::makeDataDir(tools::sourceSeedsDir(), workDir());
    m_app = std::make_unique<app::Application>(workDir());
    QList<int> progress;
    m_app->setProgressObserver([&](int value) { progress.append(value); });
    ASSERT_TRUE(m_app->start());
    m_app->showMainWindow();

    QList<int> expected;
    for (const auto& [window, values] : kStartupOrder)
        expected += values;
    EXPECT_EQ(progress, expected);
    EXPECT_FALSE(splashAlive());

    app::TMainForm& main = *m_app->mainForm();
    EXPECT_EQ(main.windowTitle(), QStringLiteral("Pelmir s telefonními čísly"));
    EXPECT_TRUE(main.isMaximized());
    EXPECT_EQ(QCoreApplication::applicationName(), QStringLiteral("Pelmir a telefony"));
    QApplication::setActiveWindow(&main);
    EXPECT_EQ(QApplication::focusWidget(), main.findChild<QWidget*>(QStringLiteral("HledEdit")));
    for (const char* hidden : {"PanelSvatek", "EditPozor", "PanelHledText", "PanelNaDotaz",
                               "LabelPocetZaznamu"})
        EXPECT_FALSE(main.findChild<QWidget*>(QString::fromLatin1(hidden))->isVisible()) << hidden;
}

// The start-up order keeps every window's place and its progress values; a
// window added later must not move a value or make the progress go back.
TEST(StartupSteps, OrderAndProgressAreExactlyTheListedOnes)
{
    app::Application application(std::filesystem::path("unused"));
    std::vector<std::pair<QString, QList<int>>> steps;
    for (const app::StartupStep& step : application.startupSteps())
        steps.emplace_back(step.window, step.progressAfter);
    EXPECT_EQ(steps, kStartupOrder);
}

// A box shown by a start-up step (here a 3-byte colour file) used to open
// under the stay-on-top splash, so the program looked hung at 0 %: the splash
// steps aside while a box is up and comes back for the rest of start-up.
TEST_F(StartupTest, BoxesOfStartupStepsComeAboveTheSplash)
{
    tools::makeDataDir(tools::sourceSeedsDir(), workDir());
    {
        QFile colour(QString::fromStdString((workDir() / "Barva.cfg").string()));
        ASSERT_TRUE(colour.open(QIODevice::WriteOnly));
        colour.write("\x01\x02\x03", 3);
    }
    m_fakes.paths.setWorkDir(QString::fromStdString(workDir().string()));
    QList<bool> splashUnderBox;
    m_fakes.dialogs.setResponder([&](const platform::ShownBox&) {
        splashUnderBox.append(splashVisible());
        return platform::Button::Ok;
    });
    QList<bool> splashAtProgress;
    m_app = std::make_unique<app::Application>(workDir());
    m_app->setProgressObserver([&](int) { splashAtProgress.append(splashVisible()); });
    ASSERT_TRUE(m_app->start());

    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    EXPECT_EQ(m_fakes.dialogs.lastBox().text, QStringLiteral("Read beyond end of file"));
    EXPECT_EQ(splashUnderBox, QList<bool>{false});
    ASSERT_FALSE(splashAtProgress.isEmpty());
    EXPECT_TRUE(splashAtProgress.first()); // back for the rest of start-up
    EXPECT_FALSE(splashAlive());
}

// A failing step stops the run at once: later steps and progress must not happen.
TEST(StartupSteps, FailureStopsTheRun)
{
    QList<int> progress;
    bool laterRan = false;
    const std::vector<app::StartupStep> steps = {
        {QStringLiteral("A"), [] {}, {5}},
        {QStringLiteral("B"), [] { throw std::runtime_error("broken"); }, {10}},
        {QStringLiteral("C"), [&] { laterRan = true; }, {100}},
    };
    EXPECT_THROW(app::runStartupSteps(steps, [&](int v) { progress.append(v); }), std::runtime_error);
    EXPECT_EQ(progress, QList<int>{5});
    EXPECT_FALSE(laterRan);
}

// New records dated by the table's default must take the program's clock,
// not the machine's, or a weighing would be dated wrongly in tests and after
// a clock change.
TEST_F(StartupTest, DateDefaultsFollowTheProgramClock)
{
    startWith({});
    m_fakes.clock.setNow(QDateTime(QDate(2024, 2, 29), QTime(10, 30)));
    store::Cursor weights(m_app->database(), "Data.DB");
    weights.open();
    weights.insert();
    weights.setText("Jméno", "Eva");
    weights.post();
    weights.first();
    EXPECT_EQ(weights.text("Datum"), "29.2.2024");
}

// A damaged address table stops start-up with the store's error in the error
// box, never a crash or an empty window; the splash window goes too.
TEST_F(StartupTest, DamagedAddressTableStopsStartup)
{
    tools::makeDataDir(tools::sourceSeedsDir(), workDir());
    const QString file = QString::fromStdString((workDir() / "Data" / "Dat.DB").string());
    {
        QFile damaged(file);
        ASSERT_TRUE(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
        damaged.write("this is not a table at all, just some bytes of text\n");
    }
    std::string storeError;
    {
        store::Database database(workDir() / "Data");
        store::Cursor cursor(database, "Dat.DB");
        try {
            cursor.open();
        } catch (const store::StoreError& error) {
            storeError = error.what();
        }
    }
    ASSERT_FALSE(storeError.empty());

    m_app = std::make_unique<app::Application>(workDir());
    EXPECT_FALSE(m_app->start());
    EXPECT_EQ(m_app->mainForm(), nullptr);
    EXPECT_FALSE(splashAlive());
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    const platform::ShownBox box = m_fakes.dialogs.lastBox();
    EXPECT_EQ(box.caption, QStringLiteral("Pelmir a telefony"));
    EXPECT_EQ(box.icon, platform::Icon::Error);
    // The store's own text: in Czech, which table, what is wrong, what to do
    // (the restore program, since the menu that restores will not show).
    const QString beforeAdvice = QString::fromStdString(storeError).section(QString::fromUtf8(store::kRestoreMenuAdvice), 0, 0);
    EXPECT_TRUE(box.text.startsWith(beforeAdvice + QStringLiteral("programem obnovy pelmir-restore")))
        << box.text.toStdString();
    EXPECT_TRUE(box.text.startsWith(QStringLiteral("Tabulku Dat.DB nelze otevřít:"))) << box.text.toStdString();
    EXPECT_TRUE(box.text.contains(QStringLiteral("poškozený"))) << box.text.toStdString();
    EXPECT_TRUE(box.text.contains(QStringLiteral("ze zálohy"))) << box.text.toStdString();
    QFile after(file);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_TRUE(after.readAll().startsWith("this is not a table")); // never overwritten
}

// The real grid of the main window: its columns, their titles, widths and
// fonts, the title colour, the cell colours before any are chosen, and the
// toolbar's hints. A changed title or a lost hint fails here.
TEST_F(StartupTest, GridColumnsAndToolbarHintsAsDesigned)
{
    startWith(standardAddresses());
    auto* grid = control<widgets::DBGrid>("Grid");
    ASSERT_NE(grid, nullptr);
    struct Column {
        const char* field;
        const char* title;
        int width;
    };
    const std::vector<Column> columns = {{"Příjmení", "Příjmení - Firma ", 180},
                                         {"Jméno", "Jméno", 90},
                                         {"Adresa", "Adresa", 280},
                                         {"Telefon", "Telefon", 130},
                                         {"Poznámka", "Poznámka", 280}};
    ASSERT_EQ(grid->model()->columnCount(), static_cast<int>(columns.size()));
    for (int i = 0; i < static_cast<int>(columns.size()); ++i) {
        SCOPED_TRACE(columns[i].field);
        EXPECT_EQ(grid->gridModel()->columns()[i].field, QString::fromUtf8(columns[i].field));
        EXPECT_EQ(grid->model()->headerData(i, Qt::Horizontal).toString(),
                  QString::fromUtf8(columns[i].title));
        EXPECT_EQ(grid->columnWidth(i), columns[i].width);
        EXPECT_EQ(grid->horizontalHeader()->sectionResizeMode(i), QHeaderView::Interactive);
    }
    EXPECT_EQ(grid->font().family(), QStringLiteral("Arial"));
    EXPECT_EQ(grid->font().pointSize(), 8);
    EXPECT_FALSE(grid->font().bold());
    const QFont titles = grid->horizontalHeader()->font();
    EXPECT_EQ(titles.family(), QStringLiteral("Arial"));
    EXPECT_TRUE(titles.bold());
    EXPECT_EQ(grid->horizontalHeader()->palette().color(QPalette::ButtonText), QColor(128, 0, 0));
    EXPECT_EQ(grid->cellText(), QColor(Qt::black));
    EXPECT_EQ(grid->palette().color(QPalette::Text), QColor(Qt::black));
    EXPECT_TRUE(grid->verticalHeader()->isVisible()); // the row indicator
    EXPECT_TRUE(grid->showGrid());

    const std::vector<std::pair<const char*, const char*>> hints = {
        {"SpeedButtonPozor", "Dotaz na záznam v plánovači pro dnešní den"},
        {"SpeedButtonVyroci", "Dotaz na dnešní výročí"},
        {"SpeedButtonSvatek", "Prohlížení a editace jmen a výročí"},
        {"SpeedButtonVloz", "Vložit nový záznam"},
        {"SpeedButtonSmaz", "Smazat označený záznam <Ctrl + Del>"},
        {"SpeedButtonPotvrd", "Uložit záznam/změnu"},
        {"SpeedButtonZrus", "Neukládat"},
        {"BitBtnKonec", ""},
    };
    for (const auto& [name, hint] : hints)
        EXPECT_EQ(control<QWidget>(name)->toolTip(), QString::fromUtf8(hint)) << name;
    auto* navigator = control<QWidget>("DBNavigator");
    const std::vector<std::pair<widgets::DBNavigator::Button, const char*>> moves = {
        {widgets::DBNavigator::Button::First, "Na začátek adresáře"},
        {widgets::DBNavigator::Button::Prior, "Na předchozí záznam"},
        {widgets::DBNavigator::Button::Next, "Na další záznam"},
        {widgets::DBNavigator::Button::Last, "Na konec adresáře"},
    };
    for (const auto& [button, hint] : moves) {
        auto* found = navigator->findChild<QWidget*>(widgets::DBNavigator::objectNameOf(button));
        ASSERT_NE(found, nullptr) << hint;
        EXPECT_EQ(found->toolTip(), QString::fromUtf8(hint));
    }
}

// Every caption, shortcut and separator of the menu, in order; "-" is a separator,
// a trailing "!" marks an item that works now.
TEST_F(StartupTest, MenuHasEveryItemInPlace)
{
    startWith({});
    const std::vector<std::pair<QString, QStringList>> expected = {
        {QStringLiteral("&Program"),
         {QStringLiteral("Textový editor|F3!"), QStringLiteral("-"),
          QStringLiteral("Hledání textu|F2!"), QStringLiteral("Počet záznamů|!"),
          QStringLiteral("-"), QStringLiteral("Nastavení tiskárny|!"), QStringLiteral("Tisk|!"),
          QStringLiteral("-"), QStringLiteral("Konec|F10!")}},
        {QStringLiteral("&Sestavy"),
         {QStringLiteral("Adresář - všechny údaje|!"),
          QStringLiteral("Adresář - jména s telefony|!")}},
        {QStringLiteral("&Doplňky"),
         {QStringLiteral("Osobní záznamník|F11!"), QStringLiteral("Plánovač|F12!"),
          QStringLiteral("Jmeniny a rodinná výročí|F4!"), QStringLiteral("-"),
          QStringLiteral("Seznam přístrojů|F8!"), QStringLiteral("Váha|Ctrl+H!"), QStringLiteral("-"),
          QStringLiteral("Poštovní směrovací čísla|F5!"), QStringLiteral("Poznávací značky zemí|F6!"),
          QStringLiteral("Telefonní předvolby v ČR|Ctrl+T!"),
          QStringLiteral("Mezinárodní tel. předvolby|Ctrl+M!"), QStringLiteral("-"),
          QStringLiteral("Časové odchylky|F7!"), QStringLiteral("Převody jednotek|F9!")}},
        {QStringLiteral("&Zálohování"),
         {QStringLiteral("Záloha na diskety (ARJ) |"), QStringLiteral("Záloha na disk|!"),
          QStringLiteral("-"), QStringLiteral("Obnova z disket (ARJ)|"),
          QStringLiteral("Obnova z disku|!"), QStringLiteral("-"), QStringLiteral("Statistika|!"),
          QStringLiteral("-"), QStringLiteral("Import adres a dat...|!"), QStringLiteral("Export adresáře...|!"),
          QStringLiteral("-"), QStringLiteral("&Synchronizovat|!"), QStringLiteral("&Nastavení synchronizace...|!")}},
        {QStringLiteral("Nasta&vení"),
         {QStringLiteral("Barva pozadí|!"), QStringLiteral("Barva textu|!"), QStringLiteral("-"),
          QStringLiteral("Zálohování ARJ|!"), QStringLiteral("-"),
          QStringLiteral("Spouštět při startu|!"), QStringLiteral("Nespouštět při startu|")}},
        {QStringLiteral("&Nápověda"), {QStringLiteral("Obsah nápovědy|!")}},
    };
    const QList<QAction*> menus = form().menuBar()->actions();
    ASSERT_EQ(menus.size(), static_cast<qsizetype>(expected.size()));
    for (size_t m = 0; m < expected.size(); ++m) {
        EXPECT_EQ(menus[m]->text(), expected[m].first);
        QStringList items;
        for (QAction* item : menus[m]->menu()->actions()) {
            if (item->isSeparator()) {
                items << QStringLiteral("-");
                continue;
            }
            items << item->text() + QLatin1Char('|') +
                         item->shortcut().toString(QKeySequence::PortableText) +
                         (item->isEnabled() ? QStringLiteral("!") : QString());
        }
        EXPECT_EQ(items, expected[m].second) << expected[m].first.toStdString();
    }
    QStringList countItems;
    for (QAction* item : menus[0]->menu()->actions()[3]->menu()->actions())
        countItems << item->text() + (item->isEnabled() ? QStringLiteral("!") : QString());
    // Every window that counts records is there.
    EXPECT_EQ(countItems, (QStringList{"Adresář!", "Osobní záznamník!", "Plánovač!"}));
    EXPECT_EQ(action("TextovyEditor")->statusTip(), QStringLiteral("Před otevřením klikni na jméno"));
}

// F1 asks for the focused control's topic, or the window's; the menu item for the contents.
TEST_F(StartupTest, HelpTopics)
{
    startWith(standardAddresses());
    struct Case {
        const char* focus;
        int topic;
    };
    const Case cases[] = {{"HledEdit", 1}, {"Grid", 1}, {"EditHledani", 3}};
    QTest::keyClick(&form(), Qt::Key_F2); // shows the search panel, so its field can take the focus
    for (const Case& c : cases) {
        m_fakes.help.clear();
        QWidget* widget = control<QWidget>(c.focus);
        widget->setFocus();
        QTest::keyClick(widget, Qt::Key_F1);
        EXPECT_EQ(m_fakes.help.topics(), QList<int>{c.topic}) << c.focus;
    }
    m_fakes.help.clear();
    action("ObsahNapovedy")->trigger();
    EXPECT_EQ(m_fakes.help.topics(), QList<int>{1});
}

// The help window shows a Czech text for the topic asked for.
TEST(HelpViewer, ShowsTopicText)
{
    ensureApplication();
    app::HelpViewer viewer;
    viewer.showTopic(3);
    ASSERT_NE(viewer.window(), nullptr);
    auto* browser = viewer.window()->findChild<QTextBrowser*>();
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("Pelmir s telefonními čísly")));
    viewer.showTopic(1);
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("Hledání textu")));
    EXPECT_EQ(viewer.shownTopic(), 1);

    // Readable and centred, not a small window over the main window's menu.
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect help = viewer.window()->geometry();
    EXPECT_GE(help.width(), std::min(640, screen.width() * 9 / 10));
    EXPECT_GE(help.height(), std::min(480, screen.height() * 9 / 10));
    EXPECT_LE((help.center() - screen.center()).manhattanLength(), 2);
}

TEST(CommandLine, WorkdirAndDocument)
{
    struct Case {
        QStringList arguments;
        QString workDir;
        QString document;
        bool error;
    };
    const QString here = QStringLiteral("here");
    const Case cases[] = {
        {{}, here, {}, false},
        {{QStringLiteral("--workdir"), QStringLiteral("w")}, QStringLiteral("w"), {}, false},
        {{QStringLiteral("--workdir=w"), QStringLiteral("dopis.rtf")}, QStringLiteral("w"),
         QStringLiteral("dopis.rtf"), false},
        {{QStringLiteral("a.rtf"), QStringLiteral("b.rtf")}, here, QStringLiteral("a.rtf"), false},
        {{QStringLiteral("--workdir")}, here, {}, true},
        {{QStringLiteral("--import"), QStringLiteral("a.vcf"), QStringLiteral("--export"), QStringLiteral("b.csv")},
         here, {}, true},
        {{QStringLiteral("--export")}, here, {}, true},
    };
    for (const Case& c : cases) {
        const app::CommandLine parsed = app::parseCommandLine(c.arguments, here);
        EXPECT_EQ(parsed.error.isEmpty(), !c.error) << c.arguments.join(' ').toStdString();
        if (!c.error) {
            EXPECT_EQ(parsed.workDir, c.workDir);
            EXPECT_EQ(parsed.document, c.document);
        }
    }
    const app::CommandLine transfer = app::parseCommandLine(
        {QStringLiteral("--import=a.vcf"), QStringLiteral("--conflicts"), QStringLiteral("keep")}, here);
    EXPECT_TRUE(transfer.isTransfer());
    EXPECT_EQ(transfer.importPath, QStringLiteral("a.vcf"));
    EXPECT_EQ(transfer.conflicts, QStringLiteral("keep"));
    EXPECT_TRUE(transfer.document.isEmpty());
}

} // namespace
} // namespace apptest

namespace apptest {
namespace {

// What waits for the first paint (the icon, the check of the table files)
// runs once the main window is up, and the program then goes on as usual.
TEST_F(StartupTest, WorkAfterTheFirstPaintRunsWithTheMainWindowShown)
{
    tools::makeDataDir(tools::sourceSeedsDir(), workDir());
    app::CommandLine commandLine;
    commandLine.workDir = QString::fromStdString(workDir().string());
    int runs = 0;
    bool mainWindowShown = false;
    EXPECT_EQ(app::runWithServices(commandLine,
                                   [&] {
                                       ++runs;
                                       for (QWidget* window : QApplication::topLevelWidgets())
                                           mainWindowShown |= window->objectName() == QStringLiteral("MainForm") &&
                                                              window->isVisible();
                                       QCoreApplication::exit(0);
                                   }),
              0);
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(mainWindowShown);
    EXPECT_TRUE(m_fakes.dialogs.shown().isEmpty()) << m_fakes.dialogs.lastBox().text.toStdString();
}

// A second instance on the same working directory must say so in Czech and
// end without touching the tables.
TEST_F(StartupTest, SecondInstanceIsRefused)
{
    tools::makeDataDir(tools::sourceSeedsDir(), workDir());
    const std::filesystem::path data = workDir() / "Data";
    auto held = store::InstanceLock::acquire(data);
    ASSERT_NE(held, nullptr);
    const auto before = std::filesystem::last_write_time(data / "Dat.DB");

    app::CommandLine commandLine;
    commandLine.workDir = QString::fromStdString(workDir().string());
    EXPECT_NE(app::runWithServices(commandLine), 0);
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    EXPECT_EQ(m_fakes.dialogs.lastBox().text,
              QStringLiteral("Pelmir a telefony už běží nad tímto pracovním adresářem. Přepněte "
                             "se do spuštěného programu, nebo ho ukončete a spusťte program znovu."));
    EXPECT_EQ(m_fakes.dialogs.lastBox().icon, platform::Icon::Error);
    EXPECT_EQ(std::filesystem::last_write_time(data / "Dat.DB"), before);
    EXPECT_FALSE(splashAlive());
}

// A later window's command binds to its menu item by name: the item is enabled,
// runs the handler, and an error in the handler becomes the error box, not an abort.
TEST_F(StartupTest, BoundCommandEnablesItsItemAndReportsItsErrors)
{
    startWith({});
    // An item of a window not built yet, as the menu makes it: disabled.
    auto* later = new QAction(QStringLiteral("Později"), &form());
    later->setObjectName(QStringLiteral("PozdejsiOkno"));
    later->setEnabled(false);
    const QString name = later->objectName();
    int runs = 0;
    form().bindCommand(name, [&] {
        ++runs;
        throw std::runtime_error("window failed");
    });
    EXPECT_TRUE(later->isEnabled());
    later->trigger();
    EXPECT_EQ(runs, 1);
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    EXPECT_EQ(m_fakes.dialogs.lastBox().text, QStringLiteral("window failed"));
    EXPECT_THROW(form().bindCommand(QStringLiteral("NoSuchItem"), [] {}), std::logic_error);
}

} // namespace
} // namespace apptest
