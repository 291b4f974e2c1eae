#include "app/Help.h"

#include "platform/Platform.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QVariant>
#include <QWidget>

#include <map>

namespace app {

namespace {

const char* const kTopicProperty = platform::kHelpTopicProperty;
const QString kHelpCaption = QStringLiteral("Nápověda - Pelmir a telefony");
constexpr int kHelpWidth = 720;
constexpr int kHelpHeight = 540;

const std::map<int, QString>& topicTexts()
{
    static const std::map<int, QString> texts = {
        {1, QStringLiteral(
                "<h2>Adresář - obsah nápovědy</h2>"
                "<p>Hlavní okno ukazuje adresář osob a firem seřazený podle příjmení.</p>"
                "<ul>"
                "<li><b>Rychlé hledání</b>: pište příjmení do žlutého pole v horní liště, "
                "tabulka se po každém písmenu přesune na nejbližší příjmení.</li>"
                "<li><b>Navigátor</b>: tlačítka na začátek, na předchozí, na další záznam a na "
                "konec adresáře.</li>"
                "<li><b>Vložit nový záznam</b>, <b>Smazat označený záznam</b> (Ctrl + Del), "
                "<b>Uložit záznam/změnu</b> a <b>Neukládat</b>: úpravy adresáře. Dvě stejná "
                "příjmení uložit nelze.</li>"
                "<li><b>Hledání textu</b> (F2): najde text v jednom zvoleném sloupci; "
                "Hledej hledá od začátku, Další pokračuje.</li>"
                "<li><b>Konec</b> (F10) ukončí program; neuložený záznam se zahodí.</li>"
                "</ul>")},
        {3, QStringLiteral(
                "<h2>Pelmir s telefonními čísly</h2>"
                "<p>Hlavní okno programu: adresář se jmény, adresami, telefony a poznámkami. "
                "Z nabídky se otevírají ostatní okna: textový editor, osobní záznamník, "
                "plánovač, jmeniny a výročí, adresáře, převody jednotek a zálohování.</p>"
                "<p>Záznam upravíte přímo v tabulce; přechodem na jiný řádek se změna uloží. "
                "Klávesa F1 otevře nápovědu k právě aktivnímu prvku.</p>"
                "<h3>Import a export</h3>"
                "<p><b>Zálohování › Import adres a dat...</b> přenese adresy z vizitek vCard "
                "(telefon, jiný adresář), z tabulky CSV (tabulkový procesor) nebo všechny tabulky ze "
                "složky starého programu (vyberte v ní kterýkoli soubor .DB). Před zápisem ukáže "
                "náhled: co se přidá, co má stejné příjmení jako uložený záznam a co nelze přečíst "
                "(s číslem řádku nebo záznamu). U každého konfliktu zvolte Přeskočit, Nahradit, nebo "
                "Ponechat obojí (druhý záznam se uloží pod příjmením doplněným o křestní jméno). Nic "
                "se nezapíše, dokud nestisknete Importovat; každá tabulka se zapíše celá, nebo vůbec. "
                "Dlouhý import ukazuje průběh a lze jej zrušit.</p>"
                "<p><b>Zálohování › Export adresáře...</b> zapíše adresář jako vizitky vCard (.vcf) "
                "nebo jako CSV (.csv) v kódování UTF-8, nebo Windows-1250 pro starší tabulkové "
                "programy.</p>"
                "<h3>Textový editor</h3>"
                "<p>Klepněte v adresáři na jméno a stiskněte F3: otevře se editor dopisů a na "
                "konec textu se vloží jméno, adresa a telefon zvolené osoby. Další adresu vložíte "
                "výběrem příjmení v rozbalovacím seznamu na liště editoru (stačí napsat začátek "
                "příjmení a stisknout Enter).</p>"
                "<ul>"
                "<li><b>Soubor</b>: Nový (Ctrl+N), Otevřít (Ctrl+O), Uložit (Ctrl+U), Uložit jako, "
                "Tisk (Ctrl+T) a Konec (Alt+X). Dopisy se ukládají ve formátu RTF, který přečtou "
                "i jiné textové editory. Před zavřením neuloženého dopisu se editor zeptá, zda jej "
                "uložit.</li>"
                "<li><b>Úpravy</b>: Zpět (Ctrl+Z), Vyjmout (Ctrl+S), Kopírovat (Ctrl+K), Vložit "
                "(Ctrl+V), Smazat (Ctrl+M), Najít, Nahradit a Vybrat vše. Hledání rozlišuje velká "
                "a malá písmena; Nahradit nahradí při každém stisku první výskyt v textu.</li>"
                "<li><b>Vzhled</b>: Písmo a Vložit objekt (obrázek PNG nebo JPEG).</li>"
                "<li><b>Formátování</b>: písmo a jeho velikost, tučné, kurzíva a podtržení, "
                "zarovnání vlevo, na střed a vpravo a odrážky. Bez označeného textu mění tlačítka "
                "výchozí písmo dokumentu.</li>"
                "<li><b>Pravítko</b>: tažením červených značek nastavíte odsazení prvního řádku, "
                "levé a pravé odsazení odstavce.</li>"
                "</ul>"
                "<p>Dopis lze otevřít také přetažením souboru do okna editoru nebo zadáním jeho "
                "jména při spuštění programu.</p>"
                "<h3>Časové odchylky měst</h3>"
                "<p>Okno (F7) ukazuje města světa s jejich pevným časovým posunem proti místnímu "
                "času. Vlevo nahoře je čas ve městě označeném v tabulce, vpravo místní čas; oba se "
                "obnovují každou sekundu, dokud je okno otevřené. Hodiny každou sekundu tiknou a "
                "v celou minutu zazní vyšší tón. Tlačítka se šipkami posunou tabulku o 15 měst "
                "zpět nebo vpřed. Posuny nepočítají s letním časem. <b>Zpět</b> okno zavře a "
                "hodiny zastaví.</p>")},
        {4, QStringLiteral(
                "<h2>Osobní záznamník</h2>"
                "<p>Zápisník krátkých poznámek. Každá poznámka má jedinečný název (nejvýše 35 "
                "znaků) a text s formátováním (nejvýše 255 znaků). Dole je abecední seznam "
                "názvů; klepnutím na název se poznámka zobrazí.</p>"
                "<ul>"
                "<li><b>Vložit</b> založí novou poznámku, <b>Smazat</b> po dotazu smaže "
                "zobrazenou.</li>"
                "<li><b>Uložit záznam/změnu</b> uloží poznámku, <b>Neukládat</b> vrátí změny. "
                "Dva stejné názvy uložit nelze.</li>"
                "<li>Enter v názvu nebo v textu poznámku uloží (v textu zároveň začne nový "
                "řádek), Esc změny zahodí.</li>"
                "<li><b>Tisk</b> vytiskne všechny poznámky bez formátování, <b>Zpět</b> okno "
                "zavře.</li>"
                "</ul>"
                "<p>Okno otevřete z hlavního okna klávesou F11; počet poznámek ukáže "
                "Program › Počet záznamů › Osobní záznamník.</p>")},
        {5, QStringLiteral(
                "<h2>Plánovač a výběr data</h2>"
                "<p>Plánovač uchovává naplánované akce: na každý den nejvýše jeden záznam "
                "s textem toho, co je na ten den v plánu. Záznamy jsou seřazeny podle data; "
                "v horní liště svítí dnešní datum.</p>"
                "<ul>"
                "<li><b>Nový záznam</b> (+) otevře okno <b>Výběr data</b>. Šipkami vedle "
                "názvu měsíce se posunete o měsíc zpět nebo vpřed, klepnutím vyberete den; "
                "pod kalendářem se ukáže, kdo má ten den svátek. Tlačítko <b>OK</b> založí "
                "záznam na vybraný den a text akce pak napíšete do tabulky plánovače. Má-li "
                "den už záznam, připište akci k němu.</li>"
                "<li>Datum i text akce lze v tabulce přepsat. Změnu uložíte tlačítkem "
                "<b>Uložit záznam/změnu</b> nebo přechodem na jiný řádek, zahodíte ji "
                "tlačítkem <b>Neukládat</b> nebo klávesou Esc.</li>"
                "<li><b>Smazat označený záznam</b> (−) smaže akci po potvrzení.</li>"
                "<li><b>Hledání textu</b> otevře hledací pole: <b>Hledej</b> najde první akci, "
                "v jejímž textu se hledané slovo vyskytuje (na velikosti písmen nezáleží), "
                "<b>Další</b> pokračuje k dalším výskytům.</li>"
                "<li><b>Tisk</b> vytiskne všechny akce, <b>Zpět</b> plánovač skryje.</li>"
                "</ul>"
                "<p>V hlavním okně tlačítko s vykřičníkem zjistí, zda je něco naplánováno na "
                "dnešek; tlačítko <b>Ukázat</b> pak otevře plánovač přímo na dnešní akci. "
                "Počet akcí ukáže nabídka Program › Počet záznamů › Plánovač.</p>")},
        {6, QStringLiteral(
                "<h2>Jména a výročí</h2>"
                "<p>Kalendář jmenin na všechny dny roku, do kterého si ke každému dni můžete "
                "zapsat vlastní rodinná výročí (narozeniny, svatby, úmrtí). Po otevření stojí "
                "kalendář na dnešním dni.</p>"
                "<ul>"
                "<li>Text ve sloupcích <b>Svátek</b> a <b>Výročí</b> přepíšete přímo v tabulce; "
                "klávesa Enter změnu uloží, Esc ji zahodí. Totéž dělají dvě tlačítka "
                "navigátoru. Sloupec Datum se nemění.</li>"
                "<li>Tlačítka se šipkami přejdou na první den roku, o 15 dní zpět, o 15 dní "
                "vpřed a na poslední den roku.</li>"
                "<li>Tlačítko vlevo ukazuje znamení zvěrokruhu vybraného dne; klepnutím na něj "
                "se otevře seznam všech znamení s jejich obdobími. Tlačítko <b>Svatební "
                "výročí</b> ukáže názvy výročí svatby (stříbrná, zlatá, ...). Seznam zavřete "
                "klepnutím do něj.</li>"
                "<li><b>Hledání jmenin</b>: napište jméno nebo jeho část a stiskněte "
                "<b>Najdi</b>; tabulka ukáže všechny dny, kdy má jméno svátek. Znak % zastoupí "
                "libovolný úsek textu, znak _ jedno písmeno. <b>Zpět</b> vrátí celý "
                "kalendář.</li>"
                "<li><b>Kalendář</b> otevře výběr data: u každého vybraného dne ukáže, kdo má "
                "svátek.</li>"
                "<li><b>Tisk</b> vytiskne celý kalendář se svátky i výročími.</li>"
                "</ul>"
                "<p>V hlavním okně tlačítko s hvězdičkou ukáže, kdo má dnes svátek a zda na "
                "dnešek připadá některé z vašich výročí.</p>")},
        {7, QStringLiteral(
                "<h2>Poštovní směrovací čísla a poznávací značky zemí</h2>"
                "<p>Obě okna jsou seznamy, které můžete sami doplňovat a opravovat: poštovní směrovací "
                "čísla míst (F5) a mezinárodní poznávací značky vozidel (F6).</p>"
                "<ul>"
                "<li><b>Hledání</b>: pište začátek názvu do pole pod nadpisem; seznam se po každém písmenu "
                "přesune na první položku, která se shoduje nebo následuje. Celý název psát nemusíte.</li>"
                "<li><b>Změna</b> přepíná řazení: podle míst a podle PSČ (nadpis „PODLE MÍST“ / „PODLE PSČ“), "
                "u značek podle zemí a podle značek. Při řazení podle kódu nelze přidávat ani mazat; "
                "poznávací značky v něm nelze ani měnit. PSČ můžete hledat s mezerou i bez ní "
                "(„602 00“ i „60200“).</li>"
                "<li><b>Pošta</b> (jen u PSČ) ukáže všechna místa se stejným PSČ, jako má vybraný řádek. "
                "Dalším stiskem se vrátí celý seznam.</li>"
                "<li><b>Přidat záznam</b>, <b>Smazat označený záznam</b>, <b>Uložit záznam/změnu</b> a "
                "<b>Neukládat</b> upravují seznam. Dvě stejná místa (nebo dvě stejné země) uložit nelze: "
                "takový záznam se neuloží a program to ohlásí; místa stejného jména odlište například "
                "okresem v závorce.</li>"
                "<li><b>Načíst…</b> (jen u PSČ) načte úplný seznam PSČ ze souboru CSV, jak jej vydává Česká "
                "pošta (kódování UTF-8 nebo Windows-1250, oddělovač středník nebo čárka). Před uložením "
                "ukáže, kolik míst přidá, změní a ponechá; chybný soubor nezmění nic a řekne, na kterém "
                "řádku je chyba. Místa stejného jména s různými PSČ odliší okresem, obcí nebo poštou.</li>"
                "<li><b>Zpět</b> vrátí okno do výchozího řazení a skryje je.</li>"
                "</ul>")},
        {8, QStringLiteral(
                "<h2>Seznam přístrojů</h2>"
                "<p>Evidence domácích přístrojů (F8): co jste koupili, od koho, kdy a za kolik, do kdy trvá "
                "záruka, kde přístroj stojí a kde jej opraví.</p>"
                "<ul>"
                "<li><b>Vyhledávání</b>: pište začátek názvu výrobku, tabulka se přesune na nejbližší.</li>"
                "<li>Údaje upravujete přímo v tabulce; změna se uloží přechodem na jiný řádek. Tlačítka "
                "<b>Vložit</b>, <b>Smazat</b>, <b>Uložit</b> a <b>Neukládat</b> přidávají a mažou přístroje. "
                "Dva výrobky stejného názvu uložit nelze.</li>"
                "<li><b>Vkládání oprav</b>: vyplňte data „od:“ a „do:“ (tlačítkem se šipkou vyberete den v "
                "kalendáři) a zda šlo o záruční opravu, a stiskněte <b>Uložit</b>. Oprava se připíše jako "
                "nový řádek do přehledu oprav. Jednotlivou opravu nelze smazat, jen celý přístroj.</li>"
                "<li><b>Tisk</b> (Alt+T) vytiskne celý seznam, u každého přístroje všechny údaje a "
                "přehled oprav.</li>"
                "<li><b>Zpět</b> vyprázdní hledání a okno skryje.</li>"
                "</ul>")},
        {9, QStringLiteral(
                "<h2>Převody jednotek</h2>"
                "<p>Okno převádí číslo z jedné jednotky na jinou v deseti skupinách: délkové míry, "
                "váhy, plošné míry, energie, suchý objem, objem, teplota, výkon, tlak a rychlost.</p>"
                "<ol>"
                "<li>Vyberte záložku se skupinou jednotek.</li>"
                "<li>Klikněte myší na jednotku v seznamu <b>Z jednotky</b> a na jednotku v seznamu "
                "<b>Na jednotku</b>.</li>"
                "<li>Do pole pod seznamy napište číslo. Výsledek se přepočítá při každé změně čísla "
                "a po každém kliknutí do seznamů.</li>"
                "</ol>"
                "<p>Desetinná čísla pište s tečkou (1.5), lze použít i exponent (1e3 = 1000). Text, "
                "který není číslem (například s desetinnou čárkou nebo mezerou na konci), se počítá "
                "jako 0. Výsledek má deset desetinných míst; velmi velká čísla se ukážou "
                "v exponenciálním tvaru (3.1E+0040).</p>"
                "<p>U teploty okno upozorní, když výsledek leží pod absolutní nulou. Po přechodu na "
                "jinou záložku se zadání vrátí na 1, zvolené jednotky na každé záložce zůstanou.</p>"
                "<p>Tlačítko <b>Zpět</b> okno skryje; při dalším otevření (F9) je vše, jak bylo.</p>")},
        {10, QStringLiteral(
                 "<h2>Zálohování</h2>"
                 "<p><b>Záloha na disk</b> zkopíruje všechny tabulky z adresáře Data do adresáře "
                 "Zaloha v pracovním adresáři a zapíše zálohu do statistiky. Předchozí záloha se "
                 "přepíše. Program může zůstat otevřený, kopie jsou přesto úplné.</p>"
                 "<p><b>Obnova z disku</b> ukončí program a spustí obnovu. Ta ukáže, kdy byla záloha "
                 "pořízena a kolik záznamů má každá tabulka, a po potvrzení vrátí tabulky do "
                 "adresáře Data. Nynější tabulky nejdřív přesune do adresáře "
                 "<i>puvodni-rok-měsíc-den-čas</i> uvnitř adresáře Data, takže se nic neztratí. "
                 "Poškozenou nebo nedokončenou zálohu odmítne a data nechá beze změny. Nakonec "
                 "program znovu spustí.</p>"
                 "<p><b>Záloha na diskety (ARJ)</b> zabalí tabulky archivátorem ARJ do archivu "
                 "arpelmir na disketu. Disketou je adresář, kam se disketa nebo jiné vyměnitelné "
                 "médium připojuje (nastavuje ho proměnná prostředí PELMIR_FLOPPY, jinak "
                 "/media/floppy). Archivátor běží ve vlastním okně terminálu; nevejde-li se záloha "
                 "na jednu disketu, vyzve k vložení další. <b>Obnova z disket (ARJ)</b> archiv z "
                 "diskety rozbalí a obnoví z něj data stejně jako obnova z disku.</p>"
                 "<p><b>Nastavení › Zálohování ARJ</b>: napište adresář, ve kterém je program arj, "
                 "s lomítkem na konci; v Debianu je to /usr/bin/ (balíček arj). Položky pro "
                 "diskety se zapnou při příštím spuštění programu.</p>"
                 "<p><b>Statistika</b> (okno Kontrola zálohování) ukazuje datum a čas každé zálohy, "
                 "ve sloupci <i>Na diskety</i> nebo <i>Na disk</i>. Tlačítko <b>Označený</b> smaže "
                 "vybraný záznam, <b>Všechny</b> celou statistiku; obojí se nejdřív zeptá.</p>")},
        {12, QStringLiteral(
                "<h2>Telefonní předvolby</h2>"
                "<p>Dva seznamy předvoleb: <b>Telefonní předvolby v ČR</b> (Ctrl+T) podle telefonních obvodů "
                "a <b>Mezinárodní telefonní předvolby</b> (Ctrl+M) podle zemí.</p>"
                "<ul>"
                "<li><b>Vyhledávání</b>: pište začátek názvu obvodu nebo země; seznam se přesune na první "
                "shodnou nebo následující položku.</li>"
                "<li>Údaje měníte přímo v tabulce; změna se uloží přechodem na jiný řádek.</li>"
                "<li><b>Vložit</b> přidá nový řádek, <b>Smazat</b> smaže vybraný (po potvrzení), "
                "<b>Uložit</b> uloží a <b>Neukládat</b> zahodí rozepsaný záznam. Dva stejné obvody nebo "
                "dvě stejné země uložit nelze; záznam zůstane rozepsaný, abyste jej mohli opravit.</li>"
                "<li><b>Zpět</b> vyprázdní hledání, vrátí se na začátek seznamu a okno skryje.</li>"
                "</ul>")},
        {13, QStringLiteral(
                 "<h2>Váha - index tělesné hmotnosti (BMI)</h2>"
                 "<p>Do pole <b>Výška v cm</b> napište výšku a do pole <b>Váha v kg</b> váhu, obojí "
                 "celými čísly. Klávesa Enter přejde z výšky na váhu a dál na tlačítko "
                 "<b>Výpočet</b>; další Enter spočítá výsledek. Kliknutím do pole výšky se všechna "
                 "pole vymažou pro nový výpočet.</p>"
                 "<p>Výsledkem je kategorie hmotnosti se zdravotními riziky, obrázek postavy a "
                 "hranice hmotnosti všech kategorií pro zadanou výšku. Tlačítko <b>Text</b> otevře "
                 "vysvětlení, jak se index počítá a co kategorie znamenají.</p>"
                 "<h3>Uložené záznamy</h3>"
                 "<p>Tlačítko <b>Tabulka</b> otevře uložená vážení. <b>Přidat</b> založí nový záznam "
                 "s výškou, váhou a kategorií z posledního výpočtu; do sloupce Jméno napište, koho "
                 "jste vážili, a stiskněte <b>Uložit</b> (<b>Zrušit</b> nový záznam zahodí). Datum se "
                 "vyplní samo. <b>Smazat</b> po potvrzení smaže označený záznam.</p>"
                 "<p><b>Vybrat</b> ukáže pole pro hledané jméno: <b>Vyber</b> zobrazí záznamy, jejichž "
                 "jméno obsahuje napsaný text (na velikosti písmen nezáleží; % zastoupí libovolný "
                 "text, _ jeden znak). Kliknutím do pole nebo tlačítkem <b>Zpět</b> se vrátí celá "
                 "tabulka.</p>"
                 "<h3>Graf</h3>"
                 "<p>Tlačítko <b>Graf</b> nakreslí váhy osoby z označeného řádku jako sloupce, "
                 "nejnovější vážení vlevo. Stupnice má jeden bod na kilogram, čáry jsou po 50 kg. "
                 "Graf se při přepnutí do jiného okna vymaže; znovu ho otevřete tlačítkem Graf.</p>")},
    };
    return texts;
}

} // namespace

void setHelpTopic(QWidget* widget, int topic)
{
    widget->setProperty(kTopicProperty, topic);
}

int helpTopicFor(const QWidget* widget)
{
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        const QVariant topic = w->property(kTopicProperty);
        if (topic.isValid() && topic.toInt() > 0)
            return topic.toInt();
    }
    return 0;
}

QString helpTopicText(int topic)
{
    const auto& texts = topicTexts();
    if (auto found = texts.find(topic); found != texts.end())
        return found->second;
    return QStringLiteral("<h2>Nápověda</h2><p>K tomuto tématu (%1) není nápověda k dispozici.</p>")
        .arg(topic);
}

namespace {

// A readable size, centred on the screen of the window the user works in:
// the toolkit's default put a small window over the main window's menu.
void placeReadably(QWidget& window)
{
    const QWidget* active = QApplication::activeWindow();
    const QScreen* screen = active && active->screen() ? active->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const QSize size = QSize(kHelpWidth, kHelpHeight).boundedTo(area.size() * 9 / 10);
    window.resize(size);
    window.move(area.center() - QPoint(size.width() / 2, size.height() / 2));
}

} // namespace

HelpViewer::HelpViewer() = default;
HelpViewer::~HelpViewer() = default;

QWidget* HelpViewer::window() const
{
    return m_window.get();
}

void HelpViewer::showTopic(int topic)
{
    if (!m_window) {
        m_window = std::make_unique<QWidget>(nullptr, Qt::Window);
        m_window->setObjectName(QStringLiteral("HelpForm"));
        m_window->setWindowTitle(kHelpCaption);
        auto* layout = new QVBoxLayout(m_window.get());
        layout->setContentsMargins(0, 0, 0, 0);
        m_browser = new QTextBrowser(m_window.get());
        m_browser->setObjectName(QStringLiteral("HelpText"));
        layout->addWidget(m_browser);
        placeReadably(*m_window);
    }
    m_topic = topic;
    m_browser->setHtml(helpTopicText(topic));
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

bool HelpKeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1
        && static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
        const QWidget* focus = QApplication::focusWidget();
        if (!focus)
            focus = QApplication::activeWindow();
        if (!focus)
            focus = qobject_cast<const QWidget*>(watched);
        const int topic = helpTopicFor(focus);
        if (topic > 0 && platform::services().help) {
            platform::services().help->showTopic(topic);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace app
