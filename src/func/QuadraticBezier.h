#pragma once

#include "func/Common.h"

namespace func {

// The second coordinate of a quadratic Bezier curve from 0 over p to 1, with the curve parameter as input.
class QuadraticBezier : public Common
{
public:
    QuadraticBezier(QString identifier, QString name, geo::Normal1D p);

    geo::Normal1D value(geo::Normal1D t) const override;

private:
    geo::Normal1D m_p;
};

} // namespace func
