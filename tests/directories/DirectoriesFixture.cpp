#include "DirectoriesFixture.h"

#include "store/Catalogue.h"
#include "tools/DataDir.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTableView>
#include <QTest>

namespace dirtest {

void ensureApplication()
{
    if (QApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "directories_tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

void DirectoriesTest::SetUp()
{
    ensureApplication();
    ASSERT_TRUE(m_dir.isValid());
    tools::makeDataDir(tools::sourceSeedsDir(), m_dir.path().toStdString());
    m_database = std::make_unique<store::Database>(dataDir());
    m_database->setClock([] { return store::DateTime{2025, 12, 8, 14, 30, 5}; });
    m_fakes.clock.setNow(QDateTime(QDate(2025, 12, 8), QTime(14, 30, 5)));
}

void DirectoriesTest::TearDown()
{
    stopModelChecks();
    m_database.reset();
}

void DirectoriesTest::checkModel(QAbstractItemModel* model)
{
    m_modelChecks.push_back(
        std::make_unique<QAbstractItemModelTester>(model, QAbstractItemModelTester::FailureReportingMode::Fatal));
}

std::filesystem::path DirectoriesTest::dataDir() const
{
    return std::filesystem::path(m_dir.path().toStdString()) / "Data";
}

void DirectoriesTest::addRecords(const std::string& table, const std::vector<std::vector<std::string>>& records)
{
    m_database->registerPassword(store::dataTablesPassword());
    store::Cursor cursor(*m_database, table);
    cursor.open();
    for (const auto& record : records)
        cursor.insertRecord(record);
    cursor.close();
}

QStringList DirectoriesTest::column(const std::string& table, const std::string& field)
{
    m_database->registerPassword(store::dataTablesPassword());
    store::Cursor cursor(*m_database, table);
    cursor.open();
    QStringList values;
    for (cursor.first(); !cursor.eof(); cursor.next())
        values << QString::fromStdString(cursor.text(field));
    cursor.close();
    return values;
}

void DirectoriesTest::showActive(QWidget& window)
{
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

void DirectoriesTest::click(const QWidget& window, const char* buttonName)
{
    auto* button = child<QAbstractButton>(window, buttonName);
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->isEnabled()) << buttonName;
    QTest::mouseClick(button, Qt::LeftButton);
}

void DirectoriesTest::typeText(QWidget* widget, const QString& text)
{
    widget->setFocus();
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key(c.toUpper().unicode()), QString(c),
                            Qt::NoModifier);
}

void DirectoriesTest::key(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

void DirectoriesTest::clickCell(QWidget* grid, int row, int column)
{
    auto* view = qobject_cast<QTableView*>(grid);
    ASSERT_NE(view, nullptr);
    const QModelIndex index = view->model()->index(row, column);
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
}

} // namespace dirtest
