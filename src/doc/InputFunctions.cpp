#include "doc/InputFunctions.h"

#include <QStringList>
#include <QVariantList>

#include <algorithm>

namespace doc {

InputFunctions::InputFunctions(Document* document) : DocumentElement(document) {}

bool InputFunctions::isValidIndex(int index) const
{
    return index >= 0 && static_cast<std::size_t>(index) < m_functions.size();
}

std::shared_ptr<InputFunction> InputFunctions::function(int index) const
{
    if (!isValidIndex(index)) {
        return nullptr;
    }
    return m_functions[static_cast<std::size_t>(index)];
}

void InputFunctions::appendFunction(const std::shared_ptr<InputFunction>& function)
{
    if (function == nullptr) {
        return;
    }
    const auto index = static_cast<qsizetype>(m_functions.size());
    m_functions.push_back(function);
    documentElementAdded(QString::number(index));
}

void InputFunctions::removeFunction(int index)
{
    if (isValidIndex(index)) {
        m_functions.erase(m_functions.begin() + index);
    }
    documentElementRemoved(QString::number(index));
}

void InputFunctions::replaceFunction(int index, const std::shared_ptr<InputFunction>& function)
{
    if (!isValidIndex(index) || function == nullptr) {
        return;
    }
    m_functions[static_cast<std::size_t>(index)] = function;
    propertyChanged(QString::number(index));
}

void InputFunctions::resetToDefaults()
{
    m_functions.clear();
    documentElementReset();
}

bool InputFunctions::operator==(const InputFunctions& other) const
{
    return std::equal(m_functions.begin(), m_functions.end(), other.m_functions.begin(), other.m_functions.end(),
                      [](const auto& left, const auto& right) { return *left == *right; });
}

QString InputFunctions::toString() const
{
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(m_functions.size()));
    for (const auto& function : m_functions) {
        texts.append(function->toString());
    }
    return QStringLiteral("fn[%1]").arg(texts.join(QLatin1Char(',')));
}

QVariant InputFunctions::toData() const
{
    QVariantList list;
    list.reserve(static_cast<qsizetype>(m_functions.size()));
    for (const auto& function : m_functions) {
        list.append(function->toData());
    }
    return list;
}

void InputFunctions::setFromDataOrThrow(const QVariant& data)
{
    Steps steps;
    for (const QVariant& entry : data.toList()) {
        steps.push_back(InputFunction::fromDataOrThrow(entry));
    }
    m_functions = std::move(steps);
    documentElementReset();
}

geo::Normal1D InputFunctions::normal(const geo::Normal1D& input) const
{
    geo::Normal1D result = input;
    for (const auto& function : m_functions) {
        result = function->normal(result, input);
    }
    return result.clamped();
}

} // namespace doc
