#pragma once

#include "geo/Path.h"
#include "geo/Point2D.h"
#include "geo/Rectangle.h"

#include <cstdint>
#include <vector>

namespace frame {

class Base;

// Answers the frame's closestFramePoint for the points of one rectangular region, exactly as the frame
// does, but from the few outline edges that can matter there: those that can cross a point's ray to the
// right, and those that can come as near as the nearest edge does. Choosing them costs one pass over the
// edges per region; a point then costs a walk over a handful of edges instead of the whole outline.
//
// A region can be narrowed to a part of itself, which chooses from the edges already chosen. Frames that
// do not measure to their outline are asked directly. Not for sharing between threads; the frame must
// outlive it.
class RegionDistance
{
public:
    explicit RegionDistance(const Base& frame) noexcept;

    // Chooses the edges for the region (corners inclusive) from all edges of the outline.
    void setRegion(const geo::Point2D& topLeft, const geo::Point2D& bottomRight);
    // Chooses the edges for a part of the region from those chosen for the whole.
    void narrowTo(const RegionDistance& whole, const geo::Point2D& topLeft, const geo::Point2D& bottomRight);

    // The frame's closestFramePoint, for a point inside the region. Prepares the point's row and chooses the
    // near edges when first needed, which takes memory: std::bad_alloc reaches the caller, and the region
    // stays usable.
    geo::PointAndDistance closestFramePoint(const geo::Point2D& point) const;

    std::size_t crossingEdgeCount() const noexcept { return m_crossingEdges.size(); }


private:
    void chooseNearEdges() const;
    void choose(const RegionDistance* whole, const geo::Point2D& topLeft, const geo::Point2D& bottomRight);

    const Base& m_frame;
    bool m_isOutlineBased;
    std::vector<std::uint32_t> m_crossingEdges;
    // Of those, the edges that reach the row of the last point asked about.
    mutable geo::Path::Row m_row;
    mutable bool m_hasRow = false;
    // Chosen on the first point inside the outline: regions outside it never need them.
    mutable bool m_hasNearEdges = false;
    mutable std::vector<std::uint32_t> m_nearEdges;
    mutable std::vector<double> m_nearest;
    const RegionDistance* m_whole = nullptr; // the region this one narrows, if any
    geo::Point2D m_topLeft;
    geo::Point2D m_bottomRight; // scratch: each candidate edge's nearest approach to the region
};

} // namespace frame
