#pragma once

#include "shape/PolygonBase.h"

#include "mod/LinearNormal.h"
#include "mod/LinearValue.h"

namespace shape {

// A leaf pointing up, its sides either straight or circle arcs, optionally with a V-shaped vein cut
// into it from the bottom.
class Leaf : public PolygonBase
{
public:
    Leaf();

    Type type() const override;
    std::vector<geo::Path> createPaths(bool outlineOnly) const override;

    // By value, within the modifier ranges.
    void setWidth(const geo::Normal1D& width) noexcept;
    void setRadius(const geo::Normal1D& radius) noexcept;
    void setVeinLength(const geo::Normal1D& length) noexcept;
    // The angle's degrees become the Vein Angle value.
    void setVeinAngle(const geo::Angle& angle) noexcept;

    static std::vector<std::shared_ptr<Base>> createBuiltIns();

private:
    mod::LinearNormal m_width;
    mod::LinearNormal m_radius;
    mod::LinearNormal m_veinLength;
    mod::LinearValue m_veinAngle;
};

} // namespace shape
