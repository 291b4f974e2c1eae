#include "BackupFixture.h"

#include "backup/ArchiverSettings.h"
#include "backup/BackupCommands.h"
#include "backup/RestoreProgram.h"
#include "backup/TZalhForm.h"
#include "store/Catalogue.h"
#include "tools/DataDir.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace backuptest {

const QStringList kTableFiles = {
    QStringLiteral("Cas.DB"),     QStringLiteral("Dat.DB"),     QStringLiteral("Datp.DB"),
    QStringLiteral("Datz.DB"),    QStringLiteral("Psc.DB"),     QStringLiteral("Spzzem.DB"),
    QStringLiteral("Svatek.DB"),  QStringLiteral("TelefCR.DB"), QStringLiteral("TelefSvt.DB"),
    QStringLiteral("Vyrob.DB"),   QStringLiteral("Zaloha.DB"),  QStringLiteral("Data.DB"),
    QStringLiteral("Synchro.DB"),
};

void ensureApplication()
{
    if (qApp)
        return;
    static int argc = 1;
    static char name[] = "backup_tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(bytes);
}

QStringList filesIn(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::System | QDir::Hidden, QDir::Name);
}

void BackupFixture::SetUp()
{
    ensureApplication();
    m_fakes.clock.setNow(QDateTime(QDate(2025, 12, 8), QTime(14, 30, 5)));
    tools::makeDataDir(tools::sourceSeedsDir(), workPath().toStdString());
    m_database = std::make_unique<store::Database>(dataPath().toStdString());
    m_database->registerPassword(store::dataTablesPassword());
    m_database->setClock([this] {
        const QDateTime now = m_fakes.clock.now();
        return store::DateTime{now.date().year(), now.date().month(), now.date().day(),
                               now.time().hour(), now.time().minute(), now.time().second()};
    });
}

void BackupFixture::TearDown()
{
    m_database.reset();
}

QString BackupFixture::workPath(const QString& name) const
{
    return name.isEmpty() ? m_fakes.paths.workDir() : QDir(m_fakes.paths.workDir()).filePath(name);
}

QString BackupFixture::dataPath(const QString& name) const
{
    return workPath(QStringLiteral("Data")) + (name.isEmpty() ? QString() : QLatin1Char('/') + name);
}

QString BackupFixture::backupPath(const QString& name) const
{
    return workPath(QStringLiteral("Zaloha")) + (name.isEmpty() ? QString() : QLatin1Char('/') + name);
}

void BackupFixture::addAddresses(const std::vector<std::string>& surnames)
{
    store::Cursor cursor(*m_database, "Dat.DB");
    cursor.open();
    for (const std::string& surname : surnames)
        cursor.insertRecord({surname, "Jan"});
}

std::vector<std::string> BackupFixture::firstFields(const QString& dir, const std::string& table)
{
    store::Database other(dir.toStdString());
    other.registerPassword(store::dataTablesPassword());
    store::Cursor cursor(other, table);
    cursor.open();
    std::vector<std::string> values;
    for (cursor.first(); !cursor.eof(); cursor.next())
        values.push_back(cursor.text(cursor.fields().front().name));
    return values;
}

std::vector<std::string> BackupFixture::restoredSurnames(const QString& workDir)
{
    QTemporaryDir clone;
    for (const QString& folder : {QStringLiteral("Data"), QStringLiteral("Zaloha")}) {
        QDir().mkpath(clone.filePath(folder));
        for (const QString& name : filesIn(QDir(workDir).filePath(folder)))
            QFile::copy(QDir(workDir).filePath(folder + QLatin1Char('/') + name),
                        clone.filePath(folder + QLatin1Char('/') + name));
        const QString staged = QDir(workDir).filePath(folder + QStringLiteral("/.nova"));
        if (QFileInfo(staged).isDir()) {
            QDir().mkpath(clone.filePath(folder + QStringLiteral("/.nova")));
            for (const QString& name : filesIn(staged))
                QFile::copy(QDir(staged).filePath(name), clone.filePath(folder + QStringLiteral("/.nova/") + name));
        }
    }
    backup::RestoreRequest request;
    request.workDir = clone.path();
    if (backup::runRestore(request) != 0)
        return {};
    return firstFields(clone.filePath(QStringLiteral("Data")), "Dat.DB");
}

const QString CommandsFixture::kRestoreProgram = QStringLiteral("/opt/pelmir/pelmir-restore");

void CommandsFixture::SetUp()
{
    BackupFixture::SetUp();
    backup::ensureArchiverFile();
    m_log = std::make_unique<backup::TZalhForm>(database());
    m_commands = std::make_unique<backup::BackupCommands>(
        backup::BackupCommands::Wiring{m_log.get(), [this] { ++m_ended; }, kRestoreProgram, QString()});
}

void CommandsFixture::TearDown()
{
    // The floppy backup leaves its snapshot folder to the archiver, which a
    // fake process never runs.
    for (const auto& started : m_fakes.processes.started()) {
        if (QFileInfo(started.workingDirectory).fileName().startsWith(QStringLiteral("pelmir-arj-")))
            QDir(started.workingDirectory).removeRecursively();
    }
    closeEverything();
    BackupFixture::TearDown();
}

void CommandsFixture::closeEverything()
{
    m_commands.reset();
    m_log.reset();
    m_database.reset();
}

QStringList CommandsFixture::logEntries()
{
    QStringList entries;
    store::Cursor& log = m_log->TableZalh();
    if (!log.isActive())
        return entries;
    for (log.first(); !log.eof(); log.next())
        entries << QString::fromStdString(log.text("Čas") + "|" + log.text("ČasDisk"));
    return entries;
}

} // namespace backuptest
