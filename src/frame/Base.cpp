#include "frame/Base.h"

#include "geo/Transform2D.h"
#include "geo/Vector.h"
#include "svg/Node.h"

#include <QVariantMap>

#include <algorithm>
#include <array>
#include <cmath>

namespace frame {

namespace {

const QString keyShapeId = QStringLiteral("shapeId");
const QString keySize = QStringLiteral("size");
const QString keyRectangle = QStringLiteral("rectangle");
const std::array<QString, Base::valueCount> valueKeys{
    QStringLiteral("valueA"), QStringLiteral("valueB"), QStringLiteral("valueC"),
    QStringLiteral("valueD"), QStringLiteral("valueE"),
};

bool isUsableRectangle(const geo::Rectangle& rectangle) noexcept
{
    const auto withinBounds = [](qint64 coordinate) {
        return coordinate >= -Base::maximumCoordinate && coordinate <= Base::maximumCoordinate;
    };
    return Base::isUsableSize(rectangle.size()) && withinBounds(rectangle.x()) && withinBounds(rectangle.y());
}

// The exact squared distance from the point to the segment, in square fixed units, computed in doubles.
// Coordinates stay within a few times 10^12, so the distance is off by far less than one unit.
double squaredSegmentDistance(const geo::Point2D& point, const geo::Point2D& start, const geo::Point2D& end) noexcept
{
    const double directionX = static_cast<double>(end.x()) - static_cast<double>(start.x());
    const double directionY = static_cast<double>(end.y()) - static_cast<double>(start.y());
    const double offsetX = static_cast<double>(point.x()) - static_cast<double>(start.x());
    const double offsetY = static_cast<double>(point.y()) - static_cast<double>(start.y());
    const double along = offsetX * directionX + offsetY * directionY;
    const double lengthSquared = directionX * directionX + directionY * directionY;
    // Most edges lie wholly to one side of the point's foot; only the others need the division.
    double t = 0.0;
    if (along >= lengthSquared) {
        t = lengthSquared > 0.0 ? 1.0 : 0.0;
    } else if (along > 0.0) {
        t = along / lengthSquared;
    }
    const double awayX = offsetX - t * directionX;
    const double awayY = offsetY - t * directionY;
    return awayX * awayX + awayY * awayY;
}

// The exact distance to a segment beyond which its bisection cannot report a distance of at most the
// given one. The bisection's point can lie a few dozen units off the exact segment (every halving
// truncates), and Point2D::distanceTo truncates both scaled squares (together by less than 2 × 10^6
// square units) and the root.
double exactDistanceLimit(qint64 reportedDistance) noexcept
{
    constexpr double offSegmentAllowance = 128.0;
    constexpr double squareTruncationAllowance = 2.0e6;
    constexpr double rootTruncationAllowance = 2.0;
    const double reported = static_cast<double>(reportedDistance) + rootTruncationAllowance;
    return offSegmentAllowance + std::sqrt(reported * reported + squareTruncationAllowance);
}

struct EdgeDistance {
    double squared;
    std::size_t edge;
};

// The nearest edges by exact distance, nearest first (equal distances in edge order). Only a handful
// of edges ever lie near enough to need bisecting, so a few are kept and the outline is walked once.
class NearestEdges
{
public:
    static constexpr std::size_t capacity = 8;

    void offer(double squared, std::size_t edge) noexcept
    {
        if (m_count == capacity && squared >= m_edges[capacity - 1].squared) {
            return;
        }
        std::size_t position = m_count < capacity ? m_count++ : capacity - 1;
        for (; position > 0 && m_edges[position - 1].squared > squared; --position) {
            m_edges[position] = m_edges[position - 1];
        }
        m_edges[position] = {squared, edge};
    }

    const EdgeDistance& nearest() const noexcept { return m_edges[0]; }
    // Whether every edge within the squared distance is kept: some kept edge lies beyond it.
    bool holdsAllWithin(double squaredLimit) const noexcept
    {
        return m_count < capacity || m_edges[capacity - 1].squared > squaredLimit;
    }
    // The kept edges within the squared distance (the nearest always), in edge order.
    std::size_t edgesWithin(double squaredLimit, std::array<std::size_t, capacity>& edges) const noexcept
    {
        std::size_t count = 0;
        for (std::size_t i = 0; i < m_count; ++i) {
            if (i == 0 || m_edges[i].squared <= squaredLimit) {
                edges[count++] = m_edges[i].edge;
            }
        }
        for (std::size_t i = 1; i < count; ++i) {
            for (std::size_t j = i; j > 0 && edges[j - 1] > edges[j]; --j) {
                std::swap(edges[j - 1], edges[j]);
            }
        }
        return count;
    }

private:
    std::array<EdgeDistance, capacity> m_edges{};
    std::size_t m_count = 0;
};

std::size_t nextIndex(std::size_t index, std::size_t count) noexcept
{
    return index + 1 == count ? 0 : index + 1;
}

geo::PointAndDistance bisectEdge(const std::vector<geo::Point2D>& points, std::size_t edge, const geo::Point2D& point) noexcept
{
    return geo::Vector(points[edge], points[nextIndex(edge, points.size())]).closestPointAndDistanceOnPath(point);
}

// The edges of an outline to look at: all of them, or a list chosen for a region.
class EdgeSet
{
public:
    EdgeSet(std::size_t pointCount, const std::vector<std::uint32_t>* chosen) noexcept
        : m_chosen(chosen)
        , m_count(chosen != nullptr ? chosen->size() : pointCount)
    {
    }
    std::size_t size() const noexcept { return m_count; }
    std::size_t operator[](std::size_t position) const noexcept
    {
        return m_chosen != nullptr ? (*m_chosen)[position] : position;
    }

private:
    const std::vector<std::uint32_t>* m_chosen;
    std::size_t m_count;
};

// The result of Path::closestPointAndDistanceOnPath, found without bisecting every edge: the bisection of
// the edge that is exactly closest gives an upper bound, and only the edges that could report a distance
// within it are bisected, in edge order, so that the first edge still wins ties. Those edges are found
// among the nearest few kept from the one walk over the edges, or by a second walk when more lie within
// reach. The edges walked are all of the outline's, or a list that holds every edge that can come within
// that bound (see RegionDistance). Allocates nothing.
geo::PointAndDistance closestOutlinePoint(const geo::Path& outline, const geo::Point2D& point,
                                          const std::vector<std::uint32_t>* chosenEdges) noexcept
{
    const std::vector<geo::Point2D>& points = outline.points();
    const std::size_t count = points.size();
    if (count == 0) {
        return {geo::Point2D(), geo::Length(0)};
    }
    const EdgeSet edgeSet(count, chosenEdges);
    NearestEdges nearestEdges;
    for (std::size_t position = 0; position < edgeSet.size(); ++position) {
        const std::size_t i = edgeSet[position];
        const std::size_t next = nextIndex(i, count);
        // A point on the outline is its own closest point; both edges at a corner are always chosen.
        if (points[i] == point || points[next] == point) {
            return {point, geo::Length(0)};
        }
        nearestEdges.offer(squaredSegmentDistance(point, points[i], points[next]), i);
    }
    if (edgeSet.size() == 0) {
        return {geo::Point2D(), geo::Length(0)};
    }
    const std::size_t nearestEdge = nearestEdges.nearest().edge;
    const geo::PointAndDistance nearest = bisectEdge(points, nearestEdge, point);
    const double limit = exactDistanceLimit(nearest.distance.value());
    const double squaredLimit = limit * limit;

    geo::PointAndDistance best{geo::Point2D(), geo::Length::maximum()};
    bool isFound = false;
    const auto consider = [&](std::size_t edge) {
        const geo::PointAndDistance candidate = edge == nearestEdge ? nearest : bisectEdge(points, edge, point);
        if (!isFound || candidate.distance < best.distance) {
            best = candidate;
            isFound = true;
        }
    };
    if (nearestEdges.holdsAllWithin(squaredLimit)) {
        std::array<std::size_t, NearestEdges::capacity> edges{};
        const std::size_t edgeCount = nearestEdges.edgesWithin(squaredLimit, edges);
        for (std::size_t i = 0; i < edgeCount; ++i) {
            consider(edges[i]);
        }
        return best;
    }
    for (std::size_t position = 0; position < edgeSet.size(); ++position) {
        const std::size_t i = edgeSet[position];
        if (i == nearestEdge || squaredSegmentDistance(point, points[i], points[nextIndex(i, count)]) <= squaredLimit) {
            consider(i);
        }
    }
    return best;
}

double millimeters(qint64 value) noexcept
{
    return geo::fixedToDouble(value);
}

// 1 / length in millimetres; a zero length gives 0 (the outline is flat in that direction anyway).
double inverseMillimeters(qint64 length) noexcept
{
    return length != 0 ? geo::zeroIfNaN(1.0 / millimeters(length)) : 0.0;
}

} // namespace

Base::~Base() = default;

geo::PointAndDistance Base::closestFramePoint(const geo::Point2D& point) const noexcept
{
    if (!m_outline.containsPoint(point)) {
        return {geo::Point2D(), outsideDistance};
    }
    return closestOutlinePoint(m_outline, point, nullptr);
}

geo::PointAndDistance Base::closestOutlinePointAmong(const geo::Point2D& point,
                                                     const std::vector<std::uint32_t>& nearEdges) const noexcept
{
    return closestOutlinePoint(m_outline, point, &nearEdges);
}

std::shared_ptr<svg::Node> Base::createSvg(const geo::Point2D& offset, const QString& fill) const
{
    auto group = svg::Node::create(svg::Element::G);
    group->setTransform(offset);
    group->addMultiPath({m_outline})->setFill(fill);
    return group;
}

void Base::setSize(const geo::Size& size, const geo::Normal1D& ratio)
{
    m_size = size;
    const geo::Normal1D t = ratio.clamped();
    const qint64 width = size.width();
    const qint64 height = size.height();
    if (width < height) {
        const qint64 frameHeight = lerp(width, height, t);
        m_rectangle = geo::Rectangle(geo::Point2D(0, geo::saturatedSubtract(height, frameHeight) / 2),
                                     geo::Size(width, frameHeight));
    } else if (width > height) {
        const qint64 frameWidth = lerp(height, width, t);
        m_rectangle = geo::Rectangle(geo::Point2D(geo::saturatedSubtract(width, frameWidth) / 2, 0),
                                     geo::Size(frameWidth, height));
    } else {
        m_rectangle = geo::Rectangle(geo::Point2D(0, 0), size);
    }
}

void Base::setValues(const std::vector<geo::Normal1D>& values)
{
    for (std::size_t i = 0; i < valueCount; ++i) {
        m_values[i] = i < values.size() ? values[i].clamped() : geo::Normal1D(0.0);
    }
}

std::vector<geo::Normal1D> Base::values() const
{
    return std::vector<geo::Normal1D>(m_values.begin(), m_values.end());
}

QVariant Base::toData() const
{
    QVariantMap map{
        {keyShapeId, shapeToString(shape())},
        {keySize, m_size.toVariant()},
        {keyRectangle, m_rectangle.toVariant()},
    };
    for (std::size_t i = 0; i < valueCount; ++i) {
        map.insert(valueKeys[i], m_values[i].value());
    }
    return map;
}

bool Base::setFromData(const QVariant& data)
{
    const QVariantMap map = data.toMap();
    if (!map.contains(keySize) || !map.contains(keyRectangle)) {
        return false;
    }
    for (const QString& key : valueKeys) {
        if (!map.contains(key)) {
            return false;
        }
    }
    const geo::Size size = geo::Size::fromVariant(map.value(keySize));
    const geo::Rectangle rectangle = geo::Rectangle::fromVariant(map.value(keyRectangle));
    if (!isUsableSize(size) || !isUsableRectangle(rectangle)) {
        return false;
    }
    m_size = size;
    m_rectangle = rectangle;
    // Clamped like every other road into a frame: values outside [0, 1] give undefined corners or
    // outlines that never finish.
    for (std::size_t i = 0; i < valueCount; ++i) {
        m_values[i] = geo::Normal1D::fromVariant(map.value(valueKeys[i])).clamped();
    }
    return true;
}

bool Base::isUsableSize(const geo::Size& size) noexcept
{
    if (size.width() < 0 || size.height() < 0) {
        return false;
    }
    if (size.width() == 0 && size.height() == 0) {
        return false;
    }
    return size.width() <= maximumCoordinate && size.height() <= maximumCoordinate;
}

qint64 Base::lerp(qint64 a, qint64 b, geo::Normal1D f) noexcept
{
    const double complement = geo::zeroIfNaN(1.0 - f.value());
    return geo::saturatedAdd(geo::multiplyByFactor(a, complement), geo::multiplyByFactor(b, f.value()));
}

void Base::fitToRectangle(geo::Path& outline) const
{
    const geo::Rectangle box = outline.boundingBox();
    outline.transform(geo::Transform2D::translation(-box.origin()));
    outline.transform(geo::Transform2D::scaling(inverseMillimeters(box.width()), inverseMillimeters(box.height())));
    outline.transform(geo::Transform2D::scaling(millimeters(m_rectangle.width()), millimeters(m_rectangle.height())));
    outline.transform(geo::Transform2D::translation(m_rectangle.origin()));
}

} // namespace frame
