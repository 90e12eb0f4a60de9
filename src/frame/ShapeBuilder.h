#pragma once

#include "frame/Builder.h"
#include "frame/GenericShape.h"

#include <memory>

namespace frame {

// The builder of a frame made from the outline of the shape family S.
template <typename S>
class ShapeBuilder : public Builder
{
public:
    using Builder::Builder;

    std::shared_ptr<Base> create(const geo::Size& size, const geo::Normal1D& ratio,
                                 const std::vector<geo::Normal1D>& values) const override
    {
        return build(newFrame(), size, ratio, values);
    }
    std::shared_ptr<Base> create(const QVariant& data) const override { return read(newFrame(), data); }

private:
    std::shared_ptr<Base> newFrame() const { return std::make_shared<GenericShape>(std::make_shared<S>(), shape()); }
};

} // namespace frame
