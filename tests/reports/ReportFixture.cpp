#include "ReportFixture.h"

#include "tools/DataDir.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

#include <filesystem>

namespace reporttest {

void ensureApplication()
{
    if (qApp)
        return;
    static int argc = 1;
    static char name[] = "reports_tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

std::vector<Address> manyAddresses()
{
    std::vector<Address> result = {
        {"Adámek", "Jiří", "Brno, Lidická 5", "541 222 333", "kolega z práce"},
        {"Bartoš", "Petr", "Praha 2, Vinohradská 12", "602 111 222", ""},
        {"Beneš", "Šárka", "Olomouc, Horní náměstí 1", "585 000 111", "sestřenice"},
    };
    const char* const others[] = {
        "Čermák", "Dvořák",  "Fiala",    "Hájek", "Chalupa", "Jelínek", "Kovář",
        "Krejčí", "Marek",   "Navrátil", "Novák", "Pokorný", "Růžička", "Řezníček",
        "Sýkora", "Šťastný", "Tůma",     "Urban", "Veselý",  "Zelenka", "Žák",
    };
    int n = 0;
    for (const char* surname : others) {
        ++n;
        result.push_back({surname, "Květoslava", "Ústí nad Labem, Žižkova " + std::to_string(n),
                          "777 000 " + std::to_string(100 + n), "číslo " + std::to_string(n)});
    }
    return result;
}

std::optional<QStringList> pdfPages(const QString& fileName)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty())
        return std::nullopt;
    QProcess process;
    process.start(tool, {QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8"),
                         fileName, QStringLiteral("-")});
    if (!process.waitForFinished(30000) || process.exitCode() != 0) {
        ADD_FAILURE() << "pdftotext failed: " << process.readAllStandardError().toStdString();
        return QStringList();
    }
    QStringList pages = QString::fromUtf8(process.readAllStandardOutput()).split(QChar('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast(); // after the last page's form feed
    return pages;
}

QStringList textLines(const QString& page)
{
    QStringList lines;
    for (const QString& line : page.split(QChar('\n'))) {
        const QString trimmed = line.trimmed();
        if (!trimmed.isEmpty())
            lines.append(trimmed);
    }
    return lines;
}

void whenModalShown(std::function<void(QDialog&)> action)
{
    auto* poll = new QTimer;
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    QObject::connect(poll, &QTimer::timeout, poll, [poll, started, action = std::move(action)] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) {
            if (started->elapsed() > 5000) {
                poll->deleteLater();
                poll->stop();
                ADD_FAILURE() << "no modal dialog came up";
            }
            return;
        }
        poll->stop();
        poll->deleteLater();
        action(*dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
    poll->start(5);
}

void ReportTest::SetUp()
{
    ensureApplication();
    ASSERT_TRUE(m_dir.isValid());
    m_fakes.clock.setNow(QDateTime(QDate(2025, 3, 5), QTime(9, 30)));
}

void ReportTest::TearDown()
{
    m_cursor.reset();
    m_database.reset();
}

store::Cursor& ReportTest::openAddresses(const std::vector<Address>& addresses)
{
    const std::filesystem::path workDir =
        std::filesystem::path(m_dir.path().toStdString()) / "work";
    tools::makeDataDir(tools::sourceSeedsDir(), workDir);
    m_fakes.paths.setWorkDir(QString::fromStdString(workDir.string()));
    m_database = std::make_unique<store::Database>(workDir / "Data");
    m_cursor = std::make_unique<store::Cursor>(*m_database, "Dat.DB");
    m_cursor->open();
    for (const Address& a : addresses)
        m_cursor->insertRecord({a.surname, a.name, a.address, a.phone, a.note});
    m_cursor->first();
    return *m_cursor;
}

} // namespace reporttest
