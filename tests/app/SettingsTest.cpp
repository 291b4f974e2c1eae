// The settings kept outside the tables (grid colours, the autostart entry),
// the record counts and the main window's printing commands.

#include "AppFixture.h"

#include "app/AddressGrid.h"
#include "app/Settings.h"
#include "tools/DataDir.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

using apptest::AppFixture;

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString errorText(const std::function<void()>& action)
{
    try {
        action();
    } catch (const app::SettingsError& error) {
        return QString::fromUtf8(error.what());
    }
    return {};
}

// The 4-byte record is red + 256 * green + 65536 * blue, least significant
// byte first; a longer file counts only its first record, a shorter one is
// the run-time error "Read beyond end of file".
TEST(ColourFiles, ReadWriteAndRejectShortFiles)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Barva.cfg"));
    struct Case {
        QByteArray bytes;
        QColor colour;
    };
    const std::vector<Case> cases = {
        {QByteArray::fromHex("ff000000"), QColor(255, 0, 0)},
        {QByteArray::fromHex("0000ff00"), QColor(0, 0, 255)},
        {QByteArray::fromHex("102030"
                             "00"),
         QColor(0x10, 0x20, 0x30)},
        {QByteArray::fromHex("00ff0000aabbccdd"), QColor(0, 255, 0)},
    };
    for (const Case& c : cases) {
        writeBytes(path, c.bytes);
        EXPECT_EQ(app::readColourFile(path), c.colour) << c.bytes.toHex().constData();
    }
    for (const Case& c : cases) {
        app::writeColourFile(path, c.colour);
        EXPECT_EQ(readBytes(path), c.bytes.left(4));
    }
    EXPECT_EQ(app::colourValue(QColor(1, 2, 3)), 0x030201u);

    for (const QByteArray& shortFile : {QByteArray(), QByteArray("\xff\x00\x00", 3)}) {
        writeBytes(path, shortFile);
        EXPECT_EQ(errorText([&] { app::readColourFile(path); }), "Read beyond end of file");
    }
    EXPECT_EQ(app::readColourFile(dir.filePath(QStringLiteral("missing.cfg"))), std::nullopt);

    // A folder that is a file cannot hold the colour file.
    const QString blocked = dir.filePath(QStringLiteral("file/Barva.cfg"));
    writeBytes(dir.filePath(QStringLiteral("file")), "x");
    EXPECT_EQ(errorText([&] { app::writeColourFile(blocked, Qt::red); }),
              QStringLiteral("Cannot create file ") + blocked);
}

// Installing copies the delivered entry byte for byte (making the autostart
// folder when the desktop has none yet); the errors name the file at fault.
TEST(AutostartEntry, InstallsRemovesAndReportsErrors)
{
    QTemporaryDir dir;
    const QString workDir = dir.filePath(QStringLiteral("work"));
    const QString autostart = dir.filePath(QStringLiteral("config/autostart"));
    const QString source = QDir(workDir).filePath(app::kAutostartEntry);

    EXPECT_EQ(errorText([&] { app::installAutostart(source, autostart); }),
              QStringLiteral("Cannot open file ") + source);
    EXPECT_FALSE(app::autostartInstalled(autostart));

    tools::writeAutostartEntry(workDir.toStdString(), "/opt/pelmir dir/pelmir");
    const QByteArray entry = readBytes(source);
    EXPECT_TRUE(entry.contains("Exec=\"/opt/pelmir dir/pelmir\" --workdir \""));
    EXPECT_TRUE(entry.contains("Path=" + workDir.toUtf8()));

    app::installAutostart(source, autostart);
    EXPECT_TRUE(app::autostartInstalled(autostart));
    EXPECT_EQ(readBytes(QDir(autostart).filePath(app::kAutostartEntry)), entry);
    app::installAutostart(source, autostart); // replaces
    app::removeAutostart(autostart);
    EXPECT_FALSE(app::autostartInstalled(autostart));
    app::removeAutostart(autostart); // nothing there: nothing to do

    writeBytes(dir.filePath(QStringLiteral("blocked")), "x");
    const QString blocked = dir.filePath(QStringLiteral("blocked/autostart"));
    EXPECT_EQ(errorText([&] { app::installAutostart(source, blocked); }),
              QStringLiteral("Cannot create file ") + QDir(blocked).filePath(app::kAutostartEntry));
}

// A write that fails part way, as on a full disk: the process may write no
// file longer than `bytes` while this lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN); // the write fails instead of ending the test
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

// A full disk must not empty a settings file: the old file stays byte for
// byte and the failure is reported, never a 0-byte file and success.
TEST(SettingsFiles, FailedWritesKeepTheOldFileAndSaySo)
{
    QTemporaryDir dir;
    const QString colours = dir.filePath(QStringLiteral("Barva.cfg"));
    writeBytes(colours, QByteArray::fromHex("ff000000"));
    const QString workDir = dir.filePath(QStringLiteral("work"));
    const QString autostart = dir.filePath(QStringLiteral("autostart"));
    tools::writeAutostartEntry(workDir.toStdString(), "/opt/pelmir/pelmir");
    const QString source = QDir(workDir).filePath(app::kAutostartEntry);
    const QString target = QDir(autostart).filePath(app::kAutostartEntry);
    QDir().mkpath(autostart);
    writeBytes(target, "[Desktop Entry]\nName=old\n");
    {
        const FileSizeLimit full(2);
        const QString colourError = errorText([&] { app::writeColourFile(colours, Qt::blue); });
        const QString entryError = errorText([&] { app::installAutostart(source, autostart); });
        for (const QString& error : {colourError, entryError}) {
            EXPECT_TRUE(error.contains(QStringLiteral("nelze zapsat"))) << error.toStdString();
            EXPECT_TRUE(error.contains(QStringLiteral("zůstal beze změny"))) << error.toStdString();
        }
    }
    EXPECT_EQ(readBytes(colours), QByteArray::fromHex("ff000000"));
    EXPECT_EQ(readBytes(target), QByteArray("[Desktop Entry]\nName=old\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1) << "a temporary file was left";
    EXPECT_EQ(QDir(autostart).entryList(QDir::Files | QDir::Hidden).size(), 1) << "a temporary file was left";
}

// What stands in a settings file's place may be no file at all: a link
// (dangling, to a system file, to a device), a pipe, a folder. Each is
// refused with a clear text, nothing is created, replaced or followed, and
// nothing waits on a pipe.
TEST(SettingsFiles, OnlyRegularFilesAreReadOrWritten)
{
    QTemporaryDir dir;
    const QString workDir = dir.filePath(QStringLiteral("work"));
    QDir().mkpath(workDir);
    const QString autostart = dir.filePath(QStringLiteral("autostart"));
    QDir().mkpath(autostart);
    const QString elsewhere = dir.filePath(QStringLiteral("elsewhere.txt"));
    writeBytes(elsewhere, "someone else's file");
    const QString source = QDir(workDir).filePath(app::kAutostartEntry);
    const QString target = QDir(autostart).filePath(app::kAutostartEntry);
    const QString colours = QDir(workDir).filePath(app::kBackgroundColourFile);

    struct Case {
        const char* name;
        std::function<void()> arrange;
        std::function<void()> act;
    };
    const auto link = [](const QString& to, const QString& at) { ASSERT_TRUE(QFile::link(to, at)); };
    const auto fifo = [](const QString& at) { ASSERT_EQ(::mkfifo(QFile::encodeName(at).constData(), 0600), 0); };
    const auto entry = [&] { tools::writeAutostartEntry(workDir.toStdString(), "/opt/pelmir/pelmir"); };
    const std::vector<Case> cases = {
        {"colour file linked elsewhere", [&] { link(elsewhere, colours); },
         [&] { app::writeColourFile(colours, Qt::blue); }},
        {"colour file linked elsewhere, read", [&] { link(elsewhere, colours); }, [&] { app::readColourFile(colours); }},
        {"colour file is a pipe", [&] { fifo(colours); }, [&] { app::readColourFile(colours); }},
        {"colour file is a folder", [&] { QDir().mkpath(colours); }, [&] { app::writeColourFile(colours, Qt::blue); }},
        {"autostart place holds a dangling link",
         [&] {
             entry();
             link(dir.filePath(QStringLiteral("nowhere/made.desktop")), target);
         },
         [&] { app::installAutostart(source, autostart); }},
        {"autostart place links elsewhere",
         [&] {
             entry();
             link(elsewhere, target);
         },
         [&] { app::installAutostart(source, autostart); }},
        {"entry is a pipe", [&] { fifo(source); }, [&] { app::installAutostart(source, autostart); }},
        {"entry links to a device", [&] { link(QStringLiteral("/dev/zero"), source); },
         [&] { app::installAutostart(source, autostart); }},
        {"entry links to a system file", [&] { link(QStringLiteral("/etc/passwd"), source); },
         [&] { app::installAutostart(source, autostart); }},
        {"autostart place is a folder", [&] { QDir().mkpath(target); }, [&] { app::removeAutostart(autostart); }},
    };
    for (const Case& c : cases) {
        for (const QString& path : {source, target, colours}) {
            QFile::remove(path);
            QDir(path).removeRecursively();
        }
        c.arrange();
        const QString error = errorText(c.act);
        EXPECT_TRUE(error.contains(QStringLiteral("ne obyčejný soubor"))) << c.name << ": " << error.toStdString();
        EXPECT_EQ(readBytes(elsewhere), QByteArray("someone else's file")) << c.name;
        EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("nowhere")))) << c.name;
        EXPECT_NE(QFileInfo(target).isFile() && !QFileInfo(target).isSymLink(), true) << c.name << ": installed";
    }
    EXPECT_FALSE(app::autostartInstalled(autostart));
}

class SettingsWindowTest : public AppFixture {
protected:
    app::AddressGrid* grid() { return control<app::AddressGrid>("Grid"); }
    QString autostartEntry() const
    {
        return QDir(m_fakes.paths.autostartDir()).filePath(app::kAutostartEntry);
    }
};

// Saved colours are applied at start; without files the grid keeps its design colours.
TEST_F(SettingsWindowTest, SavedColoursApplyAtStart)
{
    beforeStart = [this] {
        writeBytes(workPath("Barva.cfg"), QByteArray::fromHex("ff000000"));
        writeBytes(workPath("Barva1.cfg"), QByteArray::fromHex("0000ff00"));
    };
    startWith(apptest::standardAddresses());
    EXPECT_EQ(grid()->cellBackground(), QColor(Qt::red));
    EXPECT_EQ(grid()->cellText(), QColor(Qt::blue));
    EXPECT_TRUE(m_fakes.dialogs.shown().isEmpty());
}

// A short background file is an error box at start, and the rest of the
// start-up step (text colour, autostart items) is skipped.
TEST_F(SettingsWindowTest, ShortColourFileSkipsTheRestOfTheStartUpStep)
{
    beforeStart = [this] {
        writeBytes(workPath("Barva.cfg"), QByteArray("\x01\x02", 2));
        writeBytes(workPath("Barva1.cfg"), QByteArray::fromHex("0000ff00"));
        tools::writeAutostartEntry(workDir(), "pelmir");
        app::installAutostart(workPath("Pelmir.desktop"), m_fakes.paths.autostartDir());
    };
    startWith(apptest::standardAddresses());
    ASSERT_EQ(m_startupBoxes.size(), 1);
    EXPECT_EQ(m_startupBoxes.at(0).text, "Read beyond end of file");
    EXPECT_EQ(m_startupBoxes.at(0).caption, "Pelmir a telefony");
    EXPECT_EQ(grid()->cellText(), QColor(Qt::black));
    EXPECT_TRUE(action("SpoustetPriStartu")->isEnabled());
    EXPECT_FALSE(action("NespoustetPriStartu")->isEnabled());
}

// Choosing colours: the grid changes at once, the files are written, the
// dialog opens on the last colour chosen in it (for either command), a
// cancelled dialog changes nothing; the colours survive a restart.
TEST_F(SettingsWindowTest, ChosenColoursAreKeptAndSurviveARestart)
{
    startWith(apptest::standardAddresses());
    m_fakes.dialogs.answerNextColor(QColor(0, 128, 0));
    action("BarvaPozadi")->trigger();
    EXPECT_EQ(grid()->cellBackground(), QColor(0, 128, 0));
    EXPECT_EQ(readBytes(workPath("Barva.cfg")), QByteArray::fromHex("00800000"));

    m_fakes.dialogs.answerNextColor(std::nullopt);
    action("BarvaTextu")->trigger();
    EXPECT_FALSE(QFile::exists(workPath("Barva1.cfg")));
    m_fakes.dialogs.answerNextColor(QColor(128, 0, 128));
    action("BarvaTextu")->trigger();
    EXPECT_EQ(grid()->cellText(), QColor(128, 0, 128));
    EXPECT_EQ(m_fakes.dialogs.colourRequests(),
              (QList<QColor>{Qt::black, QColor(0, 128, 0), QColor(0, 128, 0)}));

    restart();
    EXPECT_EQ(grid()->cellBackground(), QColor(0, 128, 0));
    EXPECT_EQ(grid()->cellText(), QColor(128, 0, 128));
}

// A colour file that cannot be written is an error box; the grid keeps the colour.
TEST_F(SettingsWindowTest, UnwritableColourFileIsReported)
{
    startWith(apptest::standardAddresses());
    QDir(workPath(QString())).mkdir(QStringLiteral("Barva.cfg")); // a folder in the file's way
    m_fakes.dialogs.answerNextColor(QColor(Qt::yellow));
    action("BarvaPozadi")->trigger();
    EXPECT_EQ(grid()->cellBackground(), QColor(Qt::yellow));
    EXPECT_TRUE(m_fakes.dialogs.lastBox().text.contains(QStringLiteral("je složka, ne obyčejný soubor")))
        << m_fakes.dialogs.lastBox().text.toStdString();
    EXPECT_TRUE(QFileInfo(workPath(QStringLiteral("Barva.cfg"))).isDir());

    // A working directory that cannot be written: the toolkit's own text.
    QDir(workPath(QStringLiteral("Barva.cfg"))).removeRecursively();
    const QString blocked = workPath(QStringLiteral("blocked"));
    writeBytes(blocked, "x");
    EXPECT_EQ(errorText([&] { app::writeColourFile(blocked + "/Barva.cfg", Qt::red); }),
              QStringLiteral("Cannot create file ") + blocked + "/Barva.cfg");
}

// The two autostart items: one of them enabled, following the entry's presence
// at start and each command; a question answered No or a failure changes nothing.
TEST_F(SettingsWindowTest, AutostartItemsFollowTheEntry)
{
    startWith(apptest::standardAddresses());
    QAction* on = action("SpoustetPriStartu");
    QAction* off = action("NespoustetPriStartu");
    EXPECT_TRUE(on->isEnabled());
    EXPECT_FALSE(off->isEnabled());

    on->trigger(); // no entry delivered in the working directory
    EXPECT_EQ(m_fakes.dialogs.shown().at(0).text, "Program bude spuštěn vždy po startu počítače");
    EXPECT_EQ(m_fakes.dialogs.lastBox().text,
              QStringLiteral("Cannot open file ") + workPath("Pelmir.desktop"));
    EXPECT_TRUE(on->isEnabled());

    tools::writeAutostartEntry(workDir(), "pelmir");
    m_fakes.dialogs.answerNext(platform::Button::No);
    on->trigger();
    EXPECT_FALSE(QFile::exists(autostartEntry()));
    on->trigger();
    EXPECT_TRUE(QFile::exists(autostartEntry()));
    EXPECT_FALSE(on->isEnabled());
    EXPECT_TRUE(off->isEnabled());

    restart();
    on = action("SpoustetPriStartu");
    off = action("NespoustetPriStartu");
    EXPECT_FALSE(on->isEnabled());
    EXPECT_TRUE(off->isEnabled());
    off->trigger();
    EXPECT_EQ(m_fakes.dialogs.lastBox().text, "Program přestane být spouštěn po startu počítače");
    EXPECT_FALSE(QFile::exists(autostartEntry()));
    EXPECT_TRUE(on->isEnabled());
    EXPECT_FALSE(off->isEnabled());
}

// The count replaces the logo until the panel timer fires.
TEST_F(SettingsWindowTest, RecordCountShowsOverTheLogoUntilTheTimerFires)
{
    startWith({{"Novák", "Jan", "", "", ""}});
    auto* label = control<QLabel>("LabelPocetZaznamu");
    auto* logo = control<QLabel>("ImageLogo");
    action("PocetAdresar")->trigger();
    EXPECT_EQ(label->text(), "V adresáři je 1 záznamů");
    EXPECT_TRUE(label->isVisible());
    EXPECT_FALSE(logo->isVisible());
    QTimer* timer = form().panelTimer();
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 3000);
    // The personal records count through their window's cursor.
    action("PocetOsobniZaznamnik")->trigger();
    EXPECT_EQ(label->text(), "V záznamníku je 0 záznamů");

    timer->setInterval(1); // the firing, without waiting three seconds
    QTRY_VERIFY(!label->isVisible());
    EXPECT_TRUE(logo->isVisible());
    EXPECT_FALSE(timer->isActive());
    EXPECT_EQ(timer->interval(), 3000);
}

// Printing as lines asks first, prints the blocks and leaves the grid where it stood.
TEST_F(SettingsWindowTest, LinePrintingAsksPrintsAndKeepsThePosition)
{
    startWith(apptest::standardAddresses());
    table().findNearest("Kasanová");
    m_fakes.dialogs.answerNext(platform::Button::No);
    action("TiskVsechZaznamu")->trigger();
    EXPECT_EQ(m_fakes.dialogs.lastBox().text, "Chcete vytisknout celý obsah adresáře?");
    EXPECT_TRUE(m_fakes.printer.jobs().isEmpty());

    action("TiskVsechZaznamu")->trigger();
    ASSERT_EQ(m_fakes.printer.jobs().size(), 1);
    // Five lines and an empty one for each address, none after the last.
    EXPECT_EQ(m_fakes.printer.lastJob().pageLines(1).size(), 7 * 6 - 1);
    action("TiskJmenSAdresami")->trigger();
    EXPECT_EQ(m_fakes.dialogs.lastBox().text, "Chcete vytisknout jména s adresami a telefony?");
    EXPECT_EQ(m_fakes.printer.lastJob().pageLines(1).size(), 7 * 5 - 1);
    EXPECT_EQ(currentSurname(), "Kasanová");

    m_fakes.printer.setAvailable(false);
    action("TiskVsechZaznamu")->trigger();
    EXPECT_EQ(m_fakes.dialogs.lastBox().caption, "Pelmir a telefony");
    EXPECT_EQ(m_fakes.dialogs.lastBox().text, m_fakes.printer.errorString());
    EXPECT_EQ(currentSurname(), "Kasanová");
}

// The printer set-up dialog opens on the printer every later print uses.
TEST_F(SettingsWindowTest, PrinterSetUpOpensTheDialog)
{
    startWith(apptest::standardAddresses());
    action("NastaveniTiskarny")->trigger();
    EXPECT_EQ(m_fakes.dialogs.printerSetupDialogs(), 1);
}

} // namespace

namespace {

// The report menu items preview the reports modally; afterwards the grid
// stands on the last address. An empty address book shows no preview.
TEST_F(SettingsWindowTest, ReportPreviewLeavesTheGridOnTheLastAddress)
{
    startWith(apptest::standardAddresses());
    for (const char* item : {"AdresarVsechnyUdaje", "AdresarJmenaSTelefony"}) {
        table().first();
        QString caption;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (QWidget* modal = QApplication::activeModalWidget(); modal && modal->isVisible()) {
                caption = modal->windowTitle();
                modal->close();
            }
        });
        poll.start(5);
        action(item)->trigger();
        EXPECT_EQ(caption, "Print Preview") << item;
        EXPECT_EQ(currentSurname(), "Zeman") << item;
    }
    EXPECT_TRUE(m_fakes.dialogs.shown().isEmpty());
}

} // namespace
