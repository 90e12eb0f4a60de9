#pragma once

#include "mod/Description.h"

#include "geo/Normal1D.h"

namespace mod {

// One parameter of a shape: a normal value within [0, 1] that the concrete subclasses map onto their
// range.
class Modifier
{
public:
    explicit Modifier(const Description& description);
    virtual ~Modifier() = default;

    const Description& description() const noexcept { return m_description; }
    geo::Normal1D normalValue() const noexcept { return m_normalValue; }
    // Every value that reaches a modifier (editor, shape files, project files, catalogues) passes here,
    // so this is where it is kept within [0, 1]: an unchecked value of 1e5 would build a polygon with
    // 900000 corners, and a NaN would poison every outline computed from it. NaN gives 0.
    void setNormalValue(geo::Normal1D value) noexcept { m_normalValue = value.clamped(); }

protected:
    Modifier(const Modifier&) = default;
    Modifier& operator=(const Modifier&) = default;

    // begin × (1 − t) + end × t in fixed units: each factor converted by the saturating rule, each
    // product truncated toward zero; a NaN 1 − t counts as 0.
    static qint64 interpolatedFixed(qint64 begin, qint64 end, double t) noexcept;
    // The inverse: (value − begin) / (end − begin) within [0, 1]; a zero span or a NaN gives 0.
    static geo::Normal1D normalBetween(double value, double begin, double end) noexcept;

private:
    Description m_description;
    geo::Normal1D m_normalValue;
};

} // namespace mod
