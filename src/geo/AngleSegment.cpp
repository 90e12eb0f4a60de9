#include "geo/AngleSegment.h"

#include <algorithm>

namespace geo {

namespace {

constexpr qint64 smallestStep = 100000;
constexpr qint64 largestStep = 45000000;
// Real ranges span a turn or two; a range between extreme angles (from a crafted file) would ask for
// some 10^14 angles. Ten full turns at the smallest step bound the count, so such a range is sampled
// more coarsely instead of exhausting memory.
constexpr qint64 maximumStepCount = 10 * Angle::fullTurn / smallestStep;

} // namespace

std::vector<Angle> AngleSegment::toSequence(Angle step) const
{
    if (m_begin == m_end) {
        return {m_begin};
    }
    const qint64 clampedStep = std::clamp<qint64>(step.value(), smallestStep, largestStep);
    const __int128 span = static_cast<__int128>(m_end.value()) - m_begin.value();
    const __int128 magnitude = span < 0 ? -span : span;
    // The quotient in millionths, rounded to whole steps (half rounds up).
    const __int128 scaledQuotient = magnitude * fixedUnit / clampedStep;
    qint64 count = saturated(scaledQuotient / fixedUnit + (scaledQuotient % fixedUnit >= 500000 ? 1 : 0));
    count = std::clamp<qint64>(count, 1, maximumStepCount);
    if (count == 1) {
        return {m_begin, m_end};
    }
    std::vector<Angle> sequence;
    sequence.reserve(static_cast<size_t>(count) + 2);
    sequence.push_back(m_begin);
    // The interior angles sit at i / (count + 1) of the range, so the last gap is twice the others.
    for (qint64 i = 1; i < count; ++i) {
        const double t = static_cast<double>(i) / static_cast<double>(count + 1);
        sequence.push_back(m_begin * zeroIfNaN(1.0 - t) + m_end * zeroIfNaN(t));
    }
    sequence.push_back(m_end);
    return sequence;
}

bool AngleSegment::isInside(Angle angle) const noexcept
{
    const Angle begin = m_begin.normalized();
    const Angle end = m_end.normalized();
    const Angle value = angle.normalized();
    if (end < begin) {
        return value <= end || value >= begin;
    }
    return begin <= value && value <= end;
}

bool AngleSegment::doesOverlap(const AngleSegment& other) const noexcept
{
    return isInside(other.m_begin) || isInside(other.m_end) || other.isInside(m_begin) || other.isInside(m_end);
}

AngleSegment AngleSegment::sector(Angle angle) noexcept
{
    const qint64 quarter = Angle::fullTurn / 4;
    const qint64 begin = angle.normalized().value() / quarter * quarter;
    return AngleSegment(Angle(begin), Angle(begin + quarter));
}

AngleSegment& AngleSegment::operator+=(Angle angle) noexcept
{
    m_begin += angle;
    m_end += angle;
    return *this;
}

AngleSegment& AngleSegment::operator-=(Angle angle) noexcept
{
    m_begin -= angle;
    m_end -= angle;
    return *this;
}

} // namespace geo
