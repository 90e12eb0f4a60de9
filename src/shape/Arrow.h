#pragma once

#include "shape/PolygonBase.h"

#include "mod/LinearNormal.h"

namespace shape {

// An arrow pointing up: a triangular tip on a straight shaft.
class Arrow : public PolygonBase
{
public:
    Arrow();

    Type type() const override;
    std::vector<geo::Path> createPaths(bool outlineOnly) const override;

    void setTipLength(const geo::Normal1D& value) noexcept;
    void setTipWidth(const geo::Normal1D& value) noexcept;
    void setLineLength(const geo::Normal1D& value) noexcept;
    void setLineWidth(const geo::Normal1D& value) noexcept;

    static std::vector<std::shared_ptr<Base>> createBuiltIns();

private:
    mod::LinearNormal m_tipLength;
    mod::LinearNormal m_tipWidth;
    mod::LinearNormal m_lineLength;
    mod::LinearNormal m_lineWidth;
};

} // namespace shape
