#pragma once

// The arithmetic of the unit conversion window: the ten pages with their
// units, one fixed operation per pair of units, and the number texts.

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace calculators {

// The numbers of the conversion: extended precision where the platform has
// it, so that 18 significant digits are real digits (1 parsec shows
// 30856781860000000000 mm, not the double's 30856781859999998000).
using Real = long double;

// How a pair of units converts: the operation from the first unit to the
// second; the opposite direction applies the inverse with the same factor.
struct FactorRule {
    int from = 0;
    int to = 0;
    enum class Op { Multiply, Divide } op = Op::Multiply;
    Real factor = 1;
};

struct UnitPage {
    QString title;          // the tab
    QStringList items;      // both lists
    QStringList shortNames; // the labels beside the input and the result
    std::vector<FactorRule> rules;
    bool temperature = false; // formulas instead of factors
};

// The pages in tab order.
const std::vector<UnitPage>& unitPages();
inline constexpr int kTemperaturePage = 6;

// The value of x in unit `from` expressed in unit `to` on that page.
Real convertUnits(int page, int from, int to, Real x);

// The short names beside the input (from) and the result (to), with the two
// conversions that spell the result's unit out in full.
QString fromUnitLabel(int page, int from);
QString toUnitLabel(int page, int from, int to);

// On the temperature page: the warning for a result strictly below absolute
// zero of the target unit, nullopt when the result is possible.
std::optional<QString> absoluteZeroWarning(int to, Real result);

// The number in a text: optional leading blanks, a sign, digits with an
// optional "." fraction and an optional exponent, and nothing after them.
// Any other text counts as 0. A number beyond the range of Real gives an
// infinity of its sign (the window refuses to convert it).
Real StrToReal(const QString& text);

// Fixed point with ten decimals and at most 18 significant digits (further
// digits read 0); 10^36 and more in the short exponent form " 3.1E+0040".
// Only finite numbers have a text.
QString RealToStr(Real value);

} // namespace calculators
