// The command line as scripts and terminals meet it: options from one table,
// help and version that touch nothing, wrong options refused with exit code
// 2, and moving data in and out on a machine without a display.

#include "app/CommandLine.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

namespace {

struct ParseCase {
    QStringList arguments;
    QString error;      // empty: understood
    QString document;
    QString importPath;
    bool help = false;
};

// The options and how they are written; the toolkit's own options pass, anything else unknown is refused.
TEST(CommandLineParse, OptionsFromTheTable)
{
    const QString none;
    const ParseCase cases[] = {
        {{QStringLiteral("--bogus")}, QStringLiteral("Neznámá volba --bogus."), none, none, false},
        {{QStringLiteral("-x"), QStringLiteral("dopis.rtf")}, QStringLiteral("Neznámá volba -x."), none, none, false},
        {{QStringLiteral("--bogus=1")}, QStringLiteral("Neznámá volba --bogus."), none, none, false},
        {{QStringLiteral("--help=ano")}, QStringLiteral("Volba --help nebere hodnotu."), none, none, false},
        {{QStringLiteral("--import")}, QStringLiteral("Chybí hodnota za volbou --import."), none, none, false},
        {{QStringLiteral("--import=a.vcf")}, none, none, QStringLiteral("a.vcf"), false},
        {{QStringLiteral("--import"), QStringLiteral("-a.vcf")}, none, none, QStringLiteral("-a.vcf"), false},
        // "--" ends the options: a document whose name starts with a dash.
        {{QStringLiteral("--"), QStringLiteral("-dopis.rtf")}, none, QStringLiteral("-dopis.rtf"), none, false},
        // The toolkit takes its own options (and their values) before the program reads the rest.
        {{QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("-reverse"), QStringLiteral("dopis.rtf")},
         none, QStringLiteral("dopis.rtf"), none, false},
        // Help answers whatever follows it; an error before it stays an error.
        {{QStringLiteral("--help"), QStringLiteral("--bogus")}, none, none, none, true},
        {{QStringLiteral("-h")}, none, none, none, true},
        {{QStringLiteral("--bogus"), QStringLiteral("--help")}, QStringLiteral("Neznámá volba --bogus."), none, none, false},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.arguments.join(QLatin1Char(' ')).toStdString());
        const app::CommandLine parsed = app::parseCommandLine(c.arguments, QStringLiteral("here"));
        EXPECT_EQ(parsed.error.toStdString(), c.error.toStdString());
        if (c.error.isEmpty()) {
            EXPECT_EQ(parsed.document, c.document);
            EXPECT_EQ(parsed.importPath, c.importPath);
            EXPECT_EQ(parsed.help, c.help);
        }
    }
}

// The real program, started as a script starts it: no display, a fresh home.
class ProgramOnTerminal : public testing::Test {
protected:
    struct Run {
        int exitCode = -1;
        QString out, err;
    };

    Run run(const QStringList& arguments)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(name));
        environment.insert(QStringLiteral("HOME"), m_home.path());
        environment.insert(QStringLiteral("XDG_DATA_HOME"), m_home.filePath(QStringLiteral("data")));
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(m_here.path());
        process.start(QStringLiteral(PELMIR_PROGRAM), arguments);
        EXPECT_TRUE(process.waitForFinished(60000));
        Run result;
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = QString::fromUtf8(process.readAllStandardOutput());
        result.err = QString::fromUtf8(process.readAllStandardError());
        return result;
    }

    QStringList entries(const QTemporaryDir& dir) const
    {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

    QTemporaryDir m_home, m_here;
};

// Help and version print and end; nothing is made anywhere.
TEST_F(ProgramOnTerminal, HelpAndVersionTouchNothing)
{
    const Run help = run({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0) << help.err.toStdString();
    EXPECT_TRUE(help.out.startsWith(QStringLiteral("Použití: pelmir"))) << help.out.toStdString();
    EXPECT_TRUE(help.err.isEmpty()) << help.err.toStdString();
    const Run version = run({QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.startsWith(QStringLiteral("Pelmir a telefony "))) << version.out.toStdString();
    EXPECT_TRUE(entries(m_home).isEmpty()) << entries(m_home).join(' ').toStdString();
    EXPECT_TRUE(entries(m_here).isEmpty());
}

// A wrong option: the reason and the usage on the error output, exit code 2, nothing made.
TEST_F(ProgramOnTerminal, UnknownOptionIsRefused)
{
    const Run wrong = run({QStringLiteral("--imprt"), QStringLiteral("a.vcf")});
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_TRUE(wrong.out.isEmpty());
    EXPECT_TRUE(wrong.err.startsWith(QStringLiteral("pelmir: Neznámá volba --imprt.\n\nPoužití: pelmir")))
        << wrong.err.toStdString();
    EXPECT_TRUE(entries(m_home).isEmpty());
}

// Import and export need no display: the user's working directory is built on the first use and the data go through.
TEST_F(ProgramOnTerminal, ImportAndExportWithoutADisplay)
{
    QFile card(m_here.filePath(QStringLiteral("a.vcf")));
    ASSERT_TRUE(card.open(QIODevice::WriteOnly));
    card.write("BEGIN:VCARD\r\nVERSION:3.0\r\nN:Nov\xC3\xA1k;Jan\r\nTEL:777 123 456\r\nEND:VCARD\r\n");
    card.close();
    const Run in = run({QStringLiteral("--import"), QStringLiteral("a.vcf")});
    ASSERT_EQ(in.exitCode, 0) << in.err.toStdString();
    EXPECT_TRUE(in.out.contains(QStringLiteral("přidáno 1"))) << in.out.toStdString();
    EXPECT_TRUE(QFile::exists(m_home.filePath(QStringLiteral("data/pelmir/Data/Dat.DB"))));

    const Run out = run({QStringLiteral("--export"), QStringLiteral("b.csv")});
    ASSERT_EQ(out.exitCode, 0) << out.err.toStdString();
    QFile csv(m_here.filePath(QStringLiteral("b.csv")));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_TRUE(csv.readAll().contains("Novák;Jan;;777 123 456;"));
}

} // namespace
