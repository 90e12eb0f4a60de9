#pragma once

#include "generator/Generator.h"
#include "generator/SliceTournament.h"
#include "geo/Circle.h"
#include "geo/Length.h"
#include "geo/Normal1D.h"
#include "geo/Point2D.h"
#include "geo/Precision.h"
#include "geo/Size.h"
#include "geo/Value.h"

#include <QSharedPointer>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace canvas {
class CanvasItem;
}
namespace frame {
class Base;
}

class CancelWatch;
class ProgressInterface;
class GeneratorSnapshots;
class SliceWorkQueue;

// The point-grid generator: lays a regular grid of candidate points over the canvas at the document's
// precision, keeps the points inside the frame with enough room around them, and places the item copies,
// largest first, one after another on the best remaining point of the chosen algorithm.
//
// Which point is "best" is decided by the algorithm's rating and, among equals, by a fixed order of all
// points: the grid rows are taken in 32 row-offset groups (rows k, k + 32, k + 64, ...), each group's
// points are cut into runs of sliceCapacity points and every run is ordered by the algorithm. The points
// themselves are kept in compact rectangular blocks of the grid (the slices), so that a placed item only
// touches the slices within its reach, and every parallel step works slice by slice. The update after a
// placed item runs on pool helpers while the next copy is searched for; the search waits only for the
// slices it must read. The result depends on the document alone, never on the number of threads.
class GeneratorPointGrid : public Generator
{
public:
    enum class Algorithm : std::uint8_t {
        LargestSpace,
        OutsideToInside,
        ClosestToCenter,
        LeftToRight,
        RightToLeft,
        TopToBottom,
        BottomToTop,
        Diagonal,
        Diagonal2,
        Diagonal3,
        Diagonal4,
    };

    // One candidate point. 32 bytes: the position is kept as grid column and row.
    struct GridPoint {
        qint64 freeSpace; // radius of the largest free circle around the point, 1e-6 mm
        qint64 value;     // the algorithm's rating; smaller is better
        quint32 column;
        quint32 row;
        quint32 order; // position in the fixed order of its row-offset group (row % 32)
    };

    // The position of a point in the fixed order; ties between equally good points go to the smaller.
    static quint64 rankOf(const GridPoint& point) noexcept
    {
        return (static_cast<quint64>(point.row % rowGroupCount) << 32) | point.order;
    }

    // A rectangular block of the grid: the unit of all parallel work. Holds only available points.
    struct Slice {
        std::vector<GridPoint> points;
        geo::Point2D topLeft;          // grid positions the block covers, 1e-6 mm
        geo::Point2D bottomRight;
        qint64 maximumFreeSpace = -1;  // of its points; -1 when it has none
        qint64 minimumValue = 0;       // a lower bound of its points' values
        int largestIndex = -1;         // its first point of the largest free space (largest-space search)
        int candidateIndex = -1;       // its best point for candidateRadius (value searches)
        qint64 candidateRadius = -1;   // the radius candidateIndex was found for; -1 when not known
        quint64 removed = 0;           // points that became unusable since preparation
        bool hasChanged = false;       // an update changed a point since the slice was last published
        quint64 visited = 0;           // points the updates looked at
        std::vector<quint32> rowCounts;   // preparation only: points per block row
        std::vector<quint32> rowSequence; // preparation only: group position of each block row's first point
    };

    // A point as the ordered view for inspection shows it.
    struct PointInfo {
        geo::Point2D position;
        geo::Length freeSpace;
        geo::Value value;
        bool operator==(const PointInfo& other) const noexcept
        {
            return position == other.position && freeSpace == other.freeSpace && value == other.value;
        }
    };

    // The result of a search: the chosen point and the instance to place there; no point when nothing fits.
    struct BestPoint {
        const GridPoint* point = nullptr;
        Instance instance;
        bool isValid() const noexcept { return point != nullptr; }
    };

    // Grid dimensions for a canvas size and precision, computed in integers.
    struct GridSize {
        qint64 stepUnits = 1;
        quint64 columns = 0;
        quint64 rows = 0;
        quint64 pointCount = 0; // columns × rows, saturated at the 64-bit maximum
    };

    // The largest grid a run accepts; larger grids are refused before anything is allocated.
    static constexpr quint64 maximumGridPoints = 134217728;
    // The progress the preparation reports runs from 0 to this many thousandths; placement takes the rest.
    static constexpr int preparationShare = 250;
    // Where the preparation's passes begin and end in the progress: the copy list, rating the grid
    // points, ordering them, finishing the blocks.
    using PreparationBands = std::array<int, 5>;
    static constexpr int rowGroupCount = 32;
    static constexpr quint32 blockRows = 32;
    static constexpr quint32 blockColumns = 16;
    // A band of blocks holds one row of every row-offset group, in group order.
    static_assert(blockRows == rowGroupCount, "a band must hold one row of each row group");

    GeneratorPointGrid();
    ~GeneratorPointGrid() override;

    void initialize() override;
    QSharedPointer<canvas::Canvas> generate(ProgressInterface* progress) override;
    void cleanUp() override;
    const std::vector<AlgorithmEntry>& algorithmList() const override;

    // Lays out and rates the grid points for the initialized run; the number of usable points, or −1 when
    // the run was cancelled, refused or failed (runStatus tells which).
    qint64 preparePoints(ProgressInterface* progress);

    Algorithm algorithm() const noexcept { return m_algorithm; }
    static Algorithm algorithmFromIdentifier(const QString& identifier) noexcept;
    static GridSize gridSize(const geo::Size& canvasSize, const geo::Precision& precision) noexcept;
    // The length of the ordered runs: a sixteenth of the grid within 100..10000 points.
    static quint64 sliceCapacity(quint64 pointCount) noexcept;
    // The bands of the preparation's passes for this much copy work (InstanceList::workOf) and this grid;
    // each pass has at least one thousandth.
    static PreparationBands preparationBands(quint64 copyWork, quint64 gridPoints) noexcept;
    // The memory a run on this grid with these definitions takes, in bytes: the grid, the list of copies and
    // the copies placed, at most one per grid point.
    static quint64 estimatedRunBytes(quint64 gridPoints, const QList<std::shared_ptr<doc::Item>>& items) noexcept;
    static quint64 physicalMemoryBytes() noexcept;
    // The memory a run may take; a run estimated to need more is refused before anything is allocated. A
    // budget of 0 (the default) stands for half the machine's physical memory.
    void setMemoryBudget(quint64 bytes) noexcept { m_memoryBudget = bytes; }
    quint64 memoryBudget() const noexcept;

    // The available points in the fixed order (row-offset groups, runs, the algorithm's order).
    std::vector<PointInfo> orderedPoints() const;
    // The usable grid points the last run prepared.
    quint64 preparedPointCount() const noexcept { return m_preparedPoints; }
    // Points visited by the searches and updates of the last run (a measure of the work done).
    quint64 visitedPointCount() const noexcept { return m_visitedPoints; }

protected:
    virtual QSharedPointer<canvas::CanvasItem> placeItem();
    BestPoint getBestPoint_LargestSpace();
    BestPoint getBestPoint_AlgorithmicValue();
    BestPoint getBestPoint_ClosestToCenter();
    // Reduces the free space of all points for a newly placed item and returns the number of points
    // removed since preparation. During a run the updates go on on helpers: then the number counts the
    // copies whose updates have finished and been reported.
    virtual quint64 updateAvailablePoints(const canvas::CanvasItem& item);

private:
    using BestPointStrategy = BestPoint (GeneratorPointGrid::*)();

    QSharedPointer<canvas::Canvas> generateOrThrow(ProgressInterface* progress);
    QSharedPointer<canvas::Canvas> placeAll(ProgressInterface* progress, quint64 pointCount);
    bool readRunSettings();
    void releaseRunData() noexcept;
    void failRun(const QString& message);

    struct ProgressBand {
        ProgressInterface* progress;
        int start;
        int end;
    };
    struct BlockLayout {
        quint64 bandCount = 0;
        quint64 blockColumnCount = 0;
    };
    using GroupSizes = std::array<quint64, rowGroupCount>;

    qint64 preparePointsOrThrow(ProgressInterface* progress);
    bool prepareCopies(ProgressInterface* progress, const PreparationBands& bands, CancelWatch& cancelWatch);
    void ratePoints(const GridSize& grid, const BlockLayout& layout, const ProgressBand& band, CancelWatch& cancelWatch);
    // The frame distance of every grid position of the block, row after row; false when cancelled.
    bool measureBlock(const Slice& slice, quint64 firstRow, quint64 endRow, quint64 firstColumn, quint64 endColumn,
                      std::array<qint64, blockRows * blockColumns>& distances, CancelWatch& cancelWatch) const;
    GroupSizes numberRowGroups(const GridSize& grid, const BlockLayout& layout);
    void orderRuns(const GridSize& grid, const BlockLayout& layout, const GroupSizes& groupSizes,
                   const ProgressBand& band, CancelWatch& cancelWatch);
    void finishSlices(const ProgressBand& band, CancelWatch& cancelWatch);
    void finishSlice(Slice& slice, bool isValueOrdered, qint64 firstRadius);

    qint64 valueOf(const geo::Point2D& position, qint64 freeSpace) const noexcept;
    // The algorithm's order within a run as a key: a point comes first when its key is smaller.
    using RunKey = std::pair<qint64, qint64>;
    RunKey runKey(const GridPoint& point) const noexcept;
    geo::Point2D positionOf(const GridPoint& point) const noexcept
    {
        return geo::Point2D(static_cast<qint64>(point.column) * m_stepUnits, static_cast<qint64>(point.row) * m_stepUnits);
    }
    void publishSlice(std::size_t index) noexcept;
    bool isValueSearch() const noexcept { return m_bestPointStrategy != &GeneratorPointGrid::getBestPoint_LargestSpace; }

    const GridPoint* findValueCandidate(qint64 radius);
    void findSliceCandidate(Slice& slice, qint64 radius);
    // The points the update removed.
    quint64 updateSlice(Slice& slice, const geo::Point2D& center, qint64 reach, qint64 nextRadius);
    void recordLargest(Slice& slice) noexcept;
    void refreshValueSlice(Slice& slice, qint64 radius) noexcept;
    std::vector<std::size_t> slicesWithinReach(const geo::Point2D& center, qint64 reach) const;
    // One progress report for each placed copy whose updates have finished, in placement order.
    void reportFinishedCopies(ProgressInterface* progress, quint64 pointCount);
    static std::size_t placementHelperLimit() noexcept;
    // Slices with updates submitted but not yet published hold "stale" summaries in the tournament.
    bool isSliceBusy(std::size_t index) const noexcept;
    void lowerStaleBound(std::size_t index, const geo::Point2D& center, qint64 reach) noexcept;
    void publishFinishedSlices();
    // Waits for the slice's updates and publishes it.
    void makeCurrent(std::size_t index);
    // Until the tournament's best slice is current.
    void makeTopCurrent();
    static const std::vector<AlgorithmEntry>& algorithmTable();
    bool isTooCloseToPlacedItem(const geo::Point2D& center, geo::Length radius) const noexcept;
    // The room a copy at its unrounded centre has, which its rounded centre must keep.
    struct RoomAround {
        qint64 frame = 0; // distance to the frame the copy needs
        geo::Point2D center;
    };
    // The centre rounded to the precision, or the nearest other corner of its cell, such that the copy
    // keeps its room; the centre itself when no corner does.
    geo::Point2D roundedCenter(const geo::Point2D& center, geo::Length radius) const;
    RoomAround roomAround(const geo::Point2D& center, geo::Length radius) const;
    bool keepsRoom(const geo::Point2D& candidate, geo::Length radius, const RoomAround& room) const;

    Algorithm m_algorithm = Algorithm::LargestSpace;
    BestPointStrategy m_bestPointStrategy = &GeneratorPointGrid::getBestPoint_LargestSpace;

    // Read from the document at the start of a run.
    geo::Size m_canvasSize;
    geo::Point2D m_canvasCenter;
    qint64 m_stepUnits = 1;
    geo::Length m_itemSpacing;
    geo::Normal1D m_randomPlacementAmount = 0.0;
    geo::Precision m_precision;
    bool m_isSnapToFrameEnabled = false;
    bool m_isRoundToPrecisionEnabled = false;
    canvas::Canvas* m_runCanvas = nullptr;
    const frame::Base* m_frame = nullptr;
    QString m_defaultShapeId;

    // The blocks of the grid, band after band, each band from left to right; empty blocks included.
    std::vector<Slice> m_slices;
    BlockLayout m_layout;
    SliceTournament m_tournament;
    // Slice indices by ascending minimumValue, for the value searches.
    std::vector<std::size_t> m_valueOrder;
    std::vector<QSharedPointer<canvas::CanvasItem>> m_placedItems;
    std::vector<geo::Circle> m_placedCircles; // the placed items' circles, compact for the snapping check
    quint64 m_removedPoints = 0;
    quint64 m_preparedPoints = 0;
    quint64 m_visitedPoints = 0;
    quint64 m_memoryBudget = 0;
    CancelWatch* m_cancelWatch = nullptr;
    SliceWorkQueue* m_workQueue = nullptr; // during placement
    std::vector<char> m_isStale;            // per slice: updates submitted, not yet published
    std::vector<std::size_t> m_staleSlices;
    std::unique_ptr<GeneratorSnapshots> m_snapshots;
};
