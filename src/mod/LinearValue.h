#pragma once

#include "mod/Modifier.h"

#include "geo/Precision.h"
#include "geo/Value.h"

namespace mod {

// A modifier read as a fixed-point value between begin and end, rounded to a precision (a count is a
// value at level 0).
class LinearValue : public Modifier
{
public:
    LinearValue(geo::Value begin, geo::Value end, const geo::Precision& precision, const QString& name,
                geo::Normal1D defaultValue);

    geo::Value begin() const noexcept { return m_begin; }
    geo::Value end() const noexcept { return m_end; }
    const geo::Precision& precision() const noexcept { return m_precision; }

    geo::Value value() const noexcept;
    // The value is rounded to the precision first, then mapped back onto a normal within [0, 1].
    void setValue(geo::Value value) noexcept;

private:
    geo::Value m_begin;
    geo::Value m_end;
    geo::Precision m_precision;
};

} // namespace mod
