#include "err/Error.h"

namespace err {

Error::Error(QString message) : m_message(std::move(message)) {}

Error::Error(const Error& other) : std::exception(other), m_message(other.m_message) {}

Error& Error::operator=(const Error& other)
{
    if (this != &other) {
        m_message = other.m_message;
        m_whatCache.clear();
    }
    return *this;
}

const char* Error::what() const noexcept
{
    if (m_whatCache.isNull()) {
        m_whatCache = reason().toUtf8();
        if (m_whatCache.isNull()) {
            m_whatCache = QByteArray(""); // keeps an empty reason from being converted again
        }
    }
    return m_whatCache.constData();
}

QString Error::reason() const
{
    return m_message;
}

} // namespace err
