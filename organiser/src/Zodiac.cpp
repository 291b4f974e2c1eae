#include "organiser/Zodiac.h"

namespace organiser {

bool ZodiacSign::contains(int dayNumber) const
{
    if (dayNumber < 1 || dayNumber > 366)
        return false;
    if (from <= to)
        return dayNumber >= from && dayNumber <= to;
    return dayNumber >= from || dayNumber <= to; // across the year's end
}

const std::array<ZodiacSign, 12>& zodiacSigns()
{
    static const std::array<ZodiacSign, 12> signs = {{
        {QStringLiteral("Vodnář"), QStringLiteral("Vodnář"), QStringLiteral("Od 20.ledna do 18.února"),
         QStringLiteral("Obrazky/Vodnar.bmp"), 30, 20, 49},
        {QStringLiteral("Ryby"), QStringLiteral("Ryby"), QStringLiteral("Od 19.února do 20.března"),
         QStringLiteral("Obrazky/Ryby.bmp"), 30, 50, 80},
        {QStringLiteral("Skopec (Beran)"), QStringLiteral("Skopec"),
         QStringLiteral("Od 21.března do 20.dubna"), QStringLiteral("Obrazky/Skopec.bmp"), 6, 81, 111},
        {QStringLiteral("Býk"), QStringLiteral("Býk"), QStringLiteral("Od 21.dubna do 20.května"),
         QStringLiteral("Obrazky/Byk.bmp"), 30, 112, 141},
        {QStringLiteral("Blíženci"), QStringLiteral("Blíženci"),
         QStringLiteral("Od 21.května do 20.června"), QStringLiteral("Obrazky/Blizenci.bmp"), 30, 142,
         172},
        {QStringLiteral("Rak"), QStringLiteral("Rak"), QStringLiteral("Od 21.června do 22.července"),
         QStringLiteral("Obrazky/Rak.bmp"), 30, 173, 204},
        {QStringLiteral("Lev"), QStringLiteral("Lev"), QStringLiteral("Od 23.července do 22.srpna"),
         QStringLiteral("Obrazky/Lev.bmp"), 30, 205, 235},
        {QStringLiteral("Panna"), QStringLiteral("Panna"), QStringLiteral("Od 23.srpna do 22.září"),
         QStringLiteral("Obrazky/Panna.bmp"), 30, 236, 266},
        {QStringLiteral("Váhy"), QStringLiteral("Váhy"), QStringLiteral("Od 23.září do 22.října"),
         QStringLiteral("Obrazky/Vahy.bmp"), 30, 267, 296},
        {QStringLiteral("Štír"), QStringLiteral("Štír"), QStringLiteral("Od 23.října do 21.listopadu"),
         QStringLiteral("Obrazky/Stir.bmp"), 30, 297, 326},
        {QStringLiteral("Střelec"), QStringLiteral("Střelec"),
         QStringLiteral("Od 22.listopadu do 21.prosince"), QStringLiteral("Obrazky/Strelec.bmp"), 30,
         327, 356},
        {QStringLiteral("Kozoroh"), QStringLiteral("Kozoroh"),
         QStringLiteral("Od 22.prosince do 19.ledna"), QStringLiteral("Obrazky/Kozoroh.bmp"), 30, 357,
         19},
    }};
    return signs;
}

const ZodiacSign* zodiacSignForDay(int dayNumber)
{
    for (const ZodiacSign& sign : zodiacSigns()) {
        if (sign.contains(dayNumber))
            return &sign;
    }
    return nullptr;
}

const std::array<WeddingAnniversary, 15>& weddingAnniversaries()
{
    static const std::array<WeddingAnniversary, 15> rows = {{
        {QStringLiteral("1"), QStringLiteral("Bavlněná svatba")},
        {QStringLiteral("2"), QStringLiteral("Papírová svatba")},
        {QStringLiteral("5"), QStringLiteral("Dřevěná svatba")},
        {QStringLiteral("6"), QStringLiteral("Železná svatba")},
        {QStringLiteral("11"), QStringLiteral("Ocelová svatba")},
        {QStringLiteral("12"), QStringLiteral("Hedvábná svatba")},
        {QStringLiteral("15"), QStringLiteral("Křišťálová svatba")},
        {QStringLiteral("20"), QStringLiteral("Porcelánová svatba")},
        {QStringLiteral("25"), QStringLiteral("Stříbrná svatba")},
        {QStringLiteral("30"), QStringLiteral("Perlová svatba")},
        {QStringLiteral("40"), QStringLiteral("Rubínová svatba")},
        {QStringLiteral("45"), QStringLiteral("Safírová svatba")},
        {QStringLiteral("50"), QStringLiteral("Zlatá svatba")},
        {QStringLiteral("60"), QStringLiteral("Diamantová svatba")},
        {QStringLiteral("70"), QStringLiteral("Platinová svatba")},
    }};
    return rows;
}

} // namespace organiser
