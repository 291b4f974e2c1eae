#include "AppFixture.h"

#include "store/Cursor.h"
#include "store/Database.h"
#include "tools/DataDir.h"
#include "tools/Pictures.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QTest>
#include <QTimer>

namespace apptest {

void ensureApplication()
{
    if (qApp)
        return;
    static int argc = 1;
    static char name[] = "app_tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

std::vector<Address> standardAddresses()
{
    return {
        {"Čermák", "Jan", "Brno, Lidická 5", "541 222 333", "kolega"},
        {"Dvořák", "Petr", "Praha 2, Vinohradská 12", "602 111 222", ""},
        {"Kasanová", "Marie", "Olomouc, Horní náměstí 1", "585 000 111", "sestřenice"},
        {"Nekola", "Karel", "Plzeň, Americká 3", "377 123 456", ""},
        {"Nohavica", "Jaromír", "Ostrava, Nádražní 8", "596 333 444", ""},
        {"Novák", "Josef", "Praha 4, Budějovická 40", "603 555 666", "soused"},
        {"Zeman", "Pavel", "Liberec, Pražská 2", "485 777 888", "ČEZ"},
    };
}

void AppFixture::SetUp()
{
    ensureApplication();
    // "Konec" in an earlier test told the application to end; until its main
    // loop runs once more, every nested loop (a modal preview) would return at
    // once. One short run of the main loop clears that.
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
    ASSERT_TRUE(m_dir.isValid());
}

void AppFixture::TearDown()
{
    m_app.reset();
}

std::filesystem::path AppFixture::workDir() const
{
    return std::filesystem::path(m_dir.path().toStdString()) / "workdir";
}

void AppFixture::startWith(const std::vector<Address>& addresses)
{
    tools::makeDataDir(tools::sourceSeedsDir(), workDir());
    tools::renderPictures(workDir() / "Obrazky");
    {
        store::Database database(workDir() / "Data");
        store::Cursor cursor(database, "Dat.DB");
        cursor.open();
        for (const Address& a : addresses)
            cursor.insertRecord({a.surname, a.name, a.address, a.phone, a.note});
        cursor.close();
    }
    m_fakes.paths.setWorkDir(m_dir.path() + QStringLiteral("/workdir"));
    if (beforeStart)
        beforeStart();
    restart();
}

QString AppFixture::workPath(const QString& name) const
{
    return m_dir.path() + QStringLiteral("/workdir/") + name;
}

void AppFixture::restart()
{
    m_app.reset();
    m_app = std::make_unique<app::Application>(workDir());
    ASSERT_TRUE(m_app->start());
    m_app->showMainWindow();
    QApplication::setActiveWindow(&form());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
    m_startupBoxes = m_fakes.dialogs.shown();
    m_fakes.tones.clear();
    m_fakes.dialogs.clear();
}

QAction* AppFixture::action(const char* name)
{
    return control<QAction>(name);
}

void AppFixture::click(const char* buttonName)
{
    auto* button = control<QAbstractButton>(buttonName);
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
}

QString AppFixture::currentSurname()
{
    return QString::fromStdString(table().text("Příjmení"));
}

void AppFixture::typeText(QWidget* widget, const QString& text)
{
    widget->setFocus();
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key(c.toUpper().unicode()),
                            QString(c), Qt::NoModifier);
}

void AppFixture::typeIntoGrid(const QString& text)
{
    typeText(control<QWidget>("Grid"), text);
}

QStringList AppFixture::savedSurnames()
{
    store::Cursor cursor(m_app->database(), "Dat.DB");
    cursor.open();
    QStringList surnames;
    for (cursor.first(); !cursor.eof(); cursor.next())
        surnames << QString::fromStdString(cursor.text("Příjmení"));
    cursor.close();
    return surnames;
}

} // namespace apptest
