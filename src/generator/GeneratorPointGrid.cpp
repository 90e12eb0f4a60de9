#include "generator/GeneratorPointGrid.h"

#include "canvas/Canvas.h"
#include "canvas/CanvasItem.h"
#include "doc/Document.h"
#include "doc/Item.h"
#include "doc/Properties.h"
#include "frame/Base.h"
#include "generator/BackgroundRelease.h"
#include "generator/GeneratorSnapshots.h"
#include "generator/GridMath.h"
#include "generator/ParallelWork.h"
#include "generator/SliceWorkQueue.h"
#include "generator/ProgressHandler.h"
#include "generator/ProgressInterface.h"
#include "geo/Vector.h"
#include "shape/Base.h"

#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <cmath>
#include <new>

namespace {

const QString placingItemsTask = QStringLiteral("Placing Items");
const QString fallbackShapeId = QStringLiteral("circle");

inline qint64 truncatedProduct(qint64 a, qint64 b) noexcept
{
    return geo::saturated(static_cast<__int128>(a) * b / geo::fixedUnit);
}

} // namespace

GeneratorPointGrid::GeneratorPointGrid()
    : Generator(QStringLiteral("pointgrid"), QStringLiteral("Point Grid"))
    , m_snapshots(std::make_unique<GeneratorSnapshots>(this))
{
}

GeneratorPointGrid::~GeneratorPointGrid() = default;

const std::vector<Generator::AlgorithmEntry>& GeneratorPointGrid::algorithmList() const
{
    return algorithmTable();
}

const std::vector<Generator::AlgorithmEntry>& GeneratorPointGrid::algorithmTable()
{
    // In the order of the Algorithm values.
    static const std::vector<AlgorithmEntry> list{
        {QStringLiteral("largestSpace"), QStringLiteral("Largest Space First"), 0xF88C},
        {QStringLiteral("outsideToInside"), QStringLiteral("From Outside to Inside"), 0xE0A5},
        {QStringLiteral("closestToCenter"), QStringLiteral("Radial from Center"), 0xF31D},
        {QStringLiteral("leftToRight"), QStringLiteral("Linear from Left"), 0xF061},
        {QStringLiteral("rightToLeft"), QStringLiteral("Linear from Right"), 0xF060},
        {QStringLiteral("topToBottom"), QStringLiteral("Linear from Top"), 0xF063},
        {QStringLiteral("bottomToTop"), QStringLiteral("Linear from Bottom"), 0xF062},
        {QStringLiteral("diagonal"), QStringLiteral("Radial from Top Left Corner"), 0xE093},
        {QStringLiteral("diagonal2"), QStringLiteral("Radial from Top Right Corner"), 0xE091},
        {QStringLiteral("diagonal3"), QStringLiteral("Radial from Bottom Right Corner"), 0xE09D},
        {QStringLiteral("diagonal4"), QStringLiteral("Radial from Bottom Left Corner"), 0xE09F},
    };
    return list;
}

GeneratorPointGrid::Algorithm GeneratorPointGrid::algorithmFromIdentifier(const QString& identifier) noexcept
{
    const std::vector<AlgorithmEntry>& list = algorithmTable();
    for (std::size_t index = 1; index < list.size(); ++index) {
        if (list[index].identifier == identifier) {
            return static_cast<Algorithm>(index);
        }
    }
    return Algorithm::LargestSpace;
}

void GeneratorPointGrid::initialize()
{
    Generator::initialize();
    QString identifier;
    if (document() && document()->properties()) {
        identifier = document()->properties()->algorithmIdentifier();
    }
    m_algorithm = algorithmFromIdentifier(identifier);
    switch (m_algorithm) {
    case Algorithm::LargestSpace:
        m_bestPointStrategy = &GeneratorPointGrid::getBestPoint_LargestSpace;
        break;
    case Algorithm::ClosestToCenter:
        m_bestPointStrategy = &GeneratorPointGrid::getBestPoint_ClosestToCenter;
        break;
    default:
        m_bestPointStrategy = &GeneratorPointGrid::getBestPoint_AlgorithmicValue;
        break;
    }
}

void GeneratorPointGrid::cleanUp()
{
    Generator::cleanUp();
    releaseRunData();
}

QSharedPointer<canvas::Canvas> GeneratorPointGrid::generate(ProgressInterface* progress)
{
    QSharedPointer<canvas::Canvas> result;
    try {
        result = generateOrThrow(progress);
    } catch (const std::bad_alloc&) {
        failRun(QStringLiteral("There was not enough memory to finish the generation."));
    } catch (const std::exception& exception) {
        failRun(QStringLiteral("The generation failed: %1").arg(QString::fromLocal8Bit(exception.what())));
    } catch (...) {
        failRun(QStringLiteral("The generation failed."));
    }
    releaseRunData();
    return result;
}

void GeneratorPointGrid::failRun(const QString& message)
{
    setRunStatus(RunStatus::Failed, message);
    releaseCanvas();
}

QSharedPointer<canvas::Canvas> GeneratorPointGrid::generateOrThrow(ProgressInterface* progress)
{
    m_placedItems.clear();
    m_placedCircles.clear();
    m_removedPoints = 0;
    m_preparedPoints = 0;
    m_visitedPoints = 0;
    if (!isInitialized()) {
        if (runStatus() == RunStatus::NotRun) {
            setRunStatus(RunStatus::Failed, QStringLiteral("The generator was not prepared for a run."));
        }
        return {};
    }
    const qint64 pointCount = preparePointsOrThrow(progress);
    if (pointCount < 0) {
        return {};
    }
    m_preparedPoints = static_cast<quint64>(pointCount);
    if (progress != nullptr && progress->progressCancelRequested()) {
        setRunStatus(RunStatus::Cancelled);
        return {};
    }
    if (pointCount == 0) {
        setRunStatus(RunStatus::NothingFits);
        return {};
    }
    return placeAll(progress, static_cast<quint64>(pointCount));
}

QSharedPointer<canvas::Canvas> GeneratorPointGrid::placeAll(ProgressInterface* progress, quint64 pointCount)
{
    m_placedItems.reserve(std::min<std::size_t>(instanceCount(), pointCount));
    m_placedCircles.reserve(m_placedItems.capacity());
    m_snapshots->startSnapshots();
    if (progress != nullptr) {
        progress->progressTaskStarted(placingItemsTask);
    }
    CancelWatch cancelWatch(progress);
    const ActiveCancelWatch activeWatch(m_cancelWatch, cancelWatch);
    // The updates run on pool helpers while the next copy is searched for; the queue ends (waiting for
    // the tasks that run) before the slices are released.
    SliceWorkQueue queue(
        m_slices.size(),
        [this](std::size_t slice, const SliceWorkQueue::Update& update) {
            return updateSlice(m_slices[slice], update.center, update.reach, update.nextRadius);
        },
        placementHelperLimit());
    struct QueueScope {
        SliceWorkQueue*& slot;
        ~QueueScope() { slot = nullptr; }
    } queueScope{m_workQueue};
    m_workQueue = &queue;
    while (hasNextInstance()) {
        if (cancelWatch.askNow()) {
            setRunStatus(RunStatus::Cancelled);
            return {};
        }
        QSharedPointer<canvas::CanvasItem> item = placeItem();
        if (!item) {
            break;
        }
        m_placedItems.push_back(item);
        m_placedCircles.push_back(item->circle());
        updateAvailablePoints(*item);
        if (cancelWatch.isCancelled()) {
            setRunStatus(RunStatus::Cancelled);
            return {};
        }
        reportFinishedCopies(progress, pointCount);
        m_snapshots->nextSnapshot();
    }
    queue.waitForAll();
    publishFinishedSlices();
    reportFinishedCopies(progress, pointCount);
    for (const Slice& slice : m_slices) {
        m_visitedPoints += slice.visited;
    }
    if (m_placedItems.empty()) {
        setRunStatus(RunStatus::NothingFits);
        return {};
    }
    const QSharedPointer<canvas::Canvas> result = canvas();
    for (const auto& item : m_placedItems) {
        result->addItem(item);
    }
    setRunStatus(RunStatus::Completed);
    return result;
}

void GeneratorPointGrid::reportFinishedCopies(ProgressInterface* progress, quint64 pointCount)
{
    // A copy is reported once all its updates have finished, with the points removed up to and including
    // it: the values of the plain order, which updates after each copy before it places the next, only a
    // little later.
    quint64 removed = 0;
    while (!m_cancelWatch->isCancelled() && m_workQueue->takeFinishedSum(removed)) {
        m_removedPoints += removed;
        if (progress != nullptr) {
            progress->progressUpdate(static_cast<int>(250 + std::min(m_removedPoints, pointCount) * 750 / pointCount));
        }
    }
}

std::size_t GeneratorPointGrid::placementHelperLimit() noexcept
{
    // Helpers beyond the processor count would only take turns with the working threads. Without a pool
    // (the application object has gone) the placing thread updates alone.
    const QThreadPool* pool = QThreadPool::globalInstance();
    if (pool == nullptr) {
        return 0;
    }
    const int threads = std::min(pool->maxThreadCount(), QThread::idealThreadCount());
    return static_cast<std::size_t>(std::max(threads, 1) - 1);
}

bool GeneratorPointGrid::readRunSettings()
{
    const auto properties = document() ? document()->properties() : nullptr;
    m_runCanvas = canvas().data();
    m_frame = m_runCanvas != nullptr ? m_runCanvas->frame().get() : nullptr;
    if (!properties || m_frame == nullptr) {
        setRunStatus(RunStatus::Failed, QStringLiteral("The generator was not prepared for a run."));
        return false;
    }
    m_canvasSize = m_runCanvas->size();
    m_canvasCenter = m_canvasSize.centerPoint();
    m_itemSpacing = properties->itemSpacing();
    m_randomPlacementAmount = properties->randomPlacementAmount();
    m_precision = properties->precision();
    m_stepUnits = m_precision.stepUnits();
    m_isSnapToFrameEnabled = properties->isSnapToFrameEnabled();
    m_isRoundToPrecisionEnabled = properties->isRoundToPrecisionEnabled();
    const auto worldShape = properties->worldShape();
    // A placed item always names a shape; without a world shape the default shape stands in.
    m_defaultShapeId = worldShape && !worldShape->identifier().isEmpty() ? worldShape->identifier() : fallbackShapeId;
    return true;
}

void GeneratorPointGrid::releaseRunData() noexcept
{
    if (!m_slices.empty()) {
        releaseInBackground(std::move(m_slices));
    }
    std::vector<Slice>().swap(m_slices);
    std::vector<std::size_t>().swap(m_valueOrder);
    m_layout = BlockLayout();
    m_tournament.reset(0);
    std::vector<char>().swap(m_isStale);
    std::vector<std::size_t>().swap(m_staleSlices);
    std::vector<QSharedPointer<canvas::CanvasItem>>().swap(m_placedItems);
    std::vector<geo::Circle>().swap(m_placedCircles);
    m_runCanvas = nullptr;
    m_frame = nullptr;
}

qint64 GeneratorPointGrid::valueOf(const geo::Point2D& position, qint64 freeSpace) const noexcept
{
    const qint64 width = m_canvasSize.width();
    const qint64 height = m_canvasSize.height();
    switch (m_algorithm) {
    case Algorithm::LargestSpace:
        return position.manhattanDistanceTo(m_canvasCenter).value();
    case Algorithm::OutsideToInside:
        return freeSpace;
    case Algorithm::ClosestToCenter:
        return position.distanceTo(m_canvasCenter).value();
    case Algorithm::LeftToRight:
        return position.x();
    case Algorithm::RightToLeft:
        return geo::saturatedSubtract(width, position.x());
    case Algorithm::TopToBottom:
        return position.y();
    case Algorithm::BottomToTop:
        return geo::saturatedSubtract(height, position.y());
    case Algorithm::Diagonal:
        return position.distanceTo(geo::Point2D(0, 0)).value();
    case Algorithm::Diagonal2:
        return position.distanceTo(geo::Point2D(width, 0)).value();
    case Algorithm::Diagonal3:
        return position.distanceTo(geo::Point2D(width, height)).value();
    case Algorithm::Diagonal4:
        return position.distanceTo(geo::Point2D(0, height)).value();
    }
    return 0;
}

GeneratorPointGrid::RunKey GeneratorPointGrid::runKey(const GridPoint& point) const noexcept
{
    const qint64 column = static_cast<qint64>(point.column);
    const qint64 row = static_cast<qint64>(point.row);
    switch (m_algorithm) {
    case Algorithm::LargestSpace:
        return {-point.freeSpace, point.value};
    case Algorithm::OutsideToInside:
        return {point.freeSpace, 0};
    case Algorithm::LeftToRight:
        return {column, 0};
    case Algorithm::RightToLeft:
        return {-column, 0};
    case Algorithm::TopToBottom:
        return {row, 0};
    case Algorithm::BottomToTop:
        return {-row, 0};
    case Algorithm::ClosestToCenter:
    case Algorithm::Diagonal:
    case Algorithm::Diagonal2:
    case Algorithm::Diagonal3:
    case Algorithm::Diagonal4:
        return {point.value, 0};
    }
    return {0, 0};
}

QSharedPointer<canvas::CanvasItem> GeneratorPointGrid::placeItem()
{
    const BestPoint best = (this->*m_bestPointStrategy)();
    if (!best.isValid()) {
        return {};
    }
    const doc::Item& definition = *best.instance.item;
    const geo::Length radius = best.instance.radius;
    const QString& shapeId = definition.shapeId().isEmpty() ? m_defaultShapeId : definition.shapeId();
    auto item = canvas::CanvasItem::create(definition.itemId(), static_cast<qint64>(m_placedItems.size()), shapeId,
                                           positionOf(*best.point), radius);

    const qint64 slack = geo::saturatedSubtract(best.point->freeSpace, radius.value());
    if (m_randomPlacementAmount > 0.0 && slack > 0) {
        // The offset stays within the point's free circle; the normal is drawn before the angle.
        const double factor = geo::zeroIfNaN(getRandomNormal() * m_randomPlacementAmount);
        const qint64 distance = truncatedProduct(geo::fixedFromDouble(factor), slack);
        const geo::Point2D direction = geo::Point2D::normalFromAngle(getRandomAngle());
        item->moveCenter(geo::Point2D(truncatedProduct(direction.x(), distance), truncatedProduct(direction.y(), distance)));
    }

    if (m_isSnapToFrameEnabled) {
        const geo::PointAndDistance closest = m_frame->closestFramePoint(item->center());
        const geo::Length room = closest.distance - (m_itemSpacing + radius);
        // A centre outside the outline has no frame point to snap to.
        if (closest.distance.value() >= 0 && room < minimumFreeSpace() + minimumFreeSpace()) {
            const geo::Point2D candidate = geo::Vector(closest.point, item->center()).pointOnVectorAtDistance(radius);
            if (!isTooCloseToPlacedItem(candidate, radius)) {
                item->setCenter(candidate);
            }
        }
    }

    if (m_isRoundToPrecisionEnabled && m_precision.level() <= 5) {
        item->setCenter(roundedCenter(item->center(), radius));
    }
    return item;
}

geo::Point2D GeneratorPointGrid::roundedCenter(const geo::Point2D& center, geo::Length radius) const
{
    const geo::Point2D nearest(m_precision.rounded(center.x()), m_precision.rounded(center.y()));
    if (nearest == center) {
        return center;
    }
    // Rounding can push a copy that touches the frame or an earlier item across it. Then the other
    // corners of the precision's cell around the centre are tried, nearest first, and when none keeps
    // the room the copy had, it stays where it is.
    const qint64 step = m_precision.stepUnits();
    const auto floorToStep = [step](qint64 value) {
        const qint64 remainder = value % step;
        return remainder < 0 ? value - remainder - step : value - remainder;
    };
    const qint64 left = floorToStep(center.x());
    const qint64 top = floorToStep(center.y());
    std::array<geo::Point2D, 4> corners{geo::Point2D(left, top), geo::Point2D(left + step, top),
                                        geo::Point2D(left, top + step), geo::Point2D(left + step, top + step)};
    // Deltas stay below a step, so the squares are exact in doubles.
    std::stable_sort(corners.begin(), corners.end(), [&center](const geo::Point2D& a, const geo::Point2D& b) {
        return gridmath::squaredDelta(a, center) < gridmath::squaredDelta(b, center);
    });
    const RoomAround room = roomAround(center, radius);
    if (keepsRoom(nearest, radius, room)) {
        return nearest;
    }
    for (const geo::Point2D& corner : corners) {
        if (corner != nearest && keepsRoom(corner, radius, room)) {
            return corner;
        }
    }
    return center;
}

GeneratorPointGrid::RoomAround GeneratorPointGrid::roomAround(const geo::Point2D& center, geo::Length radius) const
{
    // What the copy needs at most: its radius to the frame, nothing beyond touching an earlier item.
    // Where the unrounded place already falls short (snapping to a curve measures a hair short), no
    // rounded place need do better than it.
    RoomAround room;
    room.frame = std::min(radius.value(), m_frame->closestFramePoint(center).distance.value());
    room.center = center;
    return room;
}

bool GeneratorPointGrid::keepsRoom(const geo::Point2D& candidate, geo::Length radius, const RoomAround& room) const
{
    const geo::PointAndDistance toFrame = m_frame->closestFramePoint(candidate);
    if (toFrame.distance.value() < 0 || toFrame.distance.value() < room.frame) {
        return false;
    }
    const geo::Length reach = radius + m_itemSpacing;
    for (const geo::Circle& other : m_placedCircles) {
        const qint64 limit = (other.radius() + reach).value();
        if (gridmath::isCertainlyAtLeast(gridmath::squaredDelta(candidate, other.center()),
                                         static_cast<double>(limit) + 1.0)) {
            continue;
        }
        const qint64 gap = geo::saturatedSubtract(gridmath::distance(candidate, other.center()), limit);
        if (gap < 0 && gap < geo::saturatedSubtract(gridmath::distance(room.center, other.center()), limit)) {
            return false;
        }
    }
    return true;
}

bool GeneratorPointGrid::isTooCloseToPlacedItem(const geo::Point2D& center, geo::Length radius) const noexcept
{
    const geo::Length reach = radius + m_itemSpacing;
    for (const geo::Circle& other : m_placedCircles) {
        const geo::Length limit = other.radius() + reach;
        // Only an item within the limit can be too close; distanceTo is exact enough to tell that
        // cheaply for every item farther away than one unit beyond it.
        if (gridmath::isCertainlyAtLeast(gridmath::squaredDelta(center, other.center()),
                                         static_cast<double>(limit.value()) + 1.0)) {
            continue;
        }
        if ((geo::Length(gridmath::distance(center, other.center())) - limit).value() <= 0) {
            return true;
        }
    }
    return false;
}

GeneratorPointGrid::BestPoint GeneratorPointGrid::getBestPoint_LargestSpace()
{
    makeTopCurrent();
    const SliceTournament::Entry& top = m_tournament.top();
    if (top.freeSpace < 0) {
        return {};
    }
    const Slice& slice = m_slices[top.slice];
    const GridPoint* best = &slice.points[static_cast<std::size_t>(slice.largestIndex)];
    // Copies larger than the largest free space are passed over and never placed.
    Instance instance = nextInstance();
    while (best->freeSpace < instance.radius.value()) {
        if (!hasNextInstance()) {
            return {};
        }
        instance = nextInstance();
    }
    return {best, instance};
}

GeneratorPointGrid::BestPoint GeneratorPointGrid::getBestPoint_AlgorithmicValue()
{
    // A copy larger than the largest free space fits nowhere and is passed over without a search; any
    // other copy fits at least at the point of that largest free space.
    makeTopCurrent();
    const qint64 largestFreeSpace = m_tournament.top().freeSpace;
    for (;;) {
        const Instance instance = nextInstance();
        if (instance.radius.value() <= largestFreeSpace) {
            return {findValueCandidate(instance.radius.value()), instance};
        }
        if (!hasNextInstance()) {
            return {};
        }
    }
}

GeneratorPointGrid::BestPoint GeneratorPointGrid::getBestPoint_ClosestToCenter()
{
    return getBestPoint_AlgorithmicValue();
}

const GeneratorPointGrid::GridPoint* GeneratorPointGrid::findValueCandidate(qint64 radius)
{
    const GridPoint* best = nullptr;
    quint64 bestRank = 0;
    for (const std::size_t sliceIndex : m_valueOrder) {
        Slice& slice = m_slices[sliceIndex];
        // Slices come by their smallest value, so none of the rest can hold a better point.
        if (best != nullptr && slice.minimumValue > best->value) {
            break;
        }
        makeCurrent(sliceIndex);
        if (slice.maximumFreeSpace < radius) {
            continue;
        }
        if (slice.candidateRadius != radius) {
            findSliceCandidate(slice, radius);
        }
        if (slice.candidateIndex < 0) {
            continue;
        }
        const GridPoint& point = slice.points[static_cast<std::size_t>(slice.candidateIndex)];
        if (best == nullptr || point.value < best->value || (point.value == best->value && rankOf(point) < bestRank)) {
            best = &point;
            bestRank = rankOf(point);
        }
    }
    return best;
}

void GeneratorPointGrid::findSliceCandidate(Slice& slice, qint64 radius)
{
    // A slice is kept in value order, so its first point with room enough is its best one.
    slice.candidateIndex = -1;
    slice.candidateRadius = radius;
    const std::size_t count = slice.points.size();
    for (std::size_t index = 0; index < count; ++index) {
        if (slice.points[index].freeSpace >= radius) {
            slice.candidateIndex = static_cast<int>(index);
            m_visitedPoints += index + 1;
            return;
        }
    }
    m_visitedPoints += count;
}

std::vector<std::size_t> GeneratorPointGrid::slicesWithinReach(const geo::Point2D& center, qint64 reach) const
{
    // Only what the tournament holds is read: a slice with an update in flight must not be touched, and
    // its published free space is at least what it has now, which only widens the reach.
    std::vector<std::size_t> reached;
    const qint64 largestFreeSpace = m_tournament.top().freeSpace;
    if (largestFreeSpace < 0 || m_layout.bandCount == 0 || m_layout.blockColumnCount == 0) {
        return reached;
    }
    // No point farther than this from the centre in x or y can lose room: even with the largest free
    // space anywhere, its distance exceeds that free space plus the item's reach.
    const double bound = static_cast<double>(largestFreeSpace) + static_cast<double>(reach) + 2.0;
    const double halfSide = std::sqrt(bound * bound + 2000000.0) + 2.0;
    const double blockWidth = static_cast<double>(m_stepUnits) * blockColumns;
    const double blockHeight = static_cast<double>(m_stepUnits) * blockRows;
    auto blockRange = [halfSide](double middle, double blockSize, quint64 blockCount, quint64& first, quint64& last) {
        const double low = std::floor((middle - halfSide) / blockSize);
        const double high = std::floor((middle + halfSide) / blockSize);
        if (high < 0.0 || low >= static_cast<double>(blockCount)) {
            return false;
        }
        first = low <= 0.0 ? 0 : static_cast<quint64>(low);
        last = high >= static_cast<double>(blockCount - 1) ? blockCount - 1 : static_cast<quint64>(high);
        return true;
    };
    quint64 firstColumn = 0;
    quint64 lastColumn = 0;
    quint64 firstBand = 0;
    quint64 lastBand = 0;
    if (!blockRange(static_cast<double>(center.x()), blockWidth, m_layout.blockColumnCount, firstColumn, lastColumn)
        || !blockRange(static_cast<double>(center.y()), blockHeight, m_layout.bandCount, firstBand, lastBand)) {
        return reached;
    }
    for (quint64 band = firstBand; band <= lastBand; ++band) {
        for (quint64 column = firstColumn; column <= lastColumn; ++column) {
            const std::size_t index = band * m_layout.blockColumnCount + column;
            const Slice& slice = m_slices[index];
            const qint64 sliceFreeSpace = m_tournament.freeSpaceOf(index);
            if (sliceFreeSpace < 0) {
                continue;
            }
            // The block's nearest position to the centre decides for all its points.
            const geo::Point2D nearest(std::clamp(center.x(), slice.topLeft.x(), slice.bottomRight.x()),
                                       std::clamp(center.y(), slice.topLeft.y(), slice.bottomRight.y()));
            const double sliceBound = static_cast<double>(sliceFreeSpace) + static_cast<double>(reach);
            if (gridmath::isCertainlyAtLeast(gridmath::squaredDelta(center, nearest), sliceBound)) {
                continue;
            }
            reached.push_back(index);
        }
    }
    return reached;
}

quint64 GeneratorPointGrid::updateAvailablePoints(const canvas::CanvasItem& item)
{
    const geo::Point2D center = item.center();
    const qint64 reach = (item.radius() + m_itemSpacing).value();
    const std::vector<std::size_t> reached = slicesWithinReach(center, reach);
    for (const std::size_t index : reached) {
        if (m_isStale[index] == 0) {
            m_isStale[index] = 1;
            m_staleSlices.push_back(index);
        }
        lowerStaleBound(index, center, reach);
    }
    const SliceWorkQueue::Update update{center, reach, item.radius().value()};
    if (m_workQueue != nullptr) {
        m_workQueue->submit(reached, update);
    } else {
        for (const std::size_t index : reached) {
            m_removedPoints += updateSlice(m_slices[index], update.center, update.reach, update.nextRadius);
        }
    }
    publishFinishedSlices();
    return m_removedPoints;
}

void GeneratorPointGrid::lowerStaleBound(std::size_t index, const geo::Point2D& center, qint64 reach) noexcept
{
    // After the update no point of the slice has more room than its distance from the centre less the
    // reach, and no point is farther than the block's farthest corner. Until the update is published, the
    // tournament holds that bound where it is lower (with the best key, so it stays a bound in the
    // tournament's order too), and the search need not wait for slices that cannot win.
    const Slice& slice = m_slices[index];
    const double farX = std::max(std::abs(static_cast<double>(center.x()) - static_cast<double>(slice.topLeft.x())),
                                 std::abs(static_cast<double>(slice.bottomRight.x()) - static_cast<double>(center.x())));
    const double farY = std::max(std::abs(static_cast<double>(center.y()) - static_cast<double>(slice.topLeft.y())),
                                 std::abs(static_cast<double>(slice.bottomRight.y()) - static_cast<double>(center.y())));
    const double bound = std::ceil(std::sqrt(farX * farX + farY * farY)) + 4.0 - static_cast<double>(reach);
    const qint64 published = m_tournament.freeSpaceOf(index);
    if (bound < static_cast<double>(published)) {
        m_tournament.set(index, std::max<qint64>(static_cast<qint64>(bound), -1), 0);
    }
}

bool GeneratorPointGrid::isSliceBusy(std::size_t index) const noexcept
{
    return m_workQueue != nullptr && m_workQueue->isPending(index);
}

void GeneratorPointGrid::publishFinishedSlices()
{
    // In the order the slices were first reached, so that the sums never depend on the threads.
    std::size_t kept = 0;
    for (const std::size_t index : m_staleSlices) {
        if (isSliceBusy(index)) {
            m_staleSlices[kept++] = index;
            continue;
        }
        m_isStale[index] = 0;
        Slice& slice = m_slices[index];
        if (slice.hasChanged) {
            slice.hasChanged = false;
            publishSlice(index);
        }
    }
    m_staleSlices.resize(kept);
}

void GeneratorPointGrid::makeCurrent(std::size_t index)
{
    if (m_isStale[index] == 0) {
        return;
    }
    if (m_workQueue != nullptr) {
        m_workQueue->waitFor(index);
    }
    publishFinishedSlices();
}

void GeneratorPointGrid::makeTopCurrent()
{
    // A slice with an update in flight shows at most what it had before, so when the best slice of the
    // tournament is current, no other can be better.
    for (;;) {
        const SliceTournament::Entry& top = m_tournament.top();
        if (top.freeSpace < 0 || m_isStale[top.slice] == 0) {
            return;
        }
        makeCurrent(top.slice);
    }
}

void GeneratorPointGrid::publishSlice(std::size_t index) noexcept
{
    const Slice& slice = m_slices[index];
    if (slice.points.empty()) {
        m_tournament.set(index, -1, 0);
    } else if (isValueSearch()) {
        m_tournament.set(index, slice.maximumFreeSpace, index);
    } else {
        m_tournament.set(index, slice.maximumFreeSpace, rankOf(slice.points[static_cast<std::size_t>(slice.largestIndex)]));
    }
}

quint64 GeneratorPointGrid::updateSlice(Slice& slice, const geo::Point2D& center, qint64 reach, qint64 nextRadius)
{
    if (m_cancelWatch != nullptr && m_cancelWatch->poll()) {
        return 0;
    }
    const qint64 minimum = minimumFreeSpace().value();
    const double reachAsDouble = static_cast<double>(reach);
    const bool isLargestSpace = !isValueSearch();
    std::vector<GridPoint>& points = slice.points;
    const std::size_t count = points.size();
    slice.visited += count;
    std::size_t kept = 0;
    bool hasChanged = false;
    quint64 removed = 0;
    // The slice's summary is gathered in the same pass: its largest free space, and its first point of
    // it (largest-space search) or its first point with room for the next copy (value searches).
    qint64 largestFreeSpace = -1;
    std::size_t bestIndex = 0;
    quint64 bestRank = 0;
    std::size_t candidateIndex = count;
    for (std::size_t index = 0; index < count; ++index) {
        GridPoint& point = points[index];
        const geo::Point2D position = positionOf(point);
        if (!gridmath::isCertainlyAtLeast(gridmath::squaredDelta(position, center),
                                          static_cast<double>(point.freeSpace) + reachAsDouble)) {
            const qint64 space = geo::saturatedSubtract(gridmath::distance(position, center), reach);
            if (point.freeSpace > space) {
                hasChanged = true;
                if (space < minimum) {
                    ++removed;
                    continue;
                }
                point.freeSpace = space;
            }
        }
        // Compacting in place keeps the available points at the front in their order.
        if (kept != index) {
            points[kept] = point;
        }
        if (point.freeSpace > largestFreeSpace) {
            largestFreeSpace = point.freeSpace;
            bestIndex = kept;
            if (isLargestSpace) {
                bestRank = rankOf(point);
            }
        } else if (isLargestSpace && point.freeSpace == largestFreeSpace && rankOf(point) < bestRank) {
            bestIndex = kept;
            bestRank = rankOf(point);
        }
        if (candidateIndex == count && point.freeSpace >= nextRadius) {
            candidateIndex = kept;
        }
        ++kept;
    }
    if (!hasChanged) {
        return 0;
    }
    points.resize(kept);
    slice.hasChanged = true;
    slice.removed += removed;
    slice.maximumFreeSpace = largestFreeSpace;
    slice.largestIndex = kept > 0 ? static_cast<int>(bestIndex) : -1;
    slice.candidateRadius = nextRadius;
    slice.candidateIndex = candidateIndex < count ? static_cast<int>(candidateIndex) : -1;
    return removed;
}

void GeneratorPointGrid::refreshValueSlice(Slice& slice, qint64 radius) noexcept
{
    slice.maximumFreeSpace = -1;
    slice.candidateIndex = -1;
    slice.candidateRadius = radius;
    const std::size_t count = slice.points.size();
    for (std::size_t index = 0; index < count; ++index) {
        const qint64 freeSpace = slice.points[index].freeSpace;
        slice.maximumFreeSpace = std::max(slice.maximumFreeSpace, freeSpace);
        if (slice.candidateIndex < 0 && freeSpace >= radius) {
            slice.candidateIndex = static_cast<int>(index);
        }
    }
}

void GeneratorPointGrid::recordLargest(Slice& slice) noexcept
{
    slice.maximumFreeSpace = -1;
    slice.largestIndex = -1;
    quint64 largestRank = 0;
    const std::size_t count = slice.points.size();
    for (std::size_t index = 0; index < count; ++index) {
        const GridPoint& point = slice.points[index];
        if (point.freeSpace > slice.maximumFreeSpace
            || (point.freeSpace == slice.maximumFreeSpace && rankOf(point) < largestRank)) {
            slice.maximumFreeSpace = point.freeSpace;
            slice.largestIndex = static_cast<int>(index);
            largestRank = rankOf(point);
        }
    }
}

std::vector<GeneratorPointGrid::PointInfo> GeneratorPointGrid::orderedPoints() const
{
    std::vector<const GridPoint*> points;
    for (const Slice& slice : m_slices) {
        for (const GridPoint& point : slice.points) {
            points.push_back(&point);
        }
    }
    std::sort(points.begin(), points.end(),
              [](const GridPoint* a, const GridPoint* b) { return rankOf(*a) < rankOf(*b); });
    std::vector<PointInfo> result;
    result.reserve(points.size());
    for (const GridPoint* point : points) {
        result.push_back({positionOf(*point), geo::Length(point->freeSpace), geo::Value(point->value)});
    }
    return result;
}
