#include "CalculatorsFixture.h"

#include "tools/DataDir.h"

#include <QApplication>
#include <QListWidget>
#include <QTest>

namespace calctest {

void ensureApplication()
{
    if (QApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "calculators_tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

void CalculatorsFixture::SetUp()
{
    ensureApplication();
    ASSERT_TRUE(m_dir.isValid());
    const std::filesystem::path workDir = std::filesystem::path(m_dir.path().toStdString()) / "workdir";
    tools::makeDataDir(tools::sourceSeedsDir(), workDir);
    m_fakes.paths.setWorkDir(QString::fromStdString(workDir.string()));
    m_database = std::make_unique<store::Database>(workDir / "Data");
    m_database->setClock([this] {
        const QDateTime now = m_fakes.clock.now();
        return store::DateTime{now.date().year(), now.date().month(), now.date().day(),
                               now.time().hour(),  now.time().minute(), now.time().second()};
    });
}

void CalculatorsFixture::TearDown()
{
    m_database.reset();
}

QString CalculatorsFixture::workPath(const QString& name) const
{
    return m_dir.path() + QStringLiteral("/workdir/") + name;
}

void CalculatorsFixture::showActive(QWidget& window)
{
    window.show();
    window.raise();
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

void CalculatorsFixture::typeText(QWidget* widget, const QString& text)
{
    widget->setFocus();
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key(c.toUpper().unicode()),
                            QString(c), Qt::NoModifier);
}

void CalculatorsFixture::clickItem(QListWidget* list, int row)
{
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}

} // namespace calctest
