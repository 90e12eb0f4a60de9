#pragma once

#include "shape/PolygonBase.h"

#include "mod/LinearNormal.h"
#include "mod/LinearValue.h"

namespace shape {

// One to ten bars of equal width radiating from the centre, the first pointing right.
class Cross : public PolygonBase
{
public:
    Cross();

    Type type() const override;
    std::vector<geo::Path> createPaths(bool outlineOnly) const override;

    void setBarCount(int count) noexcept;
    // The width as a value between 0.1 and 0.9.
    void setBarWidth(geo::Normal1D width) noexcept;

    static std::vector<std::shared_ptr<Base>> createBuiltIns();

private:
    mod::LinearValue m_barCount;
    mod::LinearNormal m_barWidth;
};

} // namespace shape
