#include "func/CubicBezier.h"

namespace func {

CubicBezier::CubicBezier(QString identifier, QString name, geo::Normal1D p1, geo::Normal1D p2)
    : Common(std::move(identifier), std::move(name)), m_p1(p1), m_p2(p2)
{
}

geo::Normal1D CubicBezier::value(geo::Normal1D t) const
{
    const double x = t.value();
    const double rest = 1.0 - x;
    return 3.0 * rest * rest * x * m_p1.value() + 3.0 * rest * x * x * m_p2.value() + x * x * x;
}

} // namespace func
