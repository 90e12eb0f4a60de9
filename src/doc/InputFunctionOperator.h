#pragma once

#include <QString>

#include <vector>

namespace doc {

// How a step's function output f combines with the last result r; stored as its identifier.
enum class InputFunctionOperator : int {
    Map = 0,      // f
    Add = 1,      // f + r
    Multiply = 2, // f · r
};

struct InputFunctionOperatorEntry {
    InputFunctionOperator value;
    QString identifier;
    QString label;
};

// The rows in value order.
const std::vector<InputFunctionOperatorEntry>& inputFunctionOperatorList();
// The identifier, or an empty text for a value outside the list.
QString inputFunctionOperatorToString(InputFunctionOperator value);
// The value whose identifier equals the text exactly; multiply for any other text.
InputFunctionOperator inputFunctionOperatorFromString(const QString& identifier);

} // namespace doc
