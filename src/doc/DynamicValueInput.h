#pragma once

#include <QChar>
#include <QString>

#include <vector>

namespace doc {

// Stored in data by the identifier of its row in dynamicValueInputList().
enum class DynamicValueInput : int {
    Parent = 0,
    Zero = 1,
    X = 2,
    Y = 3,
    PolarAngle = 4,
    PolarDistance = 5,
    ItemRadius = 6,
    ItemIndex = 7,
    Random = 8,
};

struct DynamicValueInputEntry
{
    DynamicValueInput value;
    QString identifier;
    QString description;
    QChar glyph; // a character of the application's icon font
    QString previewText;
};

// Every input in value order.
const std::vector<DynamicValueInputEntry>& dynamicValueInputList();
// The identifier; "zero" for a value outside the table.
QString dynamicValueInputToString(DynamicValueInput input);
// The short label of the input editor; empty for a value outside the table.
QString dynamicValueInputToPreviewInfo(DynamicValueInput input);
// Exact, case-sensitive match of the identifier; zero when nothing matches.
DynamicValueInput dynamicValueInputFromString(const QString& text);

} // namespace doc
