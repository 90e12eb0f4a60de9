#include "doc/InputFunction.h"

#include "err/Deserialize.h"
#include "func/Manager.h"

#include <QVariantMap>

namespace doc {

InputFunction::InputFunction(func::FunctionPtr function, InputFunctionOperator op, InputFunctionSource source)
    : m_function(std::move(function)), m_operator(op), m_source(source)
{
}

std::shared_ptr<InputFunction> InputFunction::create(const QString& identifier, InputFunctionOperator op,
                                                     InputFunctionSource source)
{
    func::FunctionPtr function = func::Manager::instance().function(identifier);
    if (function == nullptr) {
        return nullptr;
    }
    return std::shared_ptr<InputFunction>(new InputFunction(std::move(function), op, source));
}

std::shared_ptr<InputFunction> InputFunction::fromDataOrThrow(const QVariant& data)
{
    const QVariantMap map = data.toMap();
    const QString identifier = map.value(QStringLiteral("identifier")).toString();
    if (!func::Manager::instance().hasIdentifier(identifier)) {
        throw err::Deserialize(QStringLiteral("Unknown function identifier."), QStringLiteral("identifier"));
    }
    return create(identifier, inputFunctionOperatorFromString(map.value(QStringLiteral("operator")).toString()),
                  inputFunctionSourceFromString(map.value(QStringLiteral("source")).toString()));
}

QVariant InputFunction::toData() const
{
    return QVariantMap{
        {QStringLiteral("identifier"), identifier()},
        {QStringLiteral("operator"), inputFunctionOperatorToString(m_operator)},
        {QStringLiteral("source"), inputFunctionSourceToString(m_source)},
    };
}

QString InputFunction::toString() const
{
    return QStringLiteral("%1(%2,%3)")
        .arg(identifier(), inputFunctionOperatorToString(m_operator), inputFunctionSourceToString(m_source));
}

bool InputFunction::operator==(const InputFunction& other) const
{
    return identifier() == other.identifier() && m_operator == other.m_operator && m_source == other.m_source;
}

geo::Normal1D InputFunction::normal(const geo::Normal1D& lastResult, const geo::Normal1D& input) const
{
    const geo::Normal1D functionInput = m_source == InputFunctionSource::Input ? input : lastResult;
    const double output = m_function->value(functionInput).value();
    switch (m_operator) {
    case InputFunctionOperator::Add:
        return geo::Normal1D(output + lastResult.value()).orZero();
    case InputFunctionOperator::Multiply:
        return geo::Normal1D(output * lastResult.value()).orZero();
    case InputFunctionOperator::Map:
        break;
    }
    return output;
}

} // namespace doc
