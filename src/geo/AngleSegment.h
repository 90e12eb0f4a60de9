#pragma once

#include "geo/Angle.h"

#include <vector>

namespace geo {

// A range of angles from begin to end; neither is normalised, and the range may run backwards.
class AngleSegment
{
public:
    constexpr AngleSegment() noexcept = default;
    constexpr AngleSegment(Angle begin, Angle end) noexcept : m_begin(begin), m_end(end) {}

    constexpr Angle begin() const noexcept { return m_begin; }
    constexpr Angle end() const noexcept { return m_end; }
    void setBegin(Angle begin) noexcept { m_begin = begin; }
    void setEnd(Angle end) noexcept { m_end = end; }

    // begin, interior angles and end, sampled at about the step (0.1 to 45 degrees); see the .cpp.
    std::vector<Angle> toSequence(Angle step) const;
    constexpr AngleSegment reversed() const noexcept { return AngleSegment(m_end, m_begin); }
    constexpr AngleSegment normalized() const noexcept { return AngleSegment(m_begin.normalized(), m_end.normalized()); }
    // Whether the normalized angle lies within the normalized range (which may wrap through 0).
    bool isInside(Angle angle) const noexcept;
    // Either end of one segment lies inside the other.
    bool doesOverlap(const AngleSegment& other) const noexcept;
    // The quarter turn [0, 90), [90, 180), [180, 270) or [270, 360) degrees that holds the angle.
    static AngleSegment sector(Angle angle) noexcept;

    AngleSegment& operator+=(Angle angle) noexcept;
    AngleSegment& operator-=(Angle angle) noexcept;
    AngleSegment operator+(Angle angle) const noexcept { return AngleSegment(*this) += angle; }
    AngleSegment operator-(Angle angle) const noexcept { return AngleSegment(*this) -= angle; }

    constexpr bool operator==(const AngleSegment& other) const noexcept
    {
        return m_begin == other.m_begin && m_end == other.m_end;
    }
    constexpr bool operator!=(const AngleSegment& other) const noexcept { return !(*this == other); }

private:
    Angle m_begin;
    Angle m_end;
};

} // namespace geo
