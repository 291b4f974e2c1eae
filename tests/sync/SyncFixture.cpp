#include "SyncFixture.h"

#include "store/Catalogue.h"
#include "store/Cursor.h"
#include "tools/DataDir.h"

#include <QApplication>

void ensureApplication()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "sync_tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

void SyncFixture::SetUp()
{
    ensureApplication();
    ASSERT_TRUE(m_dir.isValid());
    tools::makeDataDir(tools::sourceSeedsDir(), m_dir.path().toStdString());
    m_database = std::make_unique<store::Database>(std::filesystem::path(m_dir.path().toStdString()) / "Data");
    m_database->registerPassword(store::dataTablesPassword());
}

std::map<QString, davsync::Fields> SyncFixture::addresses()
{
    std::map<QString, davsync::Fields> result;
    store::Cursor cursor(*m_database, "Dat.DB");
    cursor.open();
    for (cursor.first(); !cursor.eof(); cursor.next()) {
        davsync::Fields fields;
        for (const store::FieldDef& field : cursor.fields())
            fields.push_back(QString::fromStdString(cursor.text(field.name)));
        result[fields[0]] = fields;
    }
    return result;
}

void SyncFixture::addAddresses(const std::vector<davsync::Fields>& records)
{
    store::Cursor cursor(*m_database, "Dat.DB");
    cursor.open();
    std::vector<store::Cursor::RecordWrite> writes;
    for (const davsync::Fields& fields : records) {
        store::Cursor::RecordWrite write;
        for (const QString& field : fields)
            write.texts.push_back(field.toStdString());
        writes.push_back(std::move(write));
    }
    cursor.writeRecords(writes);
}

void SyncFixture::changeAddress(const QString& key, const davsync::Fields& fields)
{
    store::Cursor cursor(*m_database, "Dat.DB");
    cursor.open();
    ASSERT_TRUE(cursor.findKey(key.toStdString())) << key.toStdString();
    cursor.edit();
    const char* names[] = {"Příjmení", "Jméno", "Adresa", "Telefon", "Poznámka"};
    for (std::size_t i = 0; i < fields.size(); ++i)
        cursor.setText(names[i], fields[i].toStdString());
    cursor.post();
}

void SyncFixture::deleteAddress(const QString& key)
{
    store::Cursor cursor(*m_database, "Dat.DB");
    cursor.open();
    ASSERT_TRUE(cursor.findKey(key.toStdString())) << key.toStdString();
    cursor.remove();
}

davsync::Fields person(const char* surname, const char* first, const char* address, const char* phone, const char* note)
{
    return {QString::fromUtf8(surname), QString::fromUtf8(first), QString::fromUtf8(address), QString::fromUtf8(phone),
            QString::fromUtf8(note)};
}
