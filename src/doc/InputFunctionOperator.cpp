#include "doc/InputFunctionOperator.h"

namespace doc {

const std::vector<InputFunctionOperatorEntry>& inputFunctionOperatorList()
{
    static const std::vector<InputFunctionOperatorEntry> list{
        {InputFunctionOperator::Map, QStringLiteral("map"), QStringLiteral("Map")},
        {InputFunctionOperator::Add, QStringLiteral("add"), QStringLiteral("Add")},
        {InputFunctionOperator::Multiply, QStringLiteral("multiply"), QStringLiteral("Multiply")},
    };
    return list;
}

QString inputFunctionOperatorToString(InputFunctionOperator value)
{
    for (const auto& entry : inputFunctionOperatorList()) {
        if (entry.value == value) {
            return entry.identifier;
        }
    }
    return {};
}

InputFunctionOperator inputFunctionOperatorFromString(const QString& identifier)
{
    for (const auto& entry : inputFunctionOperatorList()) {
        if (entry.identifier == identifier) {
            return entry.value;
        }
    }
    return InputFunctionOperator::Multiply;
}

} // namespace doc
