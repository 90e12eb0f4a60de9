// The preparation of the point grid: which grid points lie inside the frame with room enough, how each is
// rated, and the fixed order in which equally good points are taken.

#include "generator/GeneratorPointGrid.h"

#include "canvas/CanvasItem.h"
#include "frame/Base.h"
#include "frame/RegionDistance.h"
#include "generator/BackgroundRelease.h"
#include "generator/ParallelWork.h"
#include "generator/ProgressHandler.h"
#include "generator/ProgressInterface.h"

#include <QtGlobal>

#include <algorithm>
#include <limits>
#include <new>
#include <numeric>

#if defined(Q_OS_MACOS)
#include <sys/sysctl.h>
#include <sys/types.h>
#else
#include <unistd.h>
#endif

namespace {

const QString preparingPointsTask = QStringLiteral("Preparing Points");

// Sorting a slice is worth the pool from this many points on.
constexpr std::size_t parallelPointThreshold = 32768;

// A placed copy holds its canvas item (with the shared pointer's block and the heap's header) until the
// run ends, a place in the run's list and in the canvas's (which may grow to twice its size once), and
// its circle for the snapping check.
constexpr std::size_t placedCopyBytes =
    sizeof(canvas::CanvasItem) + 32 + 3 * sizeof(QSharedPointer<canvas::CanvasItem>) + sizeof(geo::Circle);

// A length in millimetres, exactly as stored: "78", "0.01", "-1.5".
QString millimetersText(qint64 units)
{
    const bool isNegative = units < 0;
    const quint64 magnitude = isNegative ? 0 - static_cast<quint64>(units) : static_cast<quint64>(units);
    QString text = QString::number(magnitude / 1000000u);
    quint64 fraction = magnitude % 1000000u;
    if (fraction != 0) {
        QString digits = QString::number(fraction).rightJustified(6, QLatin1Char('0'));
        while (digits.endsWith(QLatin1Char('0'))) {
            digits.chop(1);
        }
        text += QLatin1Char('.') + digits;
    }
    return isNegative ? QLatin1Char('-') + text : text;
}

// A memory size as a reader takes it in: "850 MB", "4.2 GB".
QString bytesText(quint64 bytes)
{
    constexpr double megabyte = 1e6;
    constexpr double gigabyte = 1e9;
    if (bytes >= 1000000000ull) {
        return QStringLiteral("%1 GB").arg(static_cast<double>(bytes) / gigabyte, 0, 'f', 1);
    }
    return QStringLiteral("%1 MB").arg(std::max<quint64>(1, static_cast<quint64>(static_cast<double>(bytes) / megabyte + 0.5)));
}

std::vector<std::size_t> indexList(std::size_t count)
{
    std::vector<std::size_t> indices(count);
    std::iota(indices.begin(), indices.end(), std::size_t{0});
    return indices;
}

} // namespace

GeneratorPointGrid::GridSize GeneratorPointGrid::gridSize(const geo::Size& canvasSize,
                                                          const geo::Precision& precision) noexcept
{
    GridSize grid;
    grid.stepUnits = precision.stepUnits();
    if (canvasSize.width() < 0 || canvasSize.height() < 0 || grid.stepUnits <= 0) {
        return grid;
    }
    // Integer division: a size that is a whole number of steps keeps its last column and row.
    grid.columns = static_cast<quint64>(canvasSize.width() / grid.stepUnits) + 1;
    grid.rows = static_cast<quint64>(canvasSize.height() / grid.stepUnits) + 1;
    const unsigned __int128 product = static_cast<unsigned __int128>(grid.columns) * grid.rows;
    grid.pointCount = product > std::numeric_limits<quint64>::max() ? std::numeric_limits<quint64>::max()
                                                                     : static_cast<quint64>(product);
    return grid;
}

quint64 GeneratorPointGrid::sliceCapacity(quint64 pointCount) noexcept
{
    return std::max<quint64>(std::min<quint64>(pointCount / 16, 10000), 100);
}

qint64 GeneratorPointGrid::preparePoints(ProgressInterface* progress)
{
    try {
        return preparePointsOrThrow(progress);
    } catch (const std::bad_alloc&) {
        failRun(QStringLiteral("There was not enough memory to prepare the point grid."));
    } catch (const std::exception& exception) {
        failRun(QStringLiteral("The point grid could not be prepared: %1").arg(QString::fromLocal8Bit(exception.what())));
    } catch (...) {
        failRun(QStringLiteral("The point grid could not be prepared."));
    }
    std::vector<Slice>().swap(m_slices);
    return -1;
}

qint64 GeneratorPointGrid::preparePointsOrThrow(ProgressInterface* progress)
{
    if (progress != nullptr) {
        progress->progressTaskStarted(preparingPointsTask);
    }
    std::vector<Slice>().swap(m_slices);
    std::vector<std::size_t>().swap(m_valueOrder);
    if (!isInitialized()) {
        if (runStatus() == RunStatus::NotRun) {
            setRunStatus(RunStatus::Failed, QStringLiteral("The generator was not prepared for a run."));
        }
        return -1;
    }
    if (!readRunSettings()) {
        return -1;
    }
    const GridSize grid = gridSize(m_canvasSize, m_precision);
    if (grid.pointCount > maximumGridPoints) {
        setRunStatus(RunStatus::Refused,
                     QStringLiteral("A canvas of %1 × %2 mm at a precision of %3 mm needs a grid of %4 points, but at "
                                    "most %5 points are possible. Choose a coarser precision or a smaller canvas.")
                         .arg(millimetersText(m_canvasSize.width()), millimetersText(m_canvasSize.height()),
                              millimetersText(grid.stepUnits), QString::number(grid.pointCount),
                              QString::number(maximumGridPoints)));
        return -1;
    }
    const quint64 neededBytes = estimatedRunBytes(grid.pointCount, itemDefinitions());
    const quint64 budget = memoryBudget();
    if (neededBytes > budget) {
        setRunStatus(RunStatus::Refused,
                     QStringLiteral("A canvas of %1 × %2 mm at a precision of %3 mm with %4 item copies needs about %5 "
                                    "of memory, but at most %6 can be used on this computer. Choose a coarser "
                                    "precision, a smaller canvas or fewer copies.")
                         .arg(millimetersText(m_canvasSize.width()), millimetersText(m_canvasSize.height()),
                              millimetersText(grid.stepUnits), QString::number(plannedInstanceCount()),
                              bytesText(neededBytes), bytesText(budget)));
        return -1;
    }

    CancelWatch cancelWatch(progress);
    const ActiveCancelWatch activeWatch(m_cancelWatch, cancelWatch);
    const PreparationBands bands = preparationBands(InstanceList::workOf(itemDefinitions()), grid.pointCount);
    if (prepareCopies(progress, bands, cancelWatch)) {
        m_layout.bandCount = (grid.rows + blockRows - 1) / blockRows;
        m_layout.blockColumnCount = (grid.columns + blockColumns - 1) / blockColumns;
        ratePoints(grid, m_layout, ProgressBand{progress, bands[1], bands[2]}, cancelWatch);
    }
    if (!cancelWatch.askNow()) {
        const GroupSizes groupSizes = numberRowGroups(grid, m_layout);
        orderRuns(grid, m_layout, groupSizes, ProgressBand{progress, bands[2], bands[3]}, cancelWatch);
    }
    if (!cancelWatch.askNow()) {
        finishSlices(ProgressBand{progress, bands[3], bands[4]}, cancelWatch);
    }
    if (cancelWatch.askNow()) {
        setRunStatus(RunStatus::Cancelled);
        releaseInBackground(std::move(m_slices));
        std::vector<Slice>().swap(m_slices);
        std::vector<std::size_t>().swap(m_valueOrder);
        m_layout = BlockLayout();
        return -1;
    }
    qint64 pointCount = 0;
    for (const Slice& slice : m_slices) {
        pointCount += static_cast<qint64>(slice.points.size());
    }
    return pointCount;
}

bool GeneratorPointGrid::prepareCopies(ProgressInterface* progress, const PreparationBands& bands, CancelWatch& cancelWatch)
{
    ProgressHandler progressHandler(progress, static_cast<qint64>(InstanceList::workOf(itemDefinitions())), bands[0],
                                    bands[1] - bands[0]);
    return prepareInstances([&cancelWatch] { return cancelWatch.poll(); },
                            [&progressHandler](quint64 work) { progressHandler.stepDone(static_cast<qint64>(work)); })
        && !cancelWatch.askNow();
}

GeneratorPointGrid::PreparationBands GeneratorPointGrid::preparationBands(quint64 copyWork, quint64 gridPoints) noexcept
{
    // Rough costs per unit: rating a grid point takes about as long as four units of copy work, ordering
    // it two and finishing its block one.
    const std::array<long double, 4> weights{static_cast<long double>(copyWork), 4.0L * gridPoints, 2.0L * gridPoints,
                                             1.0L * gridPoints};
    long double total = 0;
    for (const long double weight : weights) {
        total += weight;
    }
    PreparationBands bands{0, 0, 0, 0, preparationShare};
    long double sum = 0;
    for (std::size_t pass = 1; pass < weights.size(); ++pass) {
        sum += weights[pass - 1];
        const int share = total > 0 ? static_cast<int>(preparationShare * sum / total + 0.5L) : 0;
        // Every pass keeps at least one thousandth, so the bar moves during each of them.
        const int lowest = bands[pass - 1] + 1;
        const int highest = preparationShare - static_cast<int>(weights.size() - pass);
        bands[pass] = std::clamp(share, lowest, highest);
    }
    return bands;
}

quint64 GeneratorPointGrid::estimatedRunBytes(quint64 gridPoints, const QList<std::shared_ptr<doc::Item>>& items) noexcept
{
    // Every grid point may be usable; a block's record and its share of the index arrays add about a
    // byte per point.
    const long double gridBytes = static_cast<long double>(gridPoints) * (sizeof(GridPoint) + 1);
    // A copy placed without a random offset takes its grid point with it, so a run places at most one copy
    // per grid point (random offsets can place a few more).
    const quint64 placedCopies = std::min(InstanceList::copyCountOf(items), gridPoints);
    const long double placedBytes = static_cast<long double>(placedCopies) * placedCopyBytes;
    const long double total = gridBytes + placedBytes + static_cast<long double>(InstanceList::estimatedBytes(items));
    return total >= static_cast<long double>(std::numeric_limits<quint64>::max()) ? std::numeric_limits<quint64>::max()
                                                                                  : static_cast<quint64>(total);
}

quint64 GeneratorPointGrid::memoryBudget() const noexcept
{
    if (m_memoryBudget > 0) {
        return m_memoryBudget;
    }
    // Half the machine's memory leaves room for the program, the preview and everything else running.
    const quint64 physical = physicalMemoryBytes();
    return physical > 0 ? physical / 2 : std::numeric_limits<quint64>::max();
}

void GeneratorPointGrid::ratePoints(const GridSize& grid, const BlockLayout& layout, const ProgressBand& band,
                                    CancelWatch& cancelWatch)
{
    m_slices.resize(layout.bandCount * layout.blockColumnCount);
    ProgressHandler progressHandler(band.progress, static_cast<qint64>(m_slices.size()), band.start,
                                    band.end - band.start);
    const qint64 minimum = minimumFreeSpace().value();
    runOnGlobalPool(indexList(m_slices.size()), [&](std::size_t index) {
        if (cancelWatch.poll()) {
            return;
        }
        Slice& slice = m_slices[index];
        const quint64 firstRow = (index / layout.blockColumnCount) * blockRows;
        const quint64 endRow = std::min<quint64>(firstRow + blockRows, grid.rows);
        const quint64 firstColumn = (index % layout.blockColumnCount) * blockColumns;
        const quint64 endColumn = std::min<quint64>(firstColumn + blockColumns, grid.columns);
        slice.topLeft = geo::Point2D(static_cast<qint64>(firstColumn) * m_stepUnits, static_cast<qint64>(firstRow) * m_stepUnits);
        slice.bottomRight = geo::Point2D(static_cast<qint64>(endColumn - 1) * m_stepUnits,
                                         static_cast<qint64>(endRow - 1) * m_stepUnits);
        slice.rowCounts.assign(blockRows, 0);
        slice.rowSequence.assign(blockRows, 0);
        std::vector<GridPoint>& points = slice.points;
        points.reserve((endRow - firstRow) * (endColumn - firstColumn));
        std::array<qint64, blockRows * blockColumns> distances;
        if (!measureBlock(slice, firstRow, endRow, firstColumn, endColumn, distances, cancelWatch)) {
            return;
        }
        for (quint64 row = firstRow; row < endRow; ++row) {
            for (quint64 column = firstColumn; column < endColumn; ++column) {
                const qint64 distance = distances[(row - firstRow) * blockColumns + (column - firstColumn)];
                // Outside the outline the frame reports a negative distance, which no minimum admits.
                if (distance < minimum) {
                    continue;
                }
                GridPoint point{distance, 0, static_cast<quint32>(column), static_cast<quint32>(row), 0};
                point.value = valueOf(positionOf(point), distance);
                points.push_back(point);
                ++slice.rowCounts[row - firstRow];
            }
        }
        // Blocks mostly inside the frame keep their room; the others give back what they do not use.
        if (points.empty()) {
            std::vector<GridPoint>().swap(points);
        } else if (points.size() < points.capacity() / 4 * 3) {
            points.shrink_to_fit();
        }
        progressHandler.stepDone();
    });
}

bool GeneratorPointGrid::measureBlock(const Slice& slice, quint64 firstRow, quint64 endRow, quint64 firstColumn,
                                      quint64 endColumn, std::array<qint64, blockRows * blockColumns>& distances,
                                      CancelWatch& cancelWatch) const
{
    // The frame's edges are chosen for the block, then for each small square of it: a square of points
    // lies near few edges, which is what makes the distances cheap.
    constexpr quint64 squareSide = 16;
    frame::RegionDistance block(*m_frame);
    block.setRegion(slice.topLeft, slice.bottomRight);
    frame::RegionDistance square(*m_frame);
    for (quint64 top = firstRow; top < endRow; top += squareSide) {
        if (cancelWatch.poll()) {
            return false;
        }
        const quint64 bottom = std::min(top + squareSide, endRow);
        for (quint64 left = firstColumn; left < endColumn; left += squareSide) {
            const quint64 right = std::min(left + squareSide, endColumn);
            square.narrowTo(block, geo::Point2D(static_cast<qint64>(left) * m_stepUnits, static_cast<qint64>(top) * m_stepUnits),
                            geo::Point2D(static_cast<qint64>(right - 1) * m_stepUnits,
                                         static_cast<qint64>(bottom - 1) * m_stepUnits));
            for (quint64 row = top; row < bottom; ++row) {
                for (quint64 column = left; column < right; ++column) {
                    const geo::Point2D position(static_cast<qint64>(column) * m_stepUnits, static_cast<qint64>(row) * m_stepUnits);
                    distances[(row - firstRow) * blockColumns + (column - firstColumn)] =
                        square.closestFramePoint(position).distance.value();
                }
            }
        }
    }
    return true;
}

GeneratorPointGrid::GroupSizes GeneratorPointGrid::numberRowGroups(const GridSize& grid, const BlockLayout& layout)
{
    // Row group k holds the rows k, k + 32, k + 64, ...: in each band, the band's row k. Its points are
    // numbered row after row, each row from left to right.
    GroupSizes groupSizes{};
    for (quint64 group = 0; group < static_cast<quint64>(rowGroupCount); ++group) {
        quint64 sequence = 0;
        for (quint64 band = 0; band < layout.bandCount && band * blockRows + group < grid.rows; ++band) {
            for (quint64 blockColumn = 0; blockColumn < layout.blockColumnCount; ++blockColumn) {
                Slice& slice = m_slices[band * layout.blockColumnCount + blockColumn];
                slice.rowSequence[group] = static_cast<quint32>(sequence);
                sequence += slice.rowCounts[group];
            }
        }
        groupSizes[group] = sequence;
    }
    return groupSizes;
}

void GeneratorPointGrid::orderRuns(const GridSize& grid, const BlockLayout& layout, const GroupSizes& groupSizes,
                                   const ProgressBand& band, CancelWatch& cancelWatch)
{
    // Each row group is cut into runs of sliceCapacity points, and each run is ordered by the algorithm
    // (equal points keep their row order). A point's place in its group's ordered runs is its order.
    struct Run {
        quint64 group;
        quint64 start;
    };
    const quint64 capacity = sliceCapacity(grid.pointCount);
    std::vector<Run> runs;
    for (quint64 group = 0; group < static_cast<quint64>(rowGroupCount); ++group) {
        for (quint64 start = 0; start < groupSizes[group]; start += capacity) {
            runs.push_back({group, start});
        }
    }
    const quint64 columnsOfBlocks = layout.blockColumnCount;
    ProgressHandler progressHandler(band.progress, static_cast<qint64>(runs.size()), band.start, band.end - band.start);
    runOnGlobalPool(indexList(runs.size()), [&](std::size_t runIndex) {
        if (cancelWatch.poll()) {
            return;
        }
        const quint64 group = runs[runIndex].group;
        const quint64 start = runs[runIndex].start;
        const quint64 end = std::min(start + capacity, groupSizes[group]);
        const quint64 bandsOfGroup = grid.rows > group ? (grid.rows - group + blockRows - 1) / blockRows : 0;
        auto bandStart = [&](quint64 band) { return m_slices[band * columnsOfBlocks].rowSequence[group]; };
        // The last band whose row of this group starts at or before the run.
        quint64 low = 0;
        quint64 high = bandsOfGroup;
        while (high - low > 1) {
            const quint64 middle = low + (high - low) / 2;
            if (bandStart(middle) <= start) {
                low = middle;
            } else {
                high = middle;
            }
        }
        struct Member {
            RunKey key;
            GridPoint* point;
        };
        std::vector<Member> members;
        members.reserve(end - start);
        for (quint64 band = low; band < bandsOfGroup && members.size() < end - start; ++band) {
            for (quint64 blockColumn = 0; blockColumn < columnsOfBlocks; ++blockColumn) {
                Slice& slice = m_slices[band * columnsOfBlocks + blockColumn];
                const quint64 first = slice.rowSequence[group];
                const quint64 count = slice.rowCounts[group];
                if (first >= end) {
                    break;
                }
                if (count == 0 || first + count <= start) {
                    continue;
                }
                const std::size_t rowOffset = std::accumulate(slice.rowCounts.begin(),
                                                              slice.rowCounts.begin() + static_cast<std::ptrdiff_t>(group),
                                                              std::size_t{0});
                const quint64 from = std::max(start, first) - first;
                const quint64 to = std::min(end, first + count) - first;
                for (quint64 index = from; index < to; ++index) {
                    GridPoint& point = slice.points[rowOffset + index];
                    members.push_back({runKey(point), &point});
                }
            }
        }
        // Equal keys keep their row order.
        const auto comesFirst = [](const Member& a, const Member& b) { return a.key < b.key; };
        if (!std::is_sorted(members.begin(), members.end(), comesFirst)) {
            std::stable_sort(members.begin(), members.end(), comesFirst);
        }
        for (std::size_t index = 0; index < members.size(); ++index) {
            members[index].point->order = static_cast<quint32>(start + index);
        }
        progressHandler.stepDone();
    });
    // A grid without points has no run; the band is finished all the same.
    if (runs.empty()) {
        progressHandler.stepDone();
    }
}

void GeneratorPointGrid::finishSlices(const ProgressBand& band, CancelWatch& cancelWatch)
{
    std::size_t pointCount = 0;
    for (const Slice& slice : m_slices) {
        pointCount += slice.points.size();
    }
    const bool isValueOrdered = isValueSearch();
    // The first search asks for room for the largest copy; its candidates are found here in parallel.
    const qint64 firstRadius = instanceList().isEmpty() ? -1 : instanceList().entries().front().radius;
    ProgressHandler progressHandler(band.progress, static_cast<qint64>(m_slices.size()), band.start, band.end - band.start);
    const std::function<void(std::size_t)> finishOne = [&](std::size_t index) {
        if (cancelWatch.poll()) {
            return;
        }
        finishSlice(m_slices[index], isValueOrdered, firstRadius);
        progressHandler.stepDone();
    };
    if (pointCount >= parallelPointThreshold) {
        runOnGlobalPool(indexList(m_slices.size()), finishOne);
    } else {
        for (std::size_t index = 0; index < m_slices.size(); ++index) {
            finishOne(index);
        }
    }
    if (m_slices.empty()) {
        progressHandler.stepDone();
    }
    if (cancelWatch.askNow()) {
        return;
    }
    m_tournament.reset(m_slices.size());
    m_isStale.assign(m_slices.size(), 0);
    m_staleSlices.clear();
    for (std::size_t index = 0; index < m_slices.size(); ++index) {
        publishSlice(index);
    }
    if (isValueOrdered) {
        for (std::size_t index = 0; index < m_slices.size(); ++index) {
            if (!m_slices[index].points.empty()) {
                m_valueOrder.push_back(index);
            }
        }
        std::stable_sort(m_valueOrder.begin(), m_valueOrder.end(), [this](std::size_t a, std::size_t b) {
            return m_slices[a].minimumValue < m_slices[b].minimumValue;
        });
    }
}

void GeneratorPointGrid::finishSlice(Slice& slice, bool isValueOrdered, qint64 firstRadius)
{
    std::vector<quint32>().swap(slice.rowCounts);
    std::vector<quint32>().swap(slice.rowSequence);
    if (slice.points.empty()) {
        return;
    }
    if (isValueOrdered) {
        // In value order a slice's first point with room enough is its best one.
        std::sort(slice.points.begin(), slice.points.end(), [](const GridPoint& a, const GridPoint& b) {
            return a.value < b.value || (a.value == b.value && rankOf(a) < rankOf(b));
        });
        slice.minimumValue = slice.points.front().value;
        refreshValueSlice(slice, firstRadius);
    } else {
        recordLargest(slice);
    }
}

quint64 GeneratorPointGrid::physicalMemoryBytes() noexcept
{
#if defined(Q_OS_MACOS)
    quint64 bytes = 0;
    std::size_t size = sizeof(bytes);
    return sysctlbyname("hw.memsize", &bytes, &size, nullptr, 0) == 0 ? bytes : 0;
#else
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    return pages > 0 && pageSize > 0 ? static_cast<quint64>(pages) * static_cast<quint64>(pageSize) : 0;
#endif
}
