#pragma once

// The body-mass index calculator's arithmetic: whole-number inputs, the
// index, its category with the health risk and body-shape picture, and the
// weight limits of every category for a height.

#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <variant>

namespace calculators {

struct BmiCategory {
    QString category;
    QString risk;
    int picture = 0; // Tvar1.bmp .. Tvar6.bmp
};

// The seven categories in rising order of the index.
const std::array<BmiCategory, 7>& bmiCategories();
// The first category whose bound the index does not pass.
const BmiCategory& categoryFor(double bmi);

// The factors of the seven limit rows (the last row repeats the obesity bound).
inline constexpr std::array<double, 7> kLimitFactors = {18.5, 25, 27, 30, 35, 40, 40};
// The heights for which every product k × h × h stays within 32 bits.
inline constexpr int kHighestHeight = 7327;

// A whole number as typed: optional leading blanks, an optional sign, digits
// and nothing after them, within 32 bits.
std::optional<std::int32_t> parseWholeNumber(const QString& text);

// The weight limits of the seven rows for a height in 1 .. kHighestHeight cm,
// rounded to the nearest whole number with halves to the even neighbour.
std::array<int, 7> weightLimits(std::int32_t height);

// The picture of a category, relative to the working directory.
QString picturePath(int picture);

struct BmiResult {
    double bmi = 0;
    BmiCategory category;
    std::array<int, 7> limits{};
};
// Why the computation stopped, as the error box says it.
struct BmiError {
    QString text;
};

// The whole computation from the two field texts; an error comes before
// anything would change on screen.
std::variant<BmiResult, BmiError> computeBmi(const QString& heightText, const QString& weightText);

} // namespace calculators
