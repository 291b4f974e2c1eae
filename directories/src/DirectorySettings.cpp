#include "directories/DirectorySettings.h"

#include <algorithm>

namespace directories {

namespace {

// Postal codes are stored as "602 00"; one typed as "60200" is looked for
// in that form, or it would land past every code of "602 0..".
QString postalCodeSearchText(const QString& typed)
{
    const bool digits = std::all_of(typed.cbegin(), typed.cend(), [](QChar c) { return c.isDigit(); });
    if (!digits || typed.size() < 4 || typed.size() > 5)
        return typed;
    return typed.left(3) + QLatin1Char(' ') + typed.mid(3);
}

} // namespace

const CodeDirectorySettings& postalCodeSettings()
{
    static const CodeDirectorySettings settings{
        "TPscForm",
        QStringLiteral("Poštovní směrovací čísla"),
        "Psc.DB",
        "MÍSTO",
        "PSČ",
        "DBGridPsc",
        {{QStringLiteral("MÍSTO"), QString(), 220}, {QStringLiteral("PSČ"), QString(), 70},
         {QStringLiteral("TYP"), QString(), 120}},
        {{QStringLiteral("PSČ"), QString(), 70}, {QStringLiteral("MÍSTO"), QString(), 220},
         {QStringLiteral("TYP"), QString(), 120}},
        QStringLiteral("PODLE MÍST"),
        QStringLiteral("PODLE PSČ"),
        QStringLiteral("Smazat údaj pro obec %1?"),
        QStringLiteral("Nelze vložit dva stejné názvy obcí. Je třeba je odlišit."),
        "BitBtnZpet",
        true,
        true,
        postalCodeSearchText,
    };
    return settings;
}

const CodeDirectorySettings& vehicleCodeSettings()
{
    static const CodeDirectorySettings settings{
        "TSpzForm",
        QStringLiteral("Poznávací značky zemí"),
        "Spzzem.db",
        "ZEMĚ",
        "ZNAČKA",
        "DBGridSpz",
        {{QStringLiteral("ZEMĚ"), QString(), 260}, {QStringLiteral("ZNAČKA"), QString(), 80}},
        {{QStringLiteral("ZNAČKA"), QString(), 80}, {QStringLiteral("ZEMĚ"), QString(), 260}},
        QStringLiteral("Podle zemí"),
        QStringLiteral("Podle značek"),
        QStringLiteral("Smazat SPZ pro %1?"),
        QStringLiteral("Nelze vložit dvě stejné země. Stejná země už v seznamu je."),
        "BitBtnSpz",
        false,
        false,
        nullptr,
    };
    return settings;
}

const PrefixSettings& czechPrefixSettings()
{
    static const PrefixSettings settings{
        "TTlfCrForm",
        QStringLiteral("Telefonní předvolby v ČR"),
        "TelefCR.DB",
        "Telefonní obvod",
        "Předvolba",
        QStringLiteral("Nelze vložit dva stejné telefonní obvody."),
        "ToolButtonZpet",
    };
    return settings;
}

const PrefixSettings& worldPrefixSettings()
{
    static const PrefixSettings settings{
        "TTlfSvtForm",
        QStringLiteral("Mezinárodní telefonní předvolby"),
        "TelefSvt.DB",
        "Země",
        "Předvolba",
        QStringLiteral("Nelze vložit dvě stejné země."),
        "ToolButton5",
    };
    return settings;
}

} // namespace directories
