#pragma once

#include "frame/Base.h"

namespace frame {

// A heart (or, with the bulge straight up, a drop) fitted to the frame rectangle. A "Bulge Angle",
// B "Bulge Ratio", C "Rotation".
class Heart : public Base
{
public:
    Shape shape() const override { return Shape::Heart; }
    void initialize() override;
};

} // namespace frame
