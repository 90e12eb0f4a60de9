#pragma once

#include "mod/Modifier.h"

namespace mod {

// A modifier read as a plain double between begin and end.
class LinearNormal : public Modifier
{
public:
    LinearNormal(geo::Normal1D begin, geo::Normal1D end, const QString& name, geo::Normal1D defaultValue);

    geo::Normal1D begin() const noexcept { return m_begin; }
    geo::Normal1D end() const noexcept { return m_end; }

    geo::Normal1D value() const noexcept;
    void setValue(geo::Normal1D value) noexcept;

private:
    geo::Normal1D m_begin;
    geo::Normal1D m_end;
};

} // namespace mod
