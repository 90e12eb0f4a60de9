#pragma once

#include "geo/FixedValue.h"
#include "geo/Precision.h"

namespace geo {

// A general fixed-point value in millionths (a length, an angle or a rating).
class Value : public FixedValue<Value>
{
public:
    using FixedValue::FixedValue;

    // Equal after both are rounded to the precision's step (halves away from zero); at level 6 only
    // identical values are equal.
    bool isEqualTo(Value other, const Precision& precision) const noexcept
    {
        return precision.rounded(m_value) == precision.rounded(other.m_value);
    }
};

} // namespace geo
