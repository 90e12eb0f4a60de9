#pragma once

#include <QVariant>

namespace geo {

// A rounding precision for lengths, one of seven decimal steps from 1 mm (level 0) to 0.000001 mm
// (level 6, exact).
class Precision
{
public:
    static constexpr int maximumLevel = 6;

    constexpr Precision() noexcept = default;
    // Levels outside 0..6 are limited to 6.
    static Precision fromLevel(int level) noexcept;

    constexpr int level() const noexcept { return m_level; }
    // The step in millimetres.
    constexpr double step() const noexcept { return m_step; }
    qint64 stepUnits() const noexcept;
    qint64 halfStepUnits() const noexcept;

    // The value rounded to the nearest multiple of the step, a remainder of half a step or more
    // rounding away from zero; unchanged at level 6.
    qint64 rounded(qint64 value) const noexcept;

    QVariant toData() const { return QVariant(m_level); }
    // The level as an unsigned number limited to 6, so a negative level becomes 6.
    static Precision fromData(const QVariant& data);

    constexpr bool operator==(const Precision& other) const noexcept { return m_level == other.m_level; }
    constexpr bool operator!=(const Precision& other) const noexcept { return m_level != other.m_level; }

private:
    constexpr Precision(int level, double step) noexcept : m_level(level), m_step(step) {}

    int m_level = 0;
    double m_step = 1.0;
};

} // namespace geo
