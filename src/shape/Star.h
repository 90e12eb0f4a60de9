#pragma once

#include "shape/PolygonBase.h"

#include "mod/LinearNormal.h"
#include "mod/LinearValue.h"

namespace shape {

// A star with its first tip at the top and its valleys on an inner radius.
class Star : public PolygonBase
{
public:
    Star();

    Type type() const override;
    std::vector<geo::Path> createPaths(bool outlineOnly) const override;

    void setPointCount(int count) noexcept;
    // The normal values of Valley Ratio and Valley Shift.
    void setInnerCorners(const geo::Normal1D& normal) noexcept;
    void setInnerShift(const geo::Normal1D& normal) noexcept;

    static std::vector<std::shared_ptr<Base>> createBuiltIns();

private:
    mod::LinearValue m_pointCount;
    mod::LinearNormal m_valleyRatio;
    mod::LinearNormal m_valleyShift;
};

} // namespace shape
