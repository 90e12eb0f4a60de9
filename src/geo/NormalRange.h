#pragma once

#include "geo/Normal1D.h"

#include <QVariant>

namespace geo {

// A begin/end range of normals.
class NormalRange
{
public:
    constexpr NormalRange() noexcept = default;
    constexpr NormalRange(Normal1D begin, Normal1D end) noexcept : m_begin(begin), m_end(end) {}

    constexpr Normal1D begin() const noexcept { return m_begin; }
    constexpr Normal1D end() const noexcept { return m_end; }
    void setBegin(Normal1D begin) noexcept { m_begin = begin; }
    void setEnd(Normal1D end) noexcept { m_end = end; }

    // begin × (1 − t) + end × t; a NaN in a term or in the sum gives 0 for it.
    Normal1D interpolated(Normal1D t) const noexcept;

    // {"begin", "end"} as doubles.
    QVariant toVariant() const;
    // Each key with QVariant::toDouble, NaN as 0, clamped into [−1, 1].
    static NormalRange fromVariant(const QVariant& variant);

    constexpr bool operator==(const NormalRange& other) const noexcept
    {
        return m_begin.value() == other.m_begin.value() && m_end.value() == other.m_end.value();
    }
    constexpr bool operator!=(const NormalRange& other) const noexcept { return !(*this == other); }

private:
    Normal1D m_begin;
    Normal1D m_end;
};

} // namespace geo
