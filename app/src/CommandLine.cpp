#include "app/CommandLine.h"

#include <QTextStream>

namespace app {

namespace {
const QString kMissingValue = QStringLiteral("Chybí hodnota za volbou %1.");
const QString kNoValueTaken = QStringLiteral("Volba %1 nebere hodnotu.");
const QString kUnknownOption = QStringLiteral("Neznámá volba %1.");
const QString kImportOrExport = QStringLiteral("Volby --import a --export nelze použít najednou.");
const QString kSyncAlone = QStringLiteral("Volbu --sync nelze použít spolu s --import nebo --export.");
const QString kNeedsSync = QStringLiteral("Volba %1 patří k volbě --sync.");
const char* const kUsageHead =
    "Použití: pelmir [VOLBY] [DOKUMENT]\n"
    "Pelmir a telefony: adresář s telefony, jmeniny, plánovač, osobní záznamník, kalkulačky a dopisy.\n"
    "DOKUMENT otevře textový editor s tímto dopisem.\n"
    "\n"
    "Volby:\n";
const char* const kUsageTail =
    "\n"
    "Import, export a synchronizace běží bez okna a bez displeje; skončí kódem 0, když se vše zapsalo, jinak 1.\n"
    "Chybná volba skončí kódem 2.\n";

// The table of options. Each row sets its part of the command line.
const std::vector<CommandLineOption> kOptions = {
    {"--workdir", "ADRESÁŘ", "pracovní adresář (s podadresářem Data)",
     [](CommandLine& c, const QString& v) {
         c.workDir = v;
         c.workDirGiven = true;
     }},
    {"--import", "SOUBOR", "importuje adresy z vCard nebo CSV, nebo tabulky ze složky Paradox",
     [](CommandLine& c, const QString& v) { c.importPath = v; }},
    {"--conflicts", "skip|replace|keep", "co s příjmením, které už v adresáři je (výchozí skip)",
     [](CommandLine& c, const QString& v) { c.conflicts = v; }},
    {"--password", "HESLO", "heslo starých zašifrovaných tabulek Paradox",
     [](CommandLine& c, const QString& v) { c.password = v; }},
    {"--export", "SOUBOR", "zapíše adresář do souboru .vcf (vCard 4.0) nebo .csv",
     [](CommandLine& c, const QString& v) { c.exportPath = v; }},
    {"--encoding", "windows-1250", "kódování exportu CSV (výchozí UTF-8)",
     [](CommandLine& c, const QString& v) { c.encoding = v; }},
    {"--sync", nullptr,
     "synchronizuje adresář (CardDAV), plánovač a jmeniny (CalDAV) se serverem (uložené nastavení nebo volby níže)",
     [](CommandLine& c, const QString&) { c.sync = true; }},
    {"--server", "URL", "adresa serveru synchronizace", [](CommandLine& c, const QString& v) { c.syncServer = v; }},
    {"--user", "JMÉNO", "uživatel na serveru synchronizace", [](CommandLine& c, const QString& v) { c.syncUser = v; }},
    {"--password-stdin", nullptr, "heslo k serveru se čte ze standardního vstupu (jinak z klíčenky)",
     [](CommandLine& c, const QString&) { c.passwordStdin = true; }},
    {"--addressbook", "NÁZEV", "který adresář na serveru (nový se založí)",
     [](CommandLine& c, const QString& v) { c.addressBook = v; }},
    {"--calendar", "NÁZEV", "kalendář na serveru pro plánovač (nový se založí); plánovač se pak synchronizuje vždy",
     [](CommandLine& c, const QString& v) { c.calendar = v; }},
    {"--namedays", nullptr, "jmeniny a výročí do kalendáře „Jmeniny a výročí“ na serveru (pak vždy)",
     [](CommandLine& c, const QString&) { c.nameDays = true; }},
    {"--yes", nullptr, "první synchronizace smí spojit záznamy se stejným jménem (vypíše je)",
     [](CommandLine& c, const QString&) { c.acceptPairs = true; }},
    {"--help", nullptr, "vypíše tuto nápovědu", [](CommandLine& c, const QString&) { c.help = true; }},
    {"--version", nullptr, "vypíše verzi programu", [](CommandLine& c, const QString&) { c.version = true; }},
    // The reading process an import of old Paradox tables starts; not for users.
    {"--read-paradox", "SLOŽKA", nullptr, [](CommandLine& c, const QString& v) { c.readParadox = v; }},
};

// The window toolkit's own options (QApplication takes them out of the
// arguments before the program reads them): passed over here, with the value
// of those that take one.
struct ToolkitOption {
    const char* name;
    bool takesValue;
};
const ToolkitOption kToolkitOptions[] = {
    {"-platform", true}, {"-platformpluginpath", true}, {"-platformtheme", true}, {"-plugin", true},
    {"-display", true},  {"-geometry", true},           {"-qwindowgeometry", true}, {"-title", true},
    {"-qwindowtitle", true}, {"-icon", true},           {"-qwindowicon", true},   {"-style", true},
    {"-stylesheet", true},   {"-session", true},        {"-name", true},          {"-reverse", false},
    {"-widgetcount", false}, {"-nograb", false},        {"-dograb", false},       {"-sync", false},
};

const ToolkitOption* findToolkitOption(const QString& name)
{
    for (const ToolkitOption& option : kToolkitOptions)
        if (name == QLatin1String(option.name))
            return &option;
    return nullptr;
}

const CommandLineOption* findOption(const QString& name)
{
    for (const CommandLineOption& option : kOptions)
        if (name == QLatin1String(option.name))
            return &option;
    if (name == QLatin1String("-h"))
        return findOption(QStringLiteral("--help"));
    return nullptr;
}

} // namespace

const std::vector<CommandLineOption>& commandLineOptions()
{
    return kOptions;
}

CommandLine parseCommandLine(const QStringList& arguments, const QString& currentDir)
{
    CommandLine result;
    result.workDir = currentDir;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const bool looksLikeOption = !optionsEnded && argument.size() > 1 && argument.startsWith(QLatin1Char('-'));
        if (!looksLikeOption) {
            if (result.document.isEmpty())
                result.document = argument;
            continue;
        }
        if (argument == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        const qsizetype equals = argument.indexOf(QLatin1Char('='));
        const QString name = equals < 0 ? argument : argument.left(equals);
        if (const ToolkitOption* toolkit = findToolkitOption(name)) {
            if (toolkit->takesValue && equals < 0)
                ++i;
            continue;
        }
        const CommandLineOption* option = findOption(name);
        if (!option) {
            result.error = kUnknownOption.arg(name);
            return result;
        }
        QString value;
        if (!option->valueName) {
            if (equals >= 0) {
                result.error = kNoValueTaken.arg(name);
                return result;
            }
        } else if (equals >= 0) {
            value = argument.mid(equals + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            result.error = kMissingValue.arg(name);
            return result;
        }
        option->apply(result, value);
        // Help and version answer at once, whatever follows.
        if (result.onlyPrints())
            return result;
    }
    if (result.workDir.isEmpty())
        result.error = kMissingValue.arg(QStringLiteral("--workdir"));
    else if (!result.importPath.isEmpty() && !result.exportPath.isEmpty())
        result.error = kImportOrExport;
    else if (result.sync && result.isTransfer())
        result.error = kSyncAlone;
    else if (!result.sync) {
        const std::pair<bool, const char*> syncOnly[] = {
            {!result.syncServer.isEmpty(), "--server"},   {!result.syncUser.isEmpty(), "--user"},
            {result.passwordStdin, "--password-stdin"},   {!result.addressBook.isEmpty(), "--addressbook"},
            {result.acceptPairs, "--yes"},               {!result.calendar.isEmpty(), "--calendar"},
            {result.nameDays, "--namedays"}};
        for (const auto& [given, name] : syncOnly)
            if (given) {
                result.error = kNeedsSync.arg(QLatin1String(name));
                break;
            }
    }
    return result;
}

QString usageText()
{
    QStringList lines;
    int width = 0;
    for (const CommandLineOption& option : kOptions) {
        if (!option.help)
            continue;
        QString left = QString::fromUtf8(option.name);
        if (option.valueName)
            left += QLatin1Char(' ') + QString::fromUtf8(option.valueName);
        lines.append(left);
        width = std::max(width, static_cast<int>(left.size()));
    }
    QString text = QString::fromUtf8(kUsageHead);
    int row = 0;
    for (const CommandLineOption& option : kOptions) {
        if (!option.help)
            continue;
        text += QStringLiteral("  ") + lines[row++].leftJustified(width + 2) + QString::fromUtf8(option.help) +
                QLatin1Char('\n');
    }
    return text + QString::fromUtf8(kUsageTail);
}

QString versionText()
{
    return QStringLiteral("Pelmir a telefony %1\n").arg(QStringLiteral(PELMIR_VERSION));
}

} // namespace app

namespace app {

std::optional<int> answerWithoutRunning(const CommandLine& commandLine, QTextStream& out, QTextStream& err)
{
    if (commandLine.help) {
        out << usageText();
        return 0;
    }
    if (commandLine.version) {
        out << versionText();
        return 0;
    }
    if (!commandLine.error.isEmpty()) {
        err << QStringLiteral("pelmir: ") << commandLine.error << "\n\n" << usageText();
        return 2;
    }
    return std::nullopt;
}

} // namespace app
