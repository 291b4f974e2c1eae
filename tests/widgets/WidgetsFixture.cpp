#include "WidgetsFixture.h"

#include "store/TableDef.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

namespace widgets_test {

const std::string WidgetsFixture::kTable = "Adr.DB";

void ensureApplication()
{
    if (QApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "widgets_tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

void WidgetsFixture::SetUp()
{
    ensureApplication();
    ASSERT_TRUE(m_dir.isValid());
    store::TableDef def;
    def.fileName = kTable;
    def.fields = {
        {"Příjmení", store::FieldKind::Text, 30, store::FieldDefault::None},
        {"Jméno", store::FieldKind::Text, 20, store::FieldDefault::None},
        {"Telefon", store::FieldKind::Text, 20, store::FieldDefault::None},
    };
    def.primaryKey = "Příjmení";
    def.catalogueFiles = {kTable};
    const std::filesystem::path dataDir = m_dir.path().toStdString();
    store::Database::createTable(dataDir, def, "");
    m_database = std::make_unique<store::Database>(dataDir);
    m_cursor = std::make_unique<store::Cursor>(*m_database, kTable);
    m_cursor->open();
    m_cursor->afterEdit.connect([this] { ++m_afterEdit; });
}

void WidgetsFixture::TearDown()
{
    m_cursor.reset();
    m_database.reset();
}

void WidgetsFixture::addPeople(const std::vector<std::string>& surnames)
{
    for (const std::string& surname : surnames)
        m_cursor->insertRecord({surname, "J" + surname, "1"});
    m_cursor->first();
}

void WidgetsFixture::showActive(QWidget& window)
{
    window.resize(640, 400);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

} // namespace widgets_test
