#include "calculators/UnitConversion.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace calculators {

namespace {

using Op = FactorRule::Op;
constexpr Op kMul = Op::Multiply;
constexpr Op kDiv = Op::Divide;

std::vector<UnitPage> buildPages()
{
    std::vector<UnitPage> pages;

    // Each pair carries its own rounded factor, as published: a conversion
    // through a third unit need not agree with the direct one.
    pages.push_back({QStringLiteral("Délkové míry"),
                     {QStringLiteral("Metr"), QStringLiteral("Míle"), QStringLiteral("Milimetr"),
                      QStringLiteral("Námořní míle"), QStringLiteral("Palec"), QStringLiteral("Parsec"),
                      QStringLiteral("Stopa"), QStringLiteral("Světelný rok"), QStringLiteral("Yard")},
                     {QStringLiteral("metr"), QStringLiteral("míle"), QStringLiteral("mm"),
                      QStringLiteral("námořní míle"), QStringLiteral("palec"), QStringLiteral("parsec"),
                      QStringLiteral("stopa"), QStringLiteral("světelný rok"), QStringLiteral("yard")},
                     {{0, 1, kDiv, 1609.344L},       {0, 2, kMul, 1000L},
                      {0, 3, kDiv, 1852L},           {0, 4, kDiv, 0.0254L},
                      {0, 5, kDiv, 3.085678186e16L}, {0, 6, kDiv, 0.3048L},
                      {0, 7, kDiv, 9.460528405e15L}, {0, 8, kDiv, 0.9144L},
                      {1, 2, kMul, 1609344L},        {1, 3, kDiv, 1.150779448L},
                      {1, 4, kMul, 63360L},          {1, 5, kDiv, 1.917351533e13L},
                      {1, 6, kMul, 5280L},           {1, 7, kDiv, 5.87849981e12L},
                      {1, 8, kMul, 1760L},           {2, 3, kDiv, 1852000L},
                      {2, 4, kDiv, 25.4L},           {2, 5, kDiv, 3.085678186e19L},
                      {2, 6, kDiv, 304.8L},          {2, 7, kDiv, 9.460528405e18L},
                      {2, 8, kDiv, 914.4L},          {3, 4, kMul, 72913.38583L},
                      {3, 5, kDiv, 1.66613293e13L},  {3, 6, kMul, 6076.115486L},
                      {3, 7, kDiv, 5.108276676e12L}, {3, 8, kMul, 2025.371829L},
                      {4, 5, kDiv, 1.214833931e18L}, {4, 6, kDiv, 12L},
                      {4, 7, kDiv, 3.724617482e17L}, {4, 8, kDiv, 36L},
                      {5, 6, kMul, 1.01236161e17L},  {5, 7, kMul, 3.26163408L},
                      {5, 8, kMul, 3.374538698e16L}, {6, 7, kDiv, 3.103847902e16L},
                      {6, 8, kDiv, 3L},              {7, 8, kMul, 1.034615967e16L}},
                     false});

    pages.push_back({QStringLiteral("Váhy"),
                     {QStringLiteral("Gram"), QStringLiteral("Karát"), QStringLiteral("Libra"),
                      QStringLiteral("Trojská unce"), QStringLiteral("Tuna"), QStringLiteral("Unce")},
                     {QStringLiteral("gram"), QStringLiteral("karát"), QStringLiteral("libra"),
                      QStringLiteral("trojská unce"), QStringLiteral("tuna"), QStringLiteral("unce")},
                     {{0, 1, kMul, 5L},
                      {0, 2, kDiv, 453.59237L},
                      {0, 3, kDiv, 31.103475L},
                      {0, 4, kDiv, 1000000L},
                      {0, 5, kDiv, 28.34952312L},
                      {1, 2, kDiv, 2267.96185L},
                      {1, 3, kDiv, 155.517375L},
                      {1, 4, kDiv, 5000000L},
                      {1, 5, kDiv, 141.7476156L},
                      {2, 3, kMul, 14.58333418L},
                      {2, 4, kDiv, 2204.622622L},
                      {2, 5, kMul, 16L},
                      {3, 4, kDiv, 32150.74843L},
                      {3, 5, kMul, 1.097142794L},
                      {4, 5, kMul, 35273.96195L}},
                     false});

    pages.push_back({QStringLiteral("Plošné míry"),
                     {QStringLiteral("Akr"), QStringLiteral("Hektar"), QStringLiteral("Kilometr čtvereční"),
                      QStringLiteral("Metr čtvereční")},
                     {QStringLiteral("akr"), QStringLiteral("hektar"), QStringLiteral("km čtvereční"),
                      QStringLiteral("metr čtvereční")},
                     {{0, 1, kDiv, 2.47104393L},
                      {0, 2, kDiv, 247.104393L},
                      {0, 3, kMul, 4046.825252L},
                      {1, 2, kDiv, 100L},
                      {1, 3, kMul, 10000L},
                      {2, 3, kMul, 1000000L}},
                     false});

    pages.push_back({QStringLiteral("Energie"),
                     {QStringLiteral("Joule"), QStringLiteral("Kalorie")},
                     {QStringLiteral("joule"), QStringLiteral("kalorie")},
                     {{0, 1, kDiv, 4.1868L}},
                     false});

    pages.push_back({QStringLiteral("Suchý objem"),
                     {QStringLiteral("Barel"), QStringLiteral("Litr"), QStringLiteral("Pinta")},
                     {QStringLiteral("barel"), QStringLiteral("litr"), QStringLiteral("pinta")},
                     {{0, 1, kMul, 115.6271292L}, {0, 2, kMul, 209.9980469L}, {1, 2, kMul, 1.81616588L}},
                     false});

    pages.push_back({QStringLiteral("Objem"),
                     {QStringLiteral("Galon"), QStringLiteral("Litr"), QStringLiteral("Metr krychlový"),
                      QStringLiteral("Unce")},
                     {QStringLiteral("galon"), QStringLiteral("litr"), QStringLiteral("m krychlový"),
                      QStringLiteral("unce")},
                     {{0, 1, kMul, 3.785411784L},
                      {0, 2, kDiv, 264.1720524L},
                      {0, 3, kMul, 128L},
                      {1, 2, kDiv, 1000L},
                      {1, 3, kMul, 33.8140227L},
                      {2, 3, kMul, 33814.0227L}},
                     false});

    pages.push_back({QStringLiteral("Teplota"),
                     {QStringLiteral("Celsius"), QStringLiteral("Fahrenheit"), QStringLiteral("Kelvin")},
                     {QStringLiteral("°C"), QStringLiteral("°F"), QStringLiteral("°K")},
                     {},
                     true});

    pages.push_back({QStringLiteral("Výkon"),
                     {QStringLiteral("Kilowatt"), QStringLiteral("Koňská síla")},
                     {QStringLiteral("kW"), QStringLiteral("HP")},
                     {{0, 1, kMul, 1.34102209L}},
                     false});

    pages.push_back({QStringLiteral("Tlak"),
                     {QStringLiteral("Atmosféra"), QStringLiteral("Bar"), QStringLiteral("Kilopascal"),
                      QStringLiteral("Torr")},
                     {QStringLiteral("atmosféra"), QStringLiteral("bar"), QStringLiteral("kP"),
                      QStringLiteral("torr")},
                     {{0, 1, kMul, 1.01325L},
                      {0, 2, kMul, 101.325L},
                      {0, 3, kMul, 760L},
                      {1, 2, kMul, 100L},
                      {1, 3, kMul, 750.0616827L},
                      {2, 3, kMul, 7.500616827L}},
                     false});

    pages.push_back({QStringLiteral("Rychlost"),
                     {QStringLiteral("Kilometr za hodinu"), QStringLiteral("Kilometr za sekundu"),
                      QStringLiteral("Mach"), QStringLiteral("Metr za sekundu"),
                      QStringLiteral("Míle za hodinu"), QStringLiteral("Námořní uzel")},
                     {QStringLiteral("km/h"), QStringLiteral("km/s"), QStringLiteral("Mach"),
                      QStringLiteral("m/s"), QStringLiteral("míle/h"), QStringLiteral("námořní uzel")},
                     {{0, 1, kDiv, 3600L},
                      {0, 2, kDiv, 1193.256L},
                      {0, 3, kDiv, 3.6L},
                      {0, 4, kDiv, 1.609344L},
                      {0, 5, kDiv, 1.852L},
                      {1, 2, kMul, 3.016955289L},
                      {1, 3, kMul, 1000L},
                      {1, 4, kMul, 2236.936292L},
                      {1, 5, kMul, 1943.844492L},
                      {2, 3, kMul, 331.46L},
                      {2, 4, kMul, 741.4549033L},
                      {2, 5, kMul, 644.3066954L},
                      {3, 4, kMul, 2.236936292L},
                      {3, 5, kMul, 1.943844492L},
                      {4, 5, kDiv, 1.150779448L}},
                     false});

    return pages;
}

enum Temperature { Celsius = 0, Fahrenheit = 1, Kelvin = 2 };

Real convertTemperature(int from, int to, Real x)
{
    if (from == Celsius && to == Fahrenheit)
        return x * 1.8L + 32;
    if (from == Celsius && to == Kelvin)
        return x + 273.15L;
    if (from == Fahrenheit && to == Celsius)
        return (x - 32) / 1.8L;
    if (from == Fahrenheit && to == Kelvin)
        return (x - 32) / 1.8L + 273.15L;
    if (from == Kelvin && to == Celsius)
        return x - 273.15L;
    if (from == Kelvin && to == Fahrenheit)
        return (x - 273.15L) * 1.8L + 32;
    return x;
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The text of a valid number in plain ASCII without a leading "+", or
// nothing when the text breaks the syntax.
std::optional<std::string> numberSyntax(const QString& text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == QLatin1Char(' '))
        ++i;
    std::string out;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        if (text[i] == QLatin1Char('-'))
            out += '-';
        ++i;
    }
    int mantissaDigits = 0;
    while (i < n && isDigit(text[i])) {
        out += static_cast<char>(text[i].unicode());
        ++i;
        ++mantissaDigits;
    }
    if (i < n && text[i] == QLatin1Char('.')) {
        out += '.';
        ++i;
        while (i < n && isDigit(text[i])) {
            out += static_cast<char>(text[i].unicode());
            ++i;
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        out += 'e';
        ++i;
        if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
            out += static_cast<char>(text[i].unicode());
            ++i;
        }
        int exponentDigits = 0;
        while (i < n && isDigit(text[i])) {
            out += static_cast<char>(text[i].unicode());
            ++i;
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return std::nullopt;
    }
    if (i != n)
        return std::nullopt;
    return out;
}

// Whether a syntactically valid number that does not fit a Real is too
// large (rather than too small): the decimal exponent of its first
// significant digit decides.
bool overflows(const std::string& number)
{
    const std::size_t e = number.find('e');
    const std::string mantissa = number.substr(0, e);
    long long exponent = 0;
    if (e != std::string::npos) {
        const char* first = number.data() + e + 1;
        const char* last = number.data() + number.size();
        if (*first == '+')
            ++first;
        if (std::from_chars(first, last, exponent).ec != std::errc())
            return *first != '-'; // an exponent beyond any range: its sign decides
    }
    const std::size_t point = mantissa.find('.');
    const std::size_t integerEnd = point == std::string::npos ? mantissa.size() : point;
    long long position = 0; // decimal exponent of the first significant digit
    bool found = false;
    std::size_t start = mantissa.front() == '-' ? 1 : 0;
    for (std::size_t i = start; i < integerEnd && !found; ++i) {
        if (mantissa[i] != '0') {
            position = static_cast<long long>(integerEnd - i) - 1;
            found = true;
        }
    }
    for (std::size_t i = integerEnd + 1; point != std::string::npos && i < mantissa.size() && !found; ++i) {
        if (mantissa[i] != '0') {
            position = -static_cast<long long>(i - integerEnd);
            found = true;
        }
    }
    return found && position + exponent > 0;
}

// Decimal digits of |value| and the exponent of the first one, rounded to
// `digits` significant digits.
struct Digits {
    std::string digits;
    int exponent = 0;
};

Digits significantDigits(Real value, int digits)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                      std::chars_format::scientific, digits - 1);
    const std::string text(buffer, result.ptr);
    const std::size_t e = text.find('e');
    Digits out;
    for (std::size_t i = 0; i < e; ++i) {
        if (text[i] != '.')
            out.digits += text[i];
    }
    out.exponent = std::stoi(text.substr(e + 1));
    return out;
}

QString exponentForm(Real value)
{
    const Digits d = significantDigits(value, 2);
    const int exponent = d.exponent;
    QString text = value < 0 ? QStringLiteral("-") : QStringLiteral(" ");
    text += QString::fromLatin1(d.digits.substr(0, 1) + "." + d.digits.substr(1, 1) + "E");
    text += exponent < 0 ? QLatin1Char('-') : QLatin1Char('+');
    text += QString::number(std::abs(exponent)).rightJustified(4, QLatin1Char('0'));
    return text;
}

constexpr int kDecimals = 10;
constexpr int kSignificant = 18;
constexpr int kMinimumWidth = 10;
constexpr Real kExponentFormFrom = 1e36L;

} // namespace

const std::vector<UnitPage>& unitPages()
{
    static const std::vector<UnitPage> pages = buildPages();
    return pages;
}

Real convertUnits(int page, int from, int to, Real x)
{
    const UnitPage& units = unitPages().at(static_cast<std::size_t>(page));
    if (from == to)
        return x;
    if (units.temperature)
        return convertTemperature(from, to, x);
    for (const FactorRule& rule : units.rules) {
        if (rule.from == from && rule.to == to)
            return rule.op == Op::Multiply ? x * rule.factor : x / rule.factor;
        if (rule.from == to && rule.to == from)
            return rule.op == Op::Multiply ? x / rule.factor : x * rule.factor;
    }
    return x; // every pair has a rule; an unknown unit index converts nothing
}

QString fromUnitLabel(int page, int from)
{
    return unitPages().at(static_cast<std::size_t>(page)).shortNames.value(from);
}

QString toUnitLabel(int page, int from, int to)
{
    const UnitPage& units = unitPages().at(static_cast<std::size_t>(page));
    const QString fromItem = units.items.value(from);
    const QString toItem = units.items.value(to);
    if (page == 0 && fromItem == QStringLiteral("Metr") && toItem == QStringLiteral("Milimetr"))
        return QStringLiteral("milimetr");
    if (units.title == QStringLiteral("Objem") && fromItem == QStringLiteral("Litr") &&
        toItem == QStringLiteral("Metr krychlový"))
        return QStringLiteral("metr krychlový");
    return units.shortNames.value(to);
}

std::optional<QString> absoluteZeroWarning(int to, Real result)
{
    switch (to) {
    case Celsius:
        if (result < -273.15L)
            return QStringLiteral("Výsledek nemá smysl, teplota -273.15°C je absolutní nula");
        break;
    case Fahrenheit:
        if (result < -459.67L)
            return QStringLiteral("Výsledek nemá smysl, teplota -459.67°F je absolutní nula");
        break;
    case Kelvin:
        if (result < 0)
            return QStringLiteral("Výsledek nemá smysl, teplota 0°K je absolutní nula");
        break;
    default:
        break;
    }
    return std::nullopt;
}

Real StrToReal(const QString& text)
{
    const std::optional<std::string> number = numberSyntax(text);
    if (!number)
        return 0;
    Real value = 0;
    const auto result = std::from_chars(number->data(), number->data() + number->size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        const bool negative = number->front() == '-';
        if (overflows(*number))
            return negative ? -std::numeric_limits<Real>::infinity()
                            : std::numeric_limits<Real>::infinity();
        return negative ? -0.0L : 0.0L;
    }
    if (result.ec != std::errc() || result.ptr != number->data() + number->size())
        return 0;
    return value;
}

QString RealToStr(Real value)
{
    if (!std::isfinite(value))
        return QString();
    if (std::fabs(value) >= kExponentFormFrom)
        return exponentForm(value);

    // Round once, at whichever comes first: the 18th significant digit or
    // the 10th decimal.
    Digits d = significantDigits(value, kSignificant);
    const int wanted = std::min(kSignificant, d.exponent + 1 + kDecimals);
    if (value == 0) {
        d = {std::string(1, '0'), 0};
    } else if (wanted <= 0) {
        // Below the last decimal: it rounds to 0 or, from half of it, to one unit.
        const bool roundsUp = wanted == 0 && d.digits[0] >= '5';
        d = roundsUp ? Digits{std::string(1, '1'), -kDecimals} : Digits{std::string(1, '0'), 0};
    } else if (wanted < kSignificant) {
        d = significantDigits(value, wanted);
    }

    const int integerDigits = d.exponent + 1;
    const auto digitAt = [&](int index) -> char {
        return index >= 0 && index < static_cast<int>(d.digits.size())
                   ? d.digits[static_cast<std::size_t>(index)]
                   : '0';
    };
    std::string integerPart;
    for (int i = 0; i < integerDigits; ++i)
        integerPart += digitAt(i);
    if (integerPart.empty())
        integerPart = "0";
    std::string fraction;
    for (int i = 0; i < kDecimals; ++i)
        fraction += digitAt(integerDigits + i);

    const bool allZero = (integerPart + fraction).find_first_not_of('0') == std::string::npos;
    const QString text = QString::fromLatin1((value < 0 && !allZero ? "-" : "") + integerPart + "." + fraction);
    return text.rightJustified(kMinimumWidth, QLatin1Char(' '));
}

} // namespace calculators
