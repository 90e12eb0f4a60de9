#pragma once

#include "frame/Base.h"

namespace frame {

// A triangle with its corners on the frame rectangle; the value "Shape" turns it through four
// right-angled and tilted forms, 0 and 1 giving the same triangle.
class Triangle : public Base
{
public:
    Shape shape() const override { return Shape::Triangle; }
    void initialize() override;
};

} // namespace frame
