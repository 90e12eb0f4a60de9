#pragma once

#include "geo/Normal1D.h"

#include <QString>

#include <memory>

namespace func {

// A shaping function of one normalised variable. Functions are immutable and shared.
class Base
{
public:
    virtual ~Base() = default;

    // The text stored in project files.
    virtual QString identifier() const = 0;
    // The label shown in the editors.
    virtual QString name() const = 0;
    virtual geo::Normal1D value(geo::Normal1D x) const = 0;
};

using FunctionPtr = std::shared_ptr<const Base>;

} // namespace func
