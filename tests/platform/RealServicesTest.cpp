#include "platform/RealServices.h"

#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// Sets an environment variable for one scope and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name))
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~ScopedEnv()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

// A plain folder lies on the machine's disk: reporting that disk's free space
// would make the backup believe a floppy is inserted.
TEST(ConfiguredDrives, OnlyAMountedFolderCountsAsAnInsertedDisk)
{
    QTemporaryDir dir;
    EXPECT_EQ(platform::ConfiguredDrives(dir.path()).floppyFreeSpace(), std::nullopt);
    EXPECT_EQ(platform::ConfiguredDrives(dir.filePath("missing")).floppyFreeSpace(), std::nullopt);
    const std::optional<qint64> root = platform::ConfiguredDrives("/").floppyFreeSpace();
    ASSERT_TRUE(root.has_value());
    EXPECT_GT(*root, 0);
}

TEST(ConfiguredDrives, MountPointComesFromTheEnvironment)
{
    {
        ScopedEnv env("PELMIR_FLOPPY", "/mnt/disketa");
        EXPECT_EQ(platform::ConfiguredDrives().floppyPath(), "/mnt/disketa");
    }
    ScopedEnv env("PELMIR_FLOPPY", QByteArray());
    EXPECT_EQ(platform::ConfiguredDrives().floppyPath(), "/media/floppy");
}

// The XDG rules: an absolute XDG_CONFIG_HOME wins, a relative one is ignored.
TEST(RealPaths, AutostartFollowsXdgConfigHome)
{
    platform::RealPaths paths(QStringLiteral("/srv/pelmir"));
    EXPECT_EQ(paths.workDir(), "/srv/pelmir");
    EXPECT_EQ(paths.dataDir(), "/srv/pelmir/Data");
    {
        ScopedEnv env("XDG_CONFIG_HOME", "/home/jana/.cfg");
        EXPECT_EQ(paths.autostartDir(), "/home/jana/.cfg/autostart");
    }
    {
        ScopedEnv env("XDG_CONFIG_HOME", "relative/cfg");
        EXPECT_EQ(paths.autostartDir(), QDir::home().filePath(".config/autostart"));
    }
    ScopedEnv env("XDG_CONFIG_HOME", QByteArray());
    EXPECT_EQ(paths.autostartDir(), QDir::home().filePath(".config/autostart"));
}

// A job goes where the set-up dialog pointed: here a PDF file, with the
// pages drawn and measured by the font.
TEST(QtPrinter, PrintsIntoTheFileChosenInTheSetUp)
{
    QTemporaryDir dir;
    platform::QtPrinter printer;
    printer.qprinter()->setOutputFormat(QPrinter::PdfFormat);
    printer.qprinter()->setOutputFileName(dir.filePath(QStringLiteral("tisk.pdf")));
    ASSERT_TRUE(printer.usable());
    auto canvas = printer.begin(QStringLiteral("Adresář"));
    ASSERT_TRUE(canvas);
    canvas->setFont(QFont(QStringLiteral("Liberation Sans"), 12));
    EXPECT_GT(canvas->lineHeight(), 0);
    EXPECT_GT(canvas->averageCharWidth(), 0);
    EXPECT_GT(canvas->pageWidth(), canvas->textWidth(QStringLiteral("Novák Jan")));
    EXPECT_GT(canvas->textWidth(QStringLiteral("WWWW")), canvas->textWidth(QStringLiteral("W")));
    canvas->drawText(0, 0, QStringLiteral("Novák Jan"));
    canvas->newPage();
    canvas->drawText(0, 0, QStringLiteral("Svoboda Petr"));
    canvas->finish();

    QFile pdf(dir.filePath(QStringLiteral("tisk.pdf")));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5).startsWith("%PDF"));
}

// The printer measures the characters of addresses from a table of glyph
// advances instead of shaping every line, and hands everything else to the
// shaping engine. Either way the width of the part that fits must be the
// width the canvas gives that part, within the room, and one character more
// must not fit; and the table's widths must be the font's, not a size off.
TEST(QtPrinter, FitsAndMeasuresTextTheSameWay)
{
    QTemporaryDir dir;
    platform::QtPrinter printer;
    printer.qprinter()->setOutputFormat(QPrinter::PdfFormat);
    printer.qprinter()->setOutputFileName(dir.filePath(QStringLiteral("tisk.pdf")));
    auto canvas = printer.begin(QStringLiteral("Adresář"));
    ASSERT_TRUE(canvas);
    const QFont font(QStringLiteral("Liberation Sans"), 8);
    canvas->setFont(font);

    const QString czech = QStringLiteral("Příliš žluťoučký kůň úpěl ďábelské ódy – „Ústí nad Labem“");
    const int shaped = QFontMetrics(font, printer.qprinter()).horizontalAdvance(czech);
    EXPECT_NEAR(canvas->textWidth(czech), shaped, shaped / 50);

    const QStringList texts = {
        czech,
        QStringLiteral("Telefon ☎ 777 123 456"),         // a symbol from another font
        QStringLiteral("Cafe\u0301 U Zlate\u0301ho lva"), // combining accents
    };
    for (const QString& text : texts) {
        const int whole = canvas->textWidth(text);
        ASSERT_GT(whole, 0) << text.toStdString();
        for (const int room : {0, whole / 3, whole / 2, whole - 1, whole, whole + 100}) {
            int width = -1;
            const int length = canvas->fittingLength(text, room, &width);
            SCOPED_TRACE(text.toStdString() + " in " + std::to_string(room));
            EXPECT_EQ(width, canvas->textWidth(text.left(length)));
            EXPECT_LE(width, room);
            if (length < text.size())
                EXPECT_GT(canvas->textWidth(text.left(length + 1)), room);
            else
                EXPECT_EQ(width, whole);
        }
    }
    canvas->finish();
}

// Without a printer and without a chosen file there is nowhere to print:
// the job must not start, and the reason must be there for the error box.
TEST(QtPrinter, RefusesAJobWithNowhereToGo)
{
    platform::QtPrinter printer;
    printer.qprinter()->setOutputFormat(QPrinter::PdfFormat);
    printer.qprinter()->setOutputFileName(QString());
    EXPECT_FALSE(printer.usable());
    EXPECT_EQ(printer.begin(QStringLiteral("Adresář")), nullptr);
    EXPECT_TRUE(printer.errorString().contains(QStringLiteral("tiskárna")));
}

TEST(QtProcesses, ReportsWhetherTheProgramStarted)
{
    platform::QtProcesses processes;
    EXPECT_FALSE(processes.startDetached(QStringLiteral("/nonexistent/RELIDA.EXE"), {}, {}));
    EXPECT_TRUE(processes.startDetached(QStringLiteral("true"), {}, QDir::tempPath()));
}

// The real tick counter must move with real time.
TEST(SystemClock, TickCountFollowsTheMonotonicClock)
{
    platform::SystemClock clock;
    const std::uint32_t start = clock.tickCount();
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 20)
        clock.waitHint(20);
    const std::uint32_t elapsed = clock.tickCount() - start;
    EXPECT_GE(elapsed, 19u);
    EXPECT_LT(elapsed, 10000u);
    EXPECT_EQ(clock.today(), QDate::currentDate());
}

TEST(RealServices, LeavesTonesAndHelpToTheProgram)
{
    platform::RealServices real(QStringLiteral("/srv/pelmir"));
    const platform::Services s = real.services();
    EXPECT_EQ(s.clock, &real.clock);
    EXPECT_EQ(s.paths->workDir(), "/srv/pelmir");
    EXPECT_EQ(s.tones, nullptr);
    EXPECT_EQ(s.help, nullptr);
}

} // namespace
