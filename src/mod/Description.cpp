#include "mod/Description.h"

#include <utility>

namespace mod {

Description::Description(QString name, geo::Normal1D defaultValue)
    : m_name(std::move(name)), m_defaultValue(defaultValue)
{
}

} // namespace mod
