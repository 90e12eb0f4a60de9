#pragma once

#include "geo/Normal1D.h"

#include <QString>

#include <utility>

namespace frame {

// One parameter of a frame shape: the label the canvas tab shows and the value a new frame starts with.
class Parameter
{
public:
    Parameter(QString label, geo::Normal1D defaultValue) : m_label(std::move(label)), m_defaultValue(defaultValue) {}

    const QString& label() const noexcept { return m_label; }
    geo::Normal1D defaultValue() const noexcept { return m_defaultValue; }

private:
    QString m_label;
    geo::Normal1D m_defaultValue;
};

} // namespace frame
