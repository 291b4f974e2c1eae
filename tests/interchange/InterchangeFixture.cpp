#include "InterchangeFixture.h"

#include "interchange/ParadoxProcess.h"

#include "store/Catalogue.h"
#include "tools/DataDir.h"

#include <QApplication>
#include <QFile>

void ensureApplication()
{
    if (QApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "interchange_tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

void InterchangeFixture::SetUp()
{
    ensureApplication();
    // Paradox tables are read by the helper the tests build, not by the test program itself.
    interchange::setParadoxReaderCommand(QStringLiteral(PARADOX_READER_CHILD));
    ASSERT_TRUE(m_dir.isValid());
    tools::makeDataDir(tools::sourceSeedsDir(), workDir());
    m_database = std::make_unique<store::Database>(dataDir());
    m_database->registerPassword(store::dataTablesPassword());
}

void InterchangeFixture::insert(const std::string& table, const std::vector<std::vector<std::string>>& rows)
{
    store::Cursor cursor(*m_database, table);
    cursor.open();
    for (const auto& row : rows)
        cursor.insertRecord(row);
}

std::vector<std::vector<QString>> InterchangeFixture::records(const std::string& table)
{
    std::vector<std::vector<QString>> result;
    store::Cursor cursor(*m_database, table);
    cursor.open();
    for (cursor.first(); !cursor.eof(); cursor.next()) {
        std::vector<QString> fields;
        for (const store::FieldDef& field : cursor.fields())
            fields.push_back(QString::fromStdString(cursor.text(field.name)));
        result.push_back(fields);
    }
    return result;
}

QByteArray InterchangeFixture::fileBytes(const std::string& table) const
{
    QFile file(QString::fromStdString((dataDir() / table).string()));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::filesystem::path InterchangeFixture::writeFile(const std::string& name, const QByteArray& bytes) const
{
    const std::filesystem::path path = workDir() / name;
    QFile file(QString::fromStdString(path.string()));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        ADD_FAILURE() << "cannot write " << path;
    return path;
}

std::vector<QString> address(const char* surname, const char* first, const char* place, const char* phone,
                             const char* note)
{
    return {QString::fromUtf8(surname), QString::fromUtf8(first), QString::fromUtf8(place),
            QString::fromUtf8(phone), QString::fromUtf8(note)};
}
