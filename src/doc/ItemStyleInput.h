#pragma once

namespace doc {

// What a style value knows about one placed item. The position is normalised to the canvas (y grows
// downwards); radius and index are relative to the other items of the canvas.
struct ItemStyleInput
{
    double x = 0.0;
    double y = 0.0;
    double radius = 0.0;
    double index = 0.0;
};

} // namespace doc
