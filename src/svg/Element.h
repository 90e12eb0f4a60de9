#pragma once

#include <cstdint>

namespace svg {

// The element kinds the tree can hold; the values are stable and name the elements written.
enum class Element : std::uint8_t {
    Circle = 0,
    Defs = 1,
    Ellipse = 2,
    G = 3,
    Line = 4,
    Path = 5,
    Polygon = 6,
    Polyline = 7,
    Rect = 8,
    Style = 9,
    Svg = 10,
    Text = 11,
    Use = 12,
};

// The attribute kinds; a node writes its attributes in ascending order of these values.
enum class Attribute : std::uint8_t {
    Class = 0,
    Color = 1,
    Cx = 2,
    Cy = 3,
    D = 4,
    Fill = 5,
    FillOpacity = 6,
    FillRule = 7,
    Height = 8,
    XLinkHref = 9,
    Id = 10,
    Opacity = 11,
    Points = 12,
    R = 13,
    Rx = 14,
    Ry = 15,
    Stroke = 16,
    StrokeDasharray = 17,
    StrokeDashoffset = 18,
    StrokeLinecap = 19,
    StrokeLinejoin = 20,
    StrokeMiterlimit = 21,
    StrokeOpacity = 22,
    StrokeWidth = 23,
    Style = 24,
    Transform = 25,
    VectorEffect = 26,
    Width = 27,
    X = 28,
    X1 = 29,
    X2 = 30,
    Y = 31,
    Y1 = 32,
    Y2 = 33,
};

} // namespace svg
