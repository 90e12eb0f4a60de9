#pragma once

#include "func/Common.h"

namespace func {

// The second coordinate of a cubic Bezier curve from 0 over p1 and p2 to 1, with the curve parameter
// as input.
class CubicBezier : public Common
{
public:
    CubicBezier(QString identifier, QString name, geo::Normal1D p1, geo::Normal1D p2);

    geo::Normal1D value(geo::Normal1D t) const override;

private:
    geo::Normal1D m_p1;
    geo::Normal1D m_p2;
};

} // namespace func
