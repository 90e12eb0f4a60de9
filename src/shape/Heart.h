#pragma once

#include "shape/PolygonBase.h"

#include "mod/Angle.h"
#include "mod/LinearNormal.h"

namespace shape {

// Hearts and drops: a bulge circle on each side of the vertical axis, joined at a bottom tip. A bulge
// straight above the tip is a drop, which is turned so that its tip points up.
class Heart : public PolygonBase
{
public:
    Heart();

    Type type() const override;
    std::vector<geo::Path> createPaths(bool outlineOnly) const override;

    // Bulge Ratio by value (0 to 1).
    void setRatio(const geo::Normal1D& ratio) noexcept;
    // Bulge Angle by normal value (0 gives 0 degrees, 1 gives −90 degrees).
    void setAngle(const geo::Normal1D& normal) noexcept;

    // The outline for a bulge ratio (0 to 1) and the direction in which the bulge circle touches the
    // unit circle.
    static geo::Path createPath(geo::Normal1D ratio, geo::Angle angle);

    static std::vector<std::shared_ptr<Base>> createBuiltIns();

private:
    mod::LinearNormal m_ratio;
    mod::Angle m_angle;
};

} // namespace shape
