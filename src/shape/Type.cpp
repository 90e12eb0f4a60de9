#include "shape/Type.h"

#include <QLatin1String>

#include <array>

namespace shape {

namespace {

struct TypeRow {
    Type type;
    QLatin1String identifier;
    QLatin1String uiLabel;
};

const std::array<TypeRow, 8> typeTable{{
    {Type::Circle, QLatin1String("Circle"), QLatin1String("Circle")},
    {Type::Ring, QLatin1String("Ring"), QLatin1String("Ring")},
    {Type::Polygon, QLatin1String("SimplePolygon"), QLatin1String("Polygon")},
    {Type::Star, QLatin1String("SimpleStar"), QLatin1String("Star")},
    {Type::Cross, QLatin1String("SimpleCross"), QLatin1String("Cross")},
    {Type::Heart, QLatin1String("Heart"), QLatin1String("Heart or Drop")},
    {Type::Arrow, QLatin1String("Arrow"), QLatin1String("Arrow")},
    {Type::Leaf, QLatin1String("Leaf"), QLatin1String("Leaf")},
}};

const TypeRow* findRow(Type type)
{
    for (const TypeRow& row : typeTable) {
        if (row.type == type) {
            return &row;
        }
    }
    return nullptr;
}

} // namespace

QString typeToIdentifier(Type type)
{
    const TypeRow* row = findRow(type);
    return row != nullptr ? QString(row->identifier) : QString();
}

QString typeToUiLabel(Type type)
{
    const TypeRow* row = findRow(type);
    return row != nullptr ? QString(row->uiLabel) : QString();
}

Type typeFromIdentifier(const QString& identifier)
{
    for (const TypeRow& row : typeTable) {
        if (identifier == row.identifier) {
            return row.type;
        }
    }
    return Type::Unknown;
}

} // namespace shape
