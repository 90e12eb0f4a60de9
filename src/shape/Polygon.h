#pragma once

#include "shape/PolygonBase.h"

#include "mod/LinearNormal.h"
#include "mod/LinearValue.h"

namespace shape {

// A regular polygon with its first corner at the top, optionally drawn as a polygonal frame.
class Polygon : public PolygonBase
{
public:
    Polygon();

    Type type() const override;
    std::vector<geo::Path> createPaths(bool outlineOnly) const override;

    void setCornerCount(int count) noexcept;
    void setFrameSize(const geo::Normal1D& normal) noexcept;

    static std::vector<std::shared_ptr<Base>> createBuiltIns();

private:
    mod::LinearValue m_cornerCount;
    mod::LinearNormal m_frameSize;
};

} // namespace shape
