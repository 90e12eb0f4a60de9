#include "doc/InputFunctionSource.h"

namespace doc {

const std::vector<InputFunctionSourceEntry>& inputFunctionSourceList()
{
    static const std::vector<InputFunctionSourceEntry> list{
        {InputFunctionSource::Result, QStringLiteral("result"), QStringLiteral("Last Result")},
        {InputFunctionSource::Input, QStringLiteral("input"), QStringLiteral("Original Input")},
    };
    return list;
}

QString inputFunctionSourceToString(InputFunctionSource value)
{
    for (const auto& entry : inputFunctionSourceList()) {
        if (entry.value == value) {
            return entry.identifier;
        }
    }
    return {};
}

InputFunctionSource inputFunctionSourceFromString(const QString& identifier)
{
    for (const auto& entry : inputFunctionSourceList()) {
        if (entry.identifier == identifier) {
            return entry.value;
        }
    }
    return InputFunctionSource::Result;
}

} // namespace doc
