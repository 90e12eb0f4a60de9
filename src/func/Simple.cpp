#include "func/Simple.h"

namespace func {

Simple::Simple(QString identifier, QString name, Function function)
    : Common(std::move(identifier), std::move(name)), m_function(std::move(function))
{
}

geo::Normal1D Simple::value(geo::Normal1D x) const
{
    return m_function(x);
}

} // namespace func
