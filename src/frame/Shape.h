#pragma once

#include <QString>

#include <vector>

namespace frame {

// The frame shapes in the order of the shape table. NoShape stands for an identifier that names none
// of them; no builder exists for it.
enum class Shape : int {
    Rectangle = 0,
    Ellipse = 1,
    Triangle = 2,
    Heart = 3,
    Arrow = 4,
    Star = 5,
    Cross = 6,
    Leaf = 7,
    Polygon = 8,
    NoShape = 9,
};

// One row of the shape table: the value, the identifier stored in data and the label shown to the user.
struct ShapeListEntry {
    Shape shape;
    QString identifier;
    QString label;
};

// The nine frame shapes in table order; built once, on first use.
const std::vector<ShapeListEntry>& shapeList();
// Exact, case-sensitive match of an identifier; NoShape when none matches.
Shape shapeFromString(const QString& identifier);
// The identifier of the shape; an empty string for a value outside the table.
QString shapeToString(Shape shape);

} // namespace frame
