#pragma once

#include "geo/Fixed.h"
#include "geo/Normal1D.h"

#include <QVariant>

namespace geo {

// The common part of the one-word fixed-point types (Length, Point1D, Angle, Value): a signed 64-bit
// integer in millionths that adds, subtracts and compares as an integer. Sums saturate instead of
// overflowing.
template <typename Derived>
class FixedValue
{
public:
    constexpr FixedValue() noexcept = default;
    constexpr explicit FixedValue(qint64 value) noexcept : m_value(value) {}

    constexpr qint64 value() const noexcept { return m_value; }
    // The value in its natural unit (millimetres, degrees).
    constexpr double toDouble() const noexcept { return fixedToDouble(m_value); }
    static Derived fromDouble(double value) noexcept { return Derived(fixedFromDouble(value)); }

    // Stored as the fixed number itself.
    QVariant toVariant() const { return QVariant(static_cast<qlonglong>(m_value)); }
    // A 64-bit integer is the fixed value itself; anything else is a number in natural units.
    static Derived fromVariant(const QVariant& variant)
    {
        if (variant.typeId() == QMetaType::LongLong) {
            return Derived(variant.toLongLong());
        }
        return fromDouble(variant.toDouble());
    }

    constexpr Derived operator+(Derived other) const noexcept { return Derived(saturatedAdd(m_value, other.m_value)); }
    constexpr Derived operator-(Derived other) const noexcept { return Derived(saturatedSubtract(m_value, other.m_value)); }
    constexpr Derived operator-() const noexcept { return Derived(saturatedSubtract(0, m_value)); }
    Derived& operator+=(Derived other) noexcept { return self() = self() + other; }
    Derived& operator-=(Derived other) noexcept { return self() = self() - other; }

    // Product with a factor: the factor becomes fixed by the saturating rule, the product is divided by
    // 1000000 and truncated toward zero.
    Derived operator*(Normal1D factor) const noexcept { return Derived(multiplyByFactor(m_value, factor)); }
    // Quotient by a factor: value × 1000000 / fixed factor; a factor that becomes 0 saturates by sign.
    Derived operator/(Normal1D factor) const noexcept { return Derived(divideByFactor(m_value, factor)); }

    constexpr bool operator==(Derived other) const noexcept { return m_value == other.m_value; }
    constexpr bool operator!=(Derived other) const noexcept { return m_value != other.m_value; }
    constexpr bool operator<(Derived other) const noexcept { return m_value < other.m_value; }
    constexpr bool operator<=(Derived other) const noexcept { return m_value <= other.m_value; }
    constexpr bool operator>(Derived other) const noexcept { return m_value > other.m_value; }
    constexpr bool operator>=(Derived other) const noexcept { return m_value >= other.m_value; }

protected:
    Derived& self() noexcept { return static_cast<Derived&>(*this); }

    qint64 m_value = 0;
};

} // namespace geo
