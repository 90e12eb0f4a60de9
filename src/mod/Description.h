#pragma once

#include "geo/Normal1D.h"

#include <QString>

namespace mod {

// What the editor shows for one modifier: its label and the normal value it starts from.
class Description
{
public:
    Description(QString name, geo::Normal1D defaultValue);
    virtual ~Description() = default;
    Description(const Description&) = default;
    Description& operator=(const Description&) = default;

    const QString& name() const noexcept { return m_name; }
    geo::Normal1D defaultValue() const noexcept { return m_defaultValue; }

private:
    QString m_name;
    geo::Normal1D m_defaultValue;
};

} // namespace mod
