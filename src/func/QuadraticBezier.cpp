#include "func/QuadraticBezier.h"

namespace func {

QuadraticBezier::QuadraticBezier(QString identifier, QString name, geo::Normal1D p)
    : Common(std::move(identifier), std::move(name)), m_p(p.orZero())
{
}

geo::Normal1D QuadraticBezier::value(geo::Normal1D t) const
{
    const double x = t.value();
    return 2.0 * (1.0 - x) * x * m_p.value() + x * x;
}

} // namespace func
