#include "calculators/Bmi.h"

#include "BmiTexts.h"

#include <cmath>
#include <limits>

namespace calculators {

namespace {

// Upper bounds of the first six categories (inclusive from the second on);
// the first is exclusive, as is the bound of the sixth.
constexpr double kUnderweightBelow = 18.5;
constexpr double kNormalUpTo = 24.9;
constexpr double kLightOverweightUpTo = 26.9;
constexpr double kOverweightUpTo = 29.9;
constexpr double kObesity1UpTo = 34.9;
constexpr double kObesity2Below = 40;

int roundHalfEven(double value)
{
    // nearbyint rounds in the current mode, which is to nearest with ties to even.
    return static_cast<int>(std::nearbyint(value));
}

} // namespace

const std::array<BmiCategory, 7>& bmiCategories()
{
    static const std::array<BmiCategory, 7> categories = {{
        {bmitexts::kPodvaha, bmitexts::kRiskPodvyziva, 5},
        {bmitexts::kNormalni, bmitexts::kRiskMinimalni, 1},
        {bmitexts::kLehkaNadvaha, bmitexts::kRiskLehceZvysena, 2},
        {bmitexts::kZvysenaNadvaha, bmitexts::kRiskZvysena, 3},
        {bmitexts::kObezita1, bmitexts::kRiskStredneVysoka, 4},
        // Underweight shares this picture: both are the high-risk figure.
        {bmitexts::kObezita2, bmitexts::kRiskVysoka, 5},
        {bmitexts::kObezita3, bmitexts::kRiskVelmiVysoka, 6},
    }};
    return categories;
}

const BmiCategory& categoryFor(double bmi)
{
    const auto& c = bmiCategories();
    if (bmi < kUnderweightBelow)
        return c[0];
    if (bmi <= kNormalUpTo)
        return c[1];
    if (bmi <= kLightOverweightUpTo)
        return c[2];
    if (bmi <= kOverweightUpTo)
        return c[3];
    if (bmi <= kObesity1UpTo)
        return c[4];
    if (bmi < kObesity2Below)
        return c[5];
    return c[6];
}

std::optional<std::int32_t> parseWholeNumber(const QString& text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    if (i == n)
        return std::nullopt;
    std::int64_t value = 0;
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
        if (value > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<std::int32_t>::max() || value < std::numeric_limits<std::int32_t>::min())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::array<int, 7> weightLimits(std::int32_t height)
{
    std::array<int, 7> limits{};
    const std::int32_t squared = height * height;
    // The underweight factor is a fraction: its product is formed in floating
    // point; the whole-number factors multiply as 32-bit integers.
    limits[0] = roundHalfEven(kLimitFactors[0] * height * height / 10000.0);
    for (std::size_t row = 1; row < kLimitFactors.size(); ++row) {
        const auto factor = static_cast<std::int32_t>(kLimitFactors[row]);
        limits[row] = roundHalfEven((factor * squared) / 10000.0);
    }
    return limits;
}

QString picturePath(int picture)
{
    return QStringLiteral("Obrazky/Tvar%1.bmp").arg(picture);
}

std::variant<BmiResult, BmiError> computeBmi(const QString& heightText, const QString& weightText)
{
    const std::optional<std::int32_t> height = parseWholeNumber(heightText);
    if (!height)
        return BmiError{bmitexts::kNotInteger.arg(heightText)};
    const std::optional<std::int32_t> weight = parseWholeNumber(weightText);
    if (!weight)
        return BmiError{bmitexts::kNotInteger.arg(weightText)};
    if (*height == 0)
        return BmiError{*weight == 0 ? bmitexts::kInvalidOperation : bmitexts::kDivisionByZero};
    if (*height < 0)
        return BmiError{bmitexts::kHeightNotPositive};
    // Above it the obesity limit's 40 × h × h leaves 32 bits.
    if (*height > kHighestHeight)
        return BmiError{bmitexts::kHeightTooLarge.arg(kHighestHeight)};

    const std::int32_t squared = *height * *height;
    const double area = squared / 10000.0;
    BmiResult result;
    result.bmi = *weight / area;
    result.category = categoryFor(result.bmi);
    result.limits = weightLimits(*height);
    return result;
}

} // namespace calculators
