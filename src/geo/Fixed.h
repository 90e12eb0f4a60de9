#pragma once

#include <QtGlobal>

#include <cmath>
#include <limits>

// Conversions and products shared by every fixed-point type: values are signed 64-bit integers in
// millionths of their natural unit (millimetre, degree, or a plain factor).
namespace geo {

constexpr qint64 fixedUnit = 1000000;
constexpr qint64 fixedMaximum = std::numeric_limits<qint64>::max();
constexpr qint64 fixedMinimum = std::numeric_limits<qint64>::min();

// The one double-to-fixed rule: value × 1000000 truncated toward zero, saturating at the 64-bit range.
// The bound is tested on the product: the double nearest 9223372036854.775 times 1000000 is exactly 2^63,
// which no 64-bit integer holds. NaN gives 0.
inline qint64 fixedFromDouble(double value) noexcept
{
    const double product = value * 1000000.0;
    if (std::isnan(product)) {
        return 0;
    }
    if (product >= 9223372036854775808.0) {
        return fixedMaximum;
    }
    if (product <= -9223372036854775808.0) {
        return fixedMinimum;
    }
    return static_cast<qint64>(product);
}

constexpr double fixedToDouble(qint64 value) noexcept
{
    return static_cast<double>(value) / 1000000.0;
}

constexpr qint64 saturated(__int128 value) noexcept
{
    if (value > static_cast<__int128>(fixedMaximum)) {
        return fixedMaximum;
    }
    if (value < static_cast<__int128>(fixedMinimum)) {
        return fixedMinimum;
    }
    return static_cast<qint64>(value);
}

constexpr qint64 saturatedAdd(qint64 a, qint64 b) noexcept
{
    return saturated(static_cast<__int128>(a) + b);
}

constexpr qint64 saturatedSubtract(qint64 a, qint64 b) noexcept
{
    return saturated(static_cast<__int128>(a) - b);
}

// value × factor / 1000000, truncated toward zero. The product is formed in 128 bits, so it never
// overflows; only the final result saturates.
constexpr qint64 multiplyFixed(qint64 value, qint64 fixedFactor) noexcept
{
    return saturated(static_cast<__int128>(value) * fixedFactor / fixedUnit);
}

// value × factor with the factor converted by the saturating rule.
inline qint64 multiplyByFactor(qint64 value, double factor) noexcept
{
    return multiplyFixed(value, fixedFromDouble(factor));
}

// value × 1000000 / divisor, truncated toward zero. A zero divisor saturates by the sign of the value
// (0 for a zero value) instead of trapping.
constexpr qint64 divideFixed(qint64 value, qint64 fixedDivisor) noexcept
{
    if (fixedDivisor == 0) {
        return value > 0 ? fixedMaximum : (value < 0 ? fixedMinimum : 0);
    }
    return saturated(static_cast<__int128>(value) * fixedUnit / fixedDivisor);
}

inline qint64 divideByFactor(qint64 value, double factor) noexcept
{
    return divideFixed(value, fixedFromDouble(factor));
}

// A NaN becomes 0; every other double passes unchanged.
constexpr double zeroIfNaN(double value) noexcept
{
    return value != value ? 0.0 : value;
}

} // namespace geo
