#include "err/Deserialize.h"

namespace err {

Deserialize::Deserialize(QString message) : Error(std::move(message)) {}

Deserialize::Deserialize(QString message, QString key) : Error(std::move(message)), m_keyPath{std::move(key)} {}

Deserialize::Deserialize(QString key, const Deserialize& inner) : Error(inner.message()), m_keyPath(inner.m_keyPath)
{
    m_keyPath.prepend(std::move(key));
}

Deserialize::Deserialize(const QString& message, QString key, const Deserialize& inner)
    : Error(QStringLiteral("%1; %2").arg(message, inner.message())), m_keyPath(inner.m_keyPath)
{
    m_keyPath.prepend(std::move(key));
}

QString Deserialize::reason() const
{
    // A reader's own failure names no key; an empty "keypath=" would only puzzle the user who reads it.
    if (m_keyPath.isEmpty()) {
        return message();
    }
    return QStringLiteral("%1; keypath=%2").arg(message(), m_keyPath.join(QStringLiteral("->")));
}

} // namespace err
