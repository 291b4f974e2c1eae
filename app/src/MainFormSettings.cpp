// The main window's settings: grid colours, starting with the computer, the
// printer set-up and the record counts.

#include "app/MainForm.h"

#include "MainFormTexts.h"
#include "app/AddressGrid.h"
#include "app/Settings.h"

#include "platform/Platform.h"
#include "widgets/DataControls.h"
#include "widgets/ErrorReport.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

namespace app {

namespace {

constexpr int kPanelInterval = 3000;

QString workFile(const QString& name)
{
    return QDir(platform::services().paths->workDir()).filePath(name);
}

QString autostartDir()
{
    return platform::services().paths->autostartDir();
}

} // namespace

void TMainForm::applyGridColour(const QColor& colour, bool background)
{
    if (background)
        Grid->setCellColors(colour, Grid->cellText());
    else
        Grid->setCellColors(Grid->cellBackground(), colour);
}

void TMainForm::readGridColour(const QString& fileName, bool background)
{
    if (const std::optional<QColor> colour = readColourFile(workFile(fileName)))
        applyGridColour(*colour, background);
}

void TMainForm::chooseGridColour(const QString& fileName, bool background)
{
    const std::optional<QColor> chosen = platform::services().dialogs->chooseColor(m_lastChosenColour);
    if (!chosen)
        return;
    m_lastChosenColour = *chosen;
    applyGridColour(*chosen, background);
    // The grid keeps the colour for this run even when the file cannot be written.
    widgets::guarded([&] { writeColourFile(workFile(fileName), *chosen); });
}

void TMainForm::BarvaPozadiClick()
{
    chooseGridColour(kBackgroundColourFile, true);
}

void TMainForm::BarvaTextuClick()
{
    chooseGridColour(kTextColourFile, false);
}

void TMainForm::setAutostartItems(bool installed)
{
    SpoustetPriStartu->setEnabled(!installed);
    NespoustetPriStartu->setEnabled(installed);
}

void TMainForm::SpoustetPriStartuClick()
{
    if (!platform::services().dialogs->confirm(texts::kAutostartQuestion))
        return;
    widgets::guarded([&] {
        installAutostart(workFile(kAutostartEntry), autostartDir());
        setAutostartItems(true);
    });
}

void TMainForm::NespoustetPriStartuClick()
{
    if (!platform::services().dialogs->confirm(texts::kNoAutostartQuestion))
        return;
    widgets::guarded([&] {
        removeAutostart(autostartDir());
        setAutostartItems(false);
    });
}

void TMainForm::NastaveniTiskarnyClick()
{
    // What is chosen stays for every later print of this run; nothing is saved.
    platform::Printer& printer = *platform::services().printer;
    platform::services().dialogs->printerSetup(*printer.qprinter(), this);
}

void TMainForm::AdresarClick()
{
    showRecordCount(texts::kCountAddresses, *m_table);
}

void TMainForm::PlanovacPocetClick()
{
    if (m_planner)
        showRecordCount(texts::kCountPlanner, *m_planner().table);
}

void TMainForm::showRecordCount(const QString& prefix, const store::DataSet& table)
{
    ImageLogo->hide();
    LabelPocetZaznamu->setText(recordCountText(prefix, table.recordCount()));
    LabelPocetZaznamu->show();
    // A timer already running for a reminder panel keeps its interval: the
    // count goes with the panel.
    startPanelTimer();
}

void TMainForm::startPanelTimer()
{
    // Switching on a running timer changes nothing, as the toolkit's did.
    if (!Timer1->isActive())
        Timer1->start();
}

void TMainForm::Zhasni()
{
    LabelPocetZaznamu->hide();
    ImageLogo->show();
    // The notice of a planner entry stays until "Ukázat" is pressed.
    for (QWidget* part : {static_cast<QWidget*>(ImageKvetina1), static_cast<QWidget*>(ImageKvetina2),
                          static_cast<QWidget*>(PanelSvatek), static_cast<QWidget*>(DBTextVyroci),
                          static_cast<QWidget*>(LabelNic)})
        part->hide();
    Timer1->stop();
    Timer1->setInterval(kPanelInterval);
}

void TMainForm::createPanelTimer()
{
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kPanelInterval);
    connect(Timer1, &QTimer::timeout, this, [this] { Zhasni(); });
}

std::vector<std::function<void()>> TMainForm::settingsStartupParts()
{
    return {
        [this] { readGridColour(kBackgroundColourFile, true); },
        [this] { readGridColour(kTextColourFile, false); },
        [this] { setAutostartItems(autostartInstalled(autostartDir())); },
    };
}

} // namespace app
