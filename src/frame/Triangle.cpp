#include "frame/Triangle.h"

#include "geo/NormalRange.h"

#include <cmath>

namespace frame {

void Triangle::initialize()
{
    double phase = geo::NormalRange(0.0, 4.0).interpolated(valueA());
    if (phase >= 4.0) {
        phase = 0.0;
    }
    const double wholePhase = std::floor(phase);
    const geo::Normal1D f = phase < 1.0 ? phase : phase - wholePhase;

    const geo::Rectangle& frame = rectangle();
    const qint64 left = frame.x();
    const qint64 top = frame.y();
    const qint64 right = geo::saturatedAdd(left, frame.width());
    const qint64 bottom = geo::saturatedAdd(top, frame.height());
    switch (static_cast<int>(wholePhase)) {
    case 1:
        setOutline(geo::Path({geo::Point2D(left, top), geo::Point2D(right, top), geo::Point2D(lerp(left, right, f), bottom)}));
        break;
    case 2:
        setOutline(geo::Path({geo::Point2D(left, lerp(top, bottom, f)), geo::Point2D(right, top), geo::Point2D(right, bottom)}));
        break;
    case 3:
        setOutline(geo::Path({geo::Point2D(left, bottom), geo::Point2D(lerp(right, left, f), top), geo::Point2D(right, bottom)}));
        break;
    default:
        setOutline(geo::Path({geo::Point2D(left, top), geo::Point2D(right, lerp(bottom, top, f)), geo::Point2D(left, bottom)}));
        break;
    }
}

} // namespace frame
