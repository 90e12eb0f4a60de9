#pragma once

#include "frame/Shape.h"
#include "geo/Length.h"
#include "geo/Normal1D.h"
#include "geo/Path.h"
#include "geo/Point2D.h"
#include "geo/Rectangle.h"
#include "geo/Size.h"

#include <QString>
#include <QVariant>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace svg {
class Node;
}

namespace frame {

// The outline inside the canvas within which the generator places items. A frame is built once
// (size, values, initialize) and afterwards only read, so its const queries are safe to call from many
// threads at once.
class Base
{
public:
    static constexpr std::size_t valueCount = 5;
    // The distance closestFramePoint reports for a point outside the frame.
    static constexpr geo::Length outsideDistance{-1000000};
    // Frame sizes and rectangles stay within ±1 km, where every product of the outline computations is
    // exact in the fixed-point arithmetic.
    static constexpr qint64 maximumCoordinate = 1000000000000;

    Base() = default;
    Base(const Base&) = delete;
    Base& operator=(const Base&) = delete;
    virtual ~Base();

    virtual Shape shape() const = 0;
    // Builds the outline from the rectangle and the values.
    virtual void initialize() = 0;
    // For a point inside the outline its closest outline point and distance; for a point outside,
    // (0, 0) with outsideDistance.
    virtual geo::PointAndDistance closestFramePoint(const geo::Point2D& point) const noexcept;
    // Whether closestFramePoint measures to the outline (the base behaviour), which RegionDistance can
    // then answer from a few of its edges.
    virtual bool measuresToOutline() const noexcept { return true; }
    // The closest outline point of a point inside the outline, looking only at the given edges (edge i
    // runs from outline point i to the next), which must hold every edge that can come near enough to be
    // its closest. RegionDistance chooses them.
    geo::PointAndDistance closestOutlinePointAmong(const geo::Point2D& point, const std::vector<std::uint32_t>& nearEdges) const noexcept;
    // A g element translated by the offset, holding the outline as one even-odd path with the fill.
    virtual std::shared_ptr<svg::Node> createSvg(const geo::Point2D& offset, const QString& fill) const;

    const geo::Size& size() const noexcept { return m_size; }
    const geo::Rectangle& rectangle() const noexcept { return m_rectangle; }
    const geo::Path& outline() const noexcept { return m_outline; }

    // Stores the size and computes the frame rectangle for the ratio (clamped into [0, 1]).
    void setSize(const geo::Size& size, const geo::Normal1D& ratio);
    // A to E from the list in order, each clamped into [0, 1]; missing entries become 0, entries beyond
    // five are ignored.
    void setValues(const std::vector<geo::Normal1D>& values);
    std::vector<geo::Normal1D> values() const;
    geo::Normal1D valueA() const noexcept { return m_values[0]; }
    geo::Normal1D valueB() const noexcept { return m_values[1]; }
    geo::Normal1D valueC() const noexcept { return m_values[2]; }
    geo::Normal1D valueD() const noexcept { return m_values[3]; }
    geo::Normal1D valueE() const noexcept { return m_values[4]; }

    // {"shapeId", "size", "rectangle", "valueA" .. "valueE"}.
    QVariant toData() const;
    // Reads the frame data, all or nothing; false for data that misses a key or holds an unusable size or
    // rectangle. Never throws.
    bool setFromData(const QVariant& data);

    // Not negative, not both 0, and within maximumCoordinate.
    static bool isUsableSize(const geo::Size& size) noexcept;

protected:
    // a × (1 − f) + b × f, each product by the fixed-product rule; a NaN 1 − f counts as 0.
    static qint64 lerp(qint64 a, qint64 b, geo::Normal1D f) noexcept;

    void setOutline(geo::Path outline) { m_outline = std::move(outline); }
    // Moves and stretches the outline so that its bounding box fills the frame rectangle.
    void fitToRectangle(geo::Path& outline) const;

private:
    geo::Size m_size;
    geo::Rectangle m_rectangle;
    std::array<geo::Normal1D, valueCount> m_values{};
    geo::Path m_outline;
};

} // namespace frame
