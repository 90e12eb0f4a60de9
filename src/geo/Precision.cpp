#include "geo/Precision.h"

#include "geo/Fixed.h"

#include <algorithm>
#include <array>

namespace geo {

namespace {

struct PrecisionRow {
    double step;
    qint64 stepUnits;
    qint64 halfStepUnits;
};

constexpr std::array<PrecisionRow, Precision::maximumLevel + 1> precisionTable{{
    {1.0, 1000000, 500000},
    {0.1, 100000, 50000},
    {0.01, 10000, 5000},
    {0.001, 1000, 500},
    {0.0001, 100, 50},
    {0.00001, 10, 5},
    {0.000001, 1, 0},
}};

} // namespace

Precision Precision::fromLevel(int level) noexcept
{
    const unsigned int limited = std::min(static_cast<unsigned int>(level), static_cast<unsigned int>(maximumLevel));
    return Precision(static_cast<int>(limited), precisionTable[limited].step);
}

qint64 Precision::stepUnits() const noexcept
{
    return precisionTable[m_level].stepUnits;
}

qint64 Precision::halfStepUnits() const noexcept
{
    return precisionTable[m_level].halfStepUnits;
}

qint64 Precision::rounded(qint64 value) const noexcept
{
    if (m_level >= maximumLevel) {
        return value;
    }
    const qint64 step = stepUnits();
    const qint64 half = halfStepUnits();
    const qint64 remainder = value % step;
    const qint64 base = value - remainder;
    if (remainder <= -half) {
        return saturatedSubtract(base, step);
    }
    if (remainder >= half) {
        return saturatedAdd(base, step);
    }
    return base;
}

Precision Precision::fromData(const QVariant& data)
{
    return fromLevel(data.toInt());
}

} // namespace geo
