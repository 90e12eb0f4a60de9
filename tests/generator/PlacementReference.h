#pragma once

// A plain, single-threaded placement written straight from the description of the point-grid generator:
// one list of grid points in the generator's order, full scans, no blocks, no threads, no shortcuts. It is
// the oracle the generator's canvas is compared with. Random offsets are not modelled (amount 0 only).

#include "doc/Document.h"
#include "doc/Item.h"
#include "doc/Items.h"
#include "doc/Properties.h"
#include "frame/Base.h"
#include "frame/Manager.h"
#include "geo/Point2D.h"
#include "geo/Vector.h"
#include "shape/Base.h"

#include <QStringList>

#include <algorithm>
#include <memory>
#include <vector>

namespace reference {

struct PlacedItem {
    QString itemId;
    qint64 index = 0;
    QString shapeId;
    geo::Point2D center;
    qint64 radius = 0;
};

struct Point {
    qint64 x, y, freeSpace, value;
};

struct Instance {
    std::shared_ptr<doc::Item> item;
    qint64 radius = 0;
};

class Placement
{
public:
    explicit Placement(const doc::Document& document)
        : m_properties(*document.properties())
    {
        for (const auto& item : document.items()->items()) {
            for (int index = 0; index < item->count(); ++index) {
                const qint64 radius = item->radiusForInstance(index).value();
                if (radius > 0) {
                    m_instances.push_back({item, radius});
                }
            }
        }
        std::stable_sort(m_instances.begin(), m_instances.end(),
                         [](const Instance& a, const Instance& b) { return a.radius > b.radius; });
        const geo::Size size = m_properties.canvasSize();
        m_width = size.width();
        m_height = size.height();
        m_minimumFreeSpace = std::max(m_width, m_height);
        if (!m_instances.empty()) {
            m_minimumFreeSpace = std::min(m_minimumFreeSpace, m_instances.back().radius);
        }
        const doc::Properties& p = m_properties;
        m_frame = frame::Manager::instance()->createFrame(p.canvasFrameShape(), size, p.canvasFrameRatio(),
                                                          {p.canvasFrameValueA(), p.canvasFrameValueB(),
                                                           p.canvasFrameValueC(), p.canvasFrameValueD(),
                                                           p.canvasFrameValueE()});
        const QStringList known{"outsideToInside", "closestToCenter", "leftToRight", "rightToLeft", "topToBottom",
                                "bottomToTop", "diagonal", "diagonal2", "diagonal3", "diagonal4"};
        m_algorithm = known.contains(p.algorithmIdentifier()) ? p.algorithmIdentifier() : QStringLiteral("largestSpace");
        m_defaultShapeId = p.worldShape()->identifier();
    }

    // The grid points in the generator's order: row groups k = 0..31 (rows k, k + 32, ...), each cut
    // into runs of the slice capacity, each run sorted stably by the algorithm's order.
    std::vector<Point> preparePoints() const
    {
        const qint64 step = m_properties.precision().stepUnits();
        const qint64 columns = m_width / step + 1;
        const qint64 rows = m_height / step + 1;
        const qint64 capacity = std::max<qint64>(std::min<qint64>(rows * columns / 16, 10000), 100);
        std::vector<Point> result;
        for (qint64 group = 0; group < 32; ++group) {
            std::vector<Point> run;
            auto finishRun = [&] {
                std::stable_sort(run.begin(), run.end(), [this](const Point& a, const Point& b) {
                    return comesFirst(a, b);
                });
                result.insert(result.end(), run.begin(), run.end());
                run.clear();
            };
            for (qint64 row = group; row < rows; row += 32) {
                for (qint64 column = 0; column < columns; ++column) {
                    const geo::Point2D position(column * step, row * step);
                    const qint64 distance = m_frame->closestFramePoint(position).distance.value();
                    if (distance < m_minimumFreeSpace) {
                        continue;
                    }
                    if (static_cast<qint64>(run.size()) == capacity) {
                        finishRun();
                    }
                    run.push_back({position.x(), position.y(), distance, valueOf(position, distance)});
                }
            }
            finishRun();
        }
        return result;
    }

    std::vector<PlacedItem> place()
    {
        m_points = preparePoints();
        m_preparedPointCount = m_points.size();
        m_removedAfterEachCopy.clear();
        std::vector<PlacedItem> placed;
        while (m_next < m_instances.size() && !m_points.empty()) {
            const Point* point = nullptr;
            Instance instance;
            if (!search(point, instance)) {
                break;
            }
            PlacedItem item{instance.item->itemId(), static_cast<qint64>(placed.size()), instance.item->shapeId(),
                            geo::Point2D(point->x, point->y), instance.radius};
            if (item.shapeId.isEmpty()) {
                item.shapeId = m_defaultShapeId;
            }
            snap(item, placed);
            round(item, placed);
            placed.push_back(item);
            update(item);
            m_removedAfterEachCopy.push_back(m_preparedPointCount - m_points.size());
        }
        return placed;
    }

    // Of the last placement: the usable grid points, and the points removed since then after each copy.
    quint64 preparedPointCount() const { return m_preparedPointCount; }
    const std::vector<quint64>& removedAfterEachCopy() const { return m_removedAfterEachCopy; }

private:
    qint64 valueOf(const geo::Point2D& p, qint64 freeSpace) const
    {
        if (m_algorithm == "outsideToInside") return freeSpace;
        if (m_algorithm == "closestToCenter") return p.distanceTo(geo::Point2D(m_width / 2, m_height / 2)).value();
        if (m_algorithm == "leftToRight") return p.x();
        if (m_algorithm == "rightToLeft") return m_width - p.x();
        if (m_algorithm == "topToBottom") return p.y();
        if (m_algorithm == "bottomToTop") return m_height - p.y();
        if (m_algorithm == "diagonal") return p.distanceTo(geo::Point2D(0, 0)).value();
        if (m_algorithm == "diagonal2") return p.distanceTo(geo::Point2D(m_width, 0)).value();
        if (m_algorithm == "diagonal3") return p.distanceTo(geo::Point2D(m_width, m_height)).value();
        if (m_algorithm == "diagonal4") return p.distanceTo(geo::Point2D(0, m_height)).value();
        return p.manhattanDistanceTo(geo::Point2D(m_width / 2, m_height / 2)).value();
    }

    bool comesFirst(const Point& a, const Point& b) const
    {
        if (m_algorithm == "largestSpace")
            return a.freeSpace > b.freeSpace || (a.freeSpace == b.freeSpace && a.value < b.value);
        if (m_algorithm == "outsideToInside") return a.freeSpace < b.freeSpace;
        if (m_algorithm == "leftToRight") return a.x < b.x;
        if (m_algorithm == "rightToLeft") return a.x > b.x;
        if (m_algorithm == "topToBottom") return a.y < b.y;
        if (m_algorithm == "bottomToTop") return a.y > b.y;
        return a.value < b.value;
    }

    // The first point with the largest free space, then the instances that do not fit it are passed
    // over; or, for the value searches, the first point of smallest value with room for the instance,
    // trying ever smaller instances.
    bool search(const Point*& best, Instance& instance)
    {
        instance = m_instances[m_next++];
        if (m_algorithm == "largestSpace") {
            for (const Point& point : m_points) {
                if (best == nullptr || point.freeSpace > best->freeSpace) {
                    best = &point;
                }
            }
            while (best->freeSpace < instance.radius) {
                if (m_next >= m_instances.size()) {
                    return false;
                }
                instance = m_instances[m_next++];
            }
            return true;
        }
        for (;;) {
            for (const Point& point : m_points) {
                if (point.freeSpace >= instance.radius && (best == nullptr || point.value < best->value)) {
                    best = &point;
                }
            }
            if (best != nullptr) {
                return true;
            }
            if (m_next >= m_instances.size()) {
                return false;
            }
            instance = m_instances[m_next++];
        }
    }

    void snap(PlacedItem& item, const std::vector<PlacedItem>& placed) const
    {
        const qint64 spacing = m_properties.itemSpacing().value();
        const geo::PointAndDistance closest = m_frame->closestFramePoint(item.center);
        const qint64 room = closest.distance.value() - (spacing + item.radius);
        if (!m_properties.isSnapToFrameEnabled() || room >= 2 * m_minimumFreeSpace) {
            return;
        }
        const geo::Point2D candidate =
            geo::Vector(closest.point, item.center).pointOnVectorAtDistance(geo::Length(item.radius));
        for (const PlacedItem& other : placed) {
            if (candidate.distanceTo(other.center).value() - (other.radius + item.radius + spacing) <= 0) {
                return;
            }
        }
        item.center = candidate;
    }

    // Rounded to the precision; when that takes the copy closer to the frame than its radius (or than it
    // was) or into the spacing of an earlier item (deeper than it was), the nearest cell corner that does
    // not, or the unrounded centre.
    void round(PlacedItem& item, const std::vector<PlacedItem>& placed) const
    {
        const int level = m_properties.precision().level();
        if (!m_properties.isRoundToPrecisionEnabled() || level > 5) {
            return;
        }
        qint64 step = 1;
        for (int i = level; i < 6; ++i) {
            step *= 10;
        }
        auto roundOne = [step](qint64 v) {
            const qint64 r = v % step;
            return r >= step / 2 ? v - r + step : (r <= -step / 2 ? v - r - step : v - r);
        };
        auto floorOne = [step](qint64 v) {
            const qint64 r = v % step;
            return r < 0 ? v - r - step : v - r;
        };
        const geo::Point2D center = item.center;
        const geo::Point2D nearest(roundOne(center.x()), roundOne(center.y()));
        if (nearest == center) {
            return;
        }
        std::vector<geo::Point2D> candidates{nearest};
        std::vector<geo::Point2D> corners;
        for (const qint64 y : {floorOne(center.y()), floorOne(center.y()) + step}) {
            for (const qint64 x : {floorOne(center.x()), floorOne(center.x()) + step}) {
                corners.emplace_back(x, y);
            }
        }
        auto squared = [&center](const geo::Point2D& p) {
            return (p.x() - center.x()) * (p.x() - center.x()) + (p.y() - center.y()) * (p.y() - center.y());
        };
        std::stable_sort(corners.begin(), corners.end(),
                         [&](const geo::Point2D& a, const geo::Point2D& b) { return squared(a) < squared(b); });
        candidates.insert(candidates.end(), corners.begin(), corners.end());

        const qint64 spacing = m_properties.itemSpacing().value();
        const qint64 frameNeed = std::min(item.radius, m_frame->closestFramePoint(center).distance.value());
        auto gap = [&](const geo::Point2D& p, const PlacedItem& other) {
            return p.distanceTo(other.center).value() - (other.radius + item.radius + spacing);
        };
        for (const geo::Point2D& candidate : candidates) {
            const qint64 toFrame = m_frame->closestFramePoint(candidate).distance.value();
            bool keeps = toFrame >= 0 && toFrame >= frameNeed;
            for (const PlacedItem& other : placed) {
                if (keeps && gap(candidate, other) < 0 && gap(candidate, other) < gap(center, other)) {
                    keeps = false;
                }
            }
            if (keeps) {
                item.center = candidate;
                return;
            }
        }
    }

    // Points left with too little room are dropped; the others keep their order.
    void update(const PlacedItem& item)
    {
        const qint64 reach = item.radius + m_properties.itemSpacing().value();
        std::vector<Point> kept;
        for (Point point : m_points) {
            const qint64 space = geo::Point2D(point.x, point.y).distanceTo(item.center).value() - reach;
            if (point.freeSpace > space) {
                if (space < m_minimumFreeSpace) {
                    continue;
                }
                point.freeSpace = space;
            }
            kept.push_back(point);
        }
        m_points.swap(kept);
    }

    const doc::Properties& m_properties;
    std::vector<Instance> m_instances;
    std::size_t m_next = 0;
    qint64 m_width = 0;
    qint64 m_height = 0;
    qint64 m_minimumFreeSpace = 0;
    std::shared_ptr<frame::Base> m_frame;
    QString m_algorithm;
    QString m_defaultShapeId;
    std::vector<Point> m_points;
    quint64 m_preparedPointCount = 0;
    std::vector<quint64> m_removedAfterEachCopy;
};

} // namespace reference
