#include "geo/Transform2D.h"

namespace geo {

Transform2D Transform2D::translation(const Point2D& offset) noexcept
{
    return Transform2D(1.0, 0.0, fixedToDouble(offset.x()), 0.0, 1.0, fixedToDouble(offset.y()));
}

Transform2D Transform2D::rotation(Angle angle) noexcept
{
    const double cosine = angle.cos();
    const double sine = angle.sin();
    return Transform2D(cosine, -sine, 0.0, sine, cosine, 0.0);
}

Point2D Transform2D::map(const Point2D& point) const noexcept
{
    const qint64 x = saturatedAdd(saturatedAdd(multiplyByFactor(point.x(), a()), multiplyByFactor(point.y(), b())),
                                  fixedFromDouble(tx()));
    const qint64 y = saturatedAdd(saturatedAdd(multiplyByFactor(point.x(), c()), multiplyByFactor(point.y(), d())),
                                  fixedFromDouble(ty()));
    return Point2D(x, y);
}

Transform2D Transform2D::operator*(const Transform2D& other) const noexcept
{
    const auto& l = m_matrix;
    const auto& r = other.m_matrix;
    return Transform2D(l[0] * r[0] + l[1] * r[3], l[0] * r[1] + l[1] * r[4], l[0] * r[2] + l[1] * r[5] + l[2],
                       l[3] * r[0] + l[4] * r[3], l[3] * r[1] + l[4] * r[4], l[3] * r[2] + l[4] * r[5] + l[5]);
}

} // namespace geo
