#include "func/Common.h"

namespace func {

Common::Common(QString identifier, QString name) : m_identifier(std::move(identifier)), m_name(std::move(name)) {}

QString Common::identifier() const
{
    return m_identifier;
}

QString Common::name() const
{
    return m_name;
}

} // namespace func
