#include "OrganiserFixture.h"

#include "organiser/Wiring.h"

#include "store/Catalogue.h"
#include "tools/DataDir.h"
#include "tools/Pictures.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTest>

namespace organiser_test {

void ensureApplication()
{
    if (qApp)
        return;
    static int argc = 1;
    static char name[] = "organiser_tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

void OrganiserFixture::SetUp()
{
    ensureApplication();
    ASSERT_TRUE(m_dir.isValid());
    tools::makeDataDir(tools::sourceSeedsDir(), workDir());
    tools::renderPictures(workDir() / "Obrazky");
    m_fakes.paths.setWorkDir(QString::fromStdString(workDir().string()));
    setToday(QDate(2024, 5, 5));
    m_database = std::make_unique<store::Database>(workDir() / store::kDataDirName);
}

void OrganiserFixture::TearDown()
{
    destroyWindows();
    m_database.reset();
}

std::filesystem::path OrganiserFixture::workDir() const
{
    return std::filesystem::path(m_dir.path().toStdString()) / "workdir";
}

void OrganiserFixture::setToday(const QDate& day)
{
    m_fakes.clock.setNow(QDateTime(day, QTime(10, 0)));
}

void OrganiserFixture::addPlannerEntries(
    const std::vector<std::pair<std::string, std::string>>& entries)
{
    store::Cursor planner(*m_database, "Datp.db");
    planner.open();
    for (const auto& [date, activity] : entries)
        planner.insertRecord({date, activity});
    planner.close();
}

void OrganiserFixture::createWindows()
{
    organiser::OrganiserWindows made = organiser::createOrganiserWindows(*m_database);
    m_planovac = std::move(made.planner);
    m_kalendar = std::move(made.picker);
    m_svatek = std::move(made.nameDays);
    m_fakes.tones.clear();
}

void OrganiserFixture::destroyWindows()
{
    m_kalendar.reset();
    m_svatek.reset();
    m_planovac.reset();
}

void OrganiserFixture::click(QWidget& window, const char* buttonName)
{
    auto* button = window.findChild<QAbstractButton*>(QString::fromLatin1(buttonName));
    ASSERT_NE(button, nullptr) << buttonName;
    ASSERT_TRUE(button->isEnabled()) << buttonName;
    QTest::mouseClick(button, Qt::LeftButton);
}

void OrganiserFixture::typeText(QWidget* widget, const QString& text)
{
    showActive(*widget->window());
    widget->setFocus();
    // Keys follow the focus: the grid's first key opens a cell editor.
    for (const QChar c : text) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : widget;
        QTest::sendKeyEvent(QTest::Click, target, Qt::Key(c.toUpper().unicode()), QString(c),
                            Qt::NoModifier);
    }
}

void OrganiserFixture::showActive(QWidget& window)
{
    window.show();
    QApplication::setActiveWindow(&window);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
}

std::vector<std::string> OrganiserFixture::savedPlannerEntries()
{
    store::Cursor planner(*m_database, "Datp.db");
    planner.open();
    std::vector<std::string> entries;
    for (planner.first(); !planner.eof(); planner.next())
        entries.push_back(planner.text("Datum") + "|" + planner.text("Činnost"));
    planner.close();
    return entries;
}

} // namespace organiser_test
