#pragma once

#include <QString>

namespace shape {

// The shape families; the value is stored nowhere, the identifier text is.
enum class Type : int {
    Unknown = 0,
    Circle = 1,
    Ring = 2,
    Polygon = 3,
    Star = 4,
    Cross = 5,
    Heart = 6,
    Arrow = 7,
    Leaf = 8,
};

// The identifier stored in shape data ("SimplePolygon" …); empty for a type not in the table.
QString typeToIdentifier(Type type);
// The label shown to the user ("Polygon" …); empty for a type not in the table.
QString typeToUiLabel(Type type);
// Exact, case-sensitive; Type::Unknown when no identifier matches.
Type typeFromIdentifier(const QString& identifier);

} // namespace shape
