#pragma once

#include <QString>

#include <vector>

namespace doc {

// What a step's function reads; stored as its identifier.
enum class InputFunctionSource : int {
    Result = 0, // the last result
    Input = 1,  // the chain's original input
};

struct InputFunctionSourceEntry {
    InputFunctionSource value;
    QString identifier;
    QString label;
};

// The rows in value order.
const std::vector<InputFunctionSourceEntry>& inputFunctionSourceList();
// The identifier, or an empty text for a value outside the list.
QString inputFunctionSourceToString(InputFunctionSource value);
// The value whose identifier equals the text exactly; result for any other text.
InputFunctionSource inputFunctionSourceFromString(const QString& identifier);

} // namespace doc
