#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

namespace err {

// The base of every exception of the system: a human-readable reason that the user interface shows.
class Error : public std::exception
{
public:
    explicit Error(QString message);
    Error(const Error& other);
    Error& operator=(const Error& other);
    ~Error() override = default;

    // The UTF-8 text of reason(), computed on the first call and kept for the life of the object.
    const char* what() const noexcept override;
    virtual QString reason() const;

    const QString& message() const { return m_message; }

private:
    QString m_message;
    mutable QByteArray m_whatCache;
};

} // namespace err
