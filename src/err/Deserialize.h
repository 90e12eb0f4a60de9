#pragma once

#include "err/Error.h"

#include <QStringList>

namespace err {

// Bad data: carries the key path of the failing value, outermost key first.
class Deserialize : public Error
{
public:
    explicit Deserialize(QString message);
    Deserialize(QString message, QString key);
    // Passes an inner error up one nesting level: same message, key put in front of the path.
    Deserialize(QString key, const Deserialize& inner);
    // As above, with a message of this level joined in front of the inner message.
    Deserialize(const QString& message, QString key, const Deserialize& inner);

    // "<message>; keypath=<keys joined by ->>"; the message alone when the path is empty.
    QString reason() const override;

    const QStringList& keyPath() const { return m_keyPath; }

private:
    QStringList m_keyPath;
};

} // namespace err
