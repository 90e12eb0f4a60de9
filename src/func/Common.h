#pragma once

#include "func/Base.h"

namespace func {

// A function with a fixed identifier and label.
class Common : public Base
{
public:
    Common(QString identifier, QString name);

    QString identifier() const override;
    QString name() const override;

private:
    QString m_identifier;
    QString m_name;
};

} // namespace func
