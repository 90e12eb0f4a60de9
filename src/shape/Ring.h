#pragma once

#include "shape/PolygonBase.h"

#include "mod/LinearNormal.h"

namespace shape {

// A unit circle with a round hole; the hole is left out of the outline used for placement.
class Ring : public PolygonBase
{
public:
    Ring();

    Type type() const override;
    std::vector<geo::Path> createPaths(bool outlineOnly) const override;

    // Ring Ratio by normal value.
    void setRatio(geo::Normal1D normal) noexcept;

    static std::vector<std::shared_ptr<Base>> createBuiltIns();

private:
    mod::LinearNormal m_ratio;
};

} // namespace shape
