// The main window's menu: every item in its place with its shortcut and
// separators. Items whose windows are not built yet stand disabled.

#include "app/MainForm.h"

#include "MainFormTexts.h"

#include "backup/ArchiverSettings.h"
#include "widgets/ErrorReport.h"

#include <QAbstractButton>
#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <functional>
#include <stdexcept>

namespace app {

namespace {

struct MenuBuilder {
    QWidget* owner;
    QMenu* menu;

    QAction* item(const char* name, const QString& caption, const QKeySequence& shortcut = {},
                  std::function<void()> handler = {}) const
    {
        auto* action = new QAction(caption, owner);
        action->setObjectName(QString::fromLatin1(name));
        if (!shortcut.isEmpty()) {
            action->setShortcut(shortcut);
            // The shortcut works wherever the focus is in the main window.
            action->setShortcutContext(Qt::WindowShortcut);
        }
        if (handler)
            QObject::connect(action, &QAction::triggered, owner, [handler] { handler(); });
        else
            action->setEnabled(false); // its window comes later
        menu->addAction(action);
        return action;
    }

    MenuBuilder submenu(const char* name, const QString& caption) const
    {
        QMenu* sub = menu->addMenu(caption);
        sub->setObjectName(QString::fromLatin1(name));
        sub->menuAction()->setObjectName(QString::fromLatin1(name) + QStringLiteral("Item"));
        return {owner, sub};
    }

    void separator() const { menu->addSeparator(); }
};

MenuBuilder topMenu(QMainWindow* window, const char* name, const QString& caption)
{
    QMenu* menu = window->menuBar()->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    return {window, menu};
}

} // namespace

void TMainForm::createMenu()
{
    menuBar()->setObjectName(QStringLiteral("MainMenu"));

    const MenuBuilder program = topMenu(this, "MenuProgram", texts::kMenuProgram);
    QAction* editor = program.item("TextovyEditor", QStringLiteral("Textový editor"), Qt::Key_F3);
    editor->setStatusTip(texts::kHintTextovyEditor);
    editor->setToolTip(texts::kHintTextovyEditor);
    program.separator();
    program.item("HledaniTextu", QStringLiteral("Hledání textu"), Qt::Key_F2,
                 [this] { HledaniTextuClick(); });
    const MenuBuilder count = program.submenu("PocetZaznamu", QStringLiteral("Počet záznamů"));
    count.item("PocetAdresar", QStringLiteral("Adresář"), {}, [this] { AdresarClick(); });
    // These two count through the cursors of windows that come later.
    count.item("PocetOsobniZaznamnik", QStringLiteral("Osobní záznamník"));
    count.item("PocetPlanovac", QStringLiteral("Plánovač"));
    program.separator();
    program.item("NastaveniTiskarny", QStringLiteral("Nastavení tiskárny"), {},
                 [this] { NastaveniTiskarnyClick(); });
    const MenuBuilder print = program.submenu("Tisk", QStringLiteral("Tisk"));
    print.item("TiskVsechZaznamu", QStringLiteral("Všech záznamů"), {}, [this] { VsechZaznamuClick(); });
    print.item("TiskJmenSAdresami", QStringLiteral("Jmen s adresami a telefony"), {},
               [this] { JmenSAdresamiATelefonyClick(); });
    program.separator();
    program.item("Konec", QStringLiteral("Konec"), Qt::Key_F10, [this] { KonecClick(); });

    const MenuBuilder reports = topMenu(this, "MenuSestavy", texts::kMenuSestavy);
    // Enabled once the report windows exist.
    VsechnyUdaje = reports.item("AdresarVsechnyUdaje", QStringLiteral("Adresář - všechny údaje"), {},
                                [this] { VsechnyUdajeClick(); });
    JmenaSTelefony = reports.item("AdresarJmenaSTelefony", QStringLiteral("Adresář - jména s telefony"),
                                  {}, [this] { JmenaSTelefonyClick(); });
    VsechnyUdaje->setEnabled(false);
    JmenaSTelefony->setEnabled(false);

    const MenuBuilder extras = topMenu(this, "MenuDoplnky", texts::kMenuDoplnky);
    extras.item("OsobniZaznamnik", QStringLiteral("Osobní záznamník"), Qt::Key_F11);
    extras.item("Planovac", QStringLiteral("Plánovač"), Qt::Key_F12);
    extras.item("JmeninyARodinnaVyroci", QStringLiteral("Jmeniny a rodinná výročí"), Qt::Key_F4);
    extras.separator();
    extras.item("SeznamPristroju", QStringLiteral("Seznam přístrojů"), Qt::Key_F8);
    extras.item("Vaha", QStringLiteral("Váha"), QKeySequence(Qt::CTRL | Qt::Key_H));
    extras.separator();
    extras.item("PostovniSmerovaciCisla", QStringLiteral("Poštovní směrovací čísla"), Qt::Key_F5);
    extras.item("PoznavaciZnackyZemi", QStringLiteral("Poznávací značky zemí"), Qt::Key_F6);
    extras.item("TelefonniPredvolbyVCR", QStringLiteral("Telefonní předvolby v ČR"),
                QKeySequence(Qt::CTRL | Qt::Key_T));
    extras.item("MezinarodniTelPredvolby", QStringLiteral("Mezinárodní tel. předvolby"),
                QKeySequence(Qt::CTRL | Qt::Key_M));
    extras.separator();
    extras.item("CasoveOdchylky", QStringLiteral("Časové odchylky"), Qt::Key_F7);
    extras.item("PrevodyJednotek", QStringLiteral("Převody jednotek"), Qt::Key_F9);

    const MenuBuilder backup = topMenu(this, "MenuZalohovani", texts::kMenuZalohovani);
    backup.item("ZalohaNaDiskety", QStringLiteral("Záloha na diskety (ARJ) "));
    backup.item("ZalohaNaDisk", QStringLiteral("Záloha na disk"));
    backup.separator();
    backup.item("ObnovaZDisket", QStringLiteral("Obnova z disket (ARJ)"));
    backup.item("ObnovaZDisku", QStringLiteral("Obnova z disku"));
    backup.separator();
    backup.item("Statistika", QStringLiteral("Statistika"));
    // Moving data in and out comes after the backup's own items.
    backup.separator();
    backup.item("ImportDat", QStringLiteral("Import adres a dat..."));
    backup.item("ExportAdresare", QStringLiteral("Export adresáře..."));
    // Sync with the phone's server comes last, behind its own separator.
    backup.separator();
    // Reachable from the keyboard: Alt+Z, then S or N.
    backup.item("Synchronizovat", QStringLiteral("&Synchronizovat"));
    backup.item("NastaveniSynchronizace", QStringLiteral("&Nastavení synchronizace..."));

    const MenuBuilder settings = topMenu(this, "MenuNastaveni", texts::kMenuNastaveni);
    settings.item("BarvaPozadi", QStringLiteral("Barva pozadí"), {}, [this] { BarvaPozadiClick(); });
    settings.item("BarvaTextu", QStringLiteral("Barva textu"), {}, [this] { BarvaTextuClick(); });
    settings.separator();
    settings.item("ZalohovaniARJ", QStringLiteral("Zálohování ARJ"));
    settings.separator();
    SpoustetPriStartu = settings.item("SpoustetPriStartu", QStringLiteral("Spouštět při startu"), {},
                                      [this] { SpoustetPriStartuClick(); });
    NespoustetPriStartu = settings.item("NespoustetPriStartu", QStringLiteral("Nespouštět při startu"),
                                        {}, [this] { NespoustetPriStartuClick(); });
    setAutostartItems(false);

    const MenuBuilder help = topMenu(this, "MenuNapoveda", texts::kMenuNapoveda);
    help.item("ObsahNapovedy", QStringLiteral("Obsah nápovědy"), {}, [this] { ObsahNapovedyClick(); });
}

void TMainForm::disableFloppyItemsUnlessArchiverSet()
{
    if (backup::archiverDirectorySet())
        return;
    for (const QString& name : {QStringLiteral("ZalohaNaDiskety"), QStringLiteral("ObnovaZDisket")}) {
        m_disabledUntilRestart << name;
        findChild<QAction*>(name)->setEnabled(false);
    }
}

void TMainForm::bindCommand(const QString& objectName, std::function<void()> handler)
{
    auto run = [handler = std::move(handler)] { widgets::guarded(handler); };
    const bool enabled = !m_disabledUntilRestart.contains(objectName);
    if (auto* action = findChild<QAction*>(objectName)) {
        connect(action, &QAction::triggered, this, run);
        action->setEnabled(enabled);
    } else if (auto* button = findChild<QAbstractButton*>(objectName)) {
        connect(button, &QAbstractButton::clicked, this, run);
        button->setEnabled(enabled);
    } else {
        throw std::logic_error("no command named " + objectName.toStdString());
    }
}

} // namespace app
