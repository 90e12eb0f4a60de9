#pragma once

#include "mod/Modifier.h"

#include "geo/Angle.h"

namespace mod {

// A modifier read as an angle between begin and end.
class Angle : public Modifier
{
public:
    Angle(geo::Angle begin, geo::Angle end, const QString& name, geo::Normal1D defaultValue);

    geo::Angle begin() const noexcept { return m_begin; }
    geo::Angle end() const noexcept { return m_end; }

    geo::Angle value() const noexcept;
    // The normal value that maps onto the angle, limited to the range.
    void setValue(geo::Angle value) noexcept;

private:
    geo::Angle m_begin;
    geo::Angle m_end;
};

} // namespace mod
