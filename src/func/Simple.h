#pragma once

#include "func/Common.h"

#include <functional>

namespace func {

// A function given as a function object.
class Simple : public Common
{
public:
    using Function = std::function<geo::Normal1D(geo::Normal1D)>;

    Simple(QString identifier, QString name, Function function);

    geo::Normal1D value(geo::Normal1D x) const override;

private:
    Function m_function;
};

} // namespace func
