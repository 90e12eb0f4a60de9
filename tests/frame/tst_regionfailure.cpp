#include "common/TestMain.h"

#include "frame/Base.h"
#include "frame/Manager.h"
#include "frame/RegionDistance.h"

#include <cstdlib>
#include <memory>
#include <new>

Q_DECLARE_METATYPE(frame::Shape)

// Memory that runs out on demand, in this program only: on the test's own thread, operator new fails once
// its allowance is used up. Every form goes through malloc and free, so the sanitizers still see each block.
namespace {

thread_local long t_allocationsLeft = -1; // -1: no limit

void* allocate(std::size_t size)
{
    if (t_allocationsLeft == 0) {
        throw std::bad_alloc();
    }
    if (t_allocationsLeft > 0) {
        --t_allocationsLeft;
    }
    if (void* block = std::malloc(size == 0 ? 1 : size)) {
        return block;
    }
    throw std::bad_alloc();
}

void* allocateOrNull(std::size_t size) noexcept
{
    try {
        return allocate(size);
    } catch (...) {
        return nullptr;
    }
}

} // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocateOrNull(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocateOrNull(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }

namespace {

qint64 mm(double millimeters)
{
    return geo::fixedFromDouble(millimeters);
}

} // namespace

class TestRegionFailure : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<frame::Manager> m_manager = std::make_unique<frame::Manager>();

private slots:
    void failedAllocationReachesTheCaller_data()
    {
        QTest::addColumn<frame::Shape>("shape");
        QTest::newRow("ellipse") << frame::Shape::Ellipse;
        QTest::newRow("heart") << frame::Shape::Heart;
        QTest::newRow("star") << frame::Shape::Star;
    }

    // A region prepares rows and chooses edges as points are asked about, which takes memory. When there is
    // none, the failure reaches the caller (the preparation of the grid then fails with its message)
    // instead of ending the program; asked again with memory to spare, the regions answer as the frame.
    void failedAllocationReachesTheCaller()
    {
        QFETCH(frame::Shape, shape);
        const auto frame = m_manager->createFrame(shape, geo::Size(mm(40), mm(30)), 1.0, {});
        QVERIFY(frame);
        const geo::Point2D corner(mm(18), mm(13));
        frame::RegionDistance block(*frame);
        block.setRegion(corner, corner + geo::Point2D(mm(4), mm(4)));
        frame::RegionDistance square(*frame);
        square.narrowTo(block, corner, corner + geo::Point2D(mm(1), mm(1)));

        int failures = 0;
        for (long allowance = 0; allowance < 100; ++allowance) {
            t_allocationsLeft = allowance;
            try {
                square.closestFramePoint(corner);
                t_allocationsLeft = -1;
                break;
            } catch (const std::bad_alloc&) {
                t_allocationsLeft = -1;
                ++failures;
            }
        }
        t_allocationsLeft = -1;
        // The row, the block's near edges and the square's each needed memory.
        QVERIFY2(failures >= 3, qPrintable(QString::number(failures)));
        for (qint64 dy = 0; dy <= mm(1); dy += mm(0.25)) {
            for (qint64 dx = 0; dx <= mm(1); dx += mm(0.25)) {
                const geo::Point2D point = corner + geo::Point2D(dx, dy);
                QCOMPARE(square.closestFramePoint(point).distance, frame->closestFramePoint(point).distance);
                QCOMPARE(square.closestFramePoint(point).point, frame->closestFramePoint(point).point);
                QCOMPARE(block.closestFramePoint(point).distance, frame->closestFramePoint(point).distance);
            }
        }
    }
};

MOTIFEX_TEST_MAIN(TestRegionFailure)
#include "tst_regionfailure.moc"
