#include "common/TestMain.h"

#include "frame/Base.h"
#include "frame/Manager.h"
#include "tst_outline_oracle.h"

#include <QThreadPool>
#include <QtConcurrent>

#include <memory>

Q_DECLARE_METATYPE(frame::Shape)

namespace {

qint64 mm(double millimeters)
{
    return geo::fixedFromDouble(millimeters);
}

// A 40 × 30 mm canvas with ratio 0.6 gives the frame rectangle (2, 0, 36, 30) mm.
const geo::Size canvasSize(mm(40), mm(30));
constexpr double frameRatio = 0.6;

// The bisection stops once the squared distances to both ends of the halved segment agree within
// 0.001 mm²; close to an edge that happens on a piece of about 0.03 mm and leaves the point up to about
// 0.016 mm along the edge. The samples of the reference outline lie at most 0.005 mm from any outline point.
constexpr double bisectionTolerance = 20000.0;
constexpr double sampleStep = 10000.0;
// Points closer to the outline than this are not asked about containment: there both answers are right.
constexpr double containmentMargin = 1000.0;

void addFrameCases()
{
    QTest::addColumn<frame::Shape>("shape");
    QTest::addColumn<QList<double>>("values");
    QTest::newRow("rectangle") << frame::Shape::Rectangle << QList<double>{0.0};
    QTest::newRow("rectangle full turn") << frame::Shape::Rectangle << QList<double>{1.0};
    QTest::newRow("rectangle diamond") << frame::Shape::Rectangle << QList<double>{0.5};
    QTest::newRow("rectangle sliding") << frame::Shape::Rectangle << QList<double>{0.2};
    QTest::newRow("ellipse") << frame::Shape::Ellipse << QList<double>{};
    QTest::newRow("triangle") << frame::Shape::Triangle << QList<double>{0.0};
    QTest::newRow("triangle 0.4") << frame::Shape::Triangle << QList<double>{0.4};
    QTest::newRow("triangle 0.9") << frame::Shape::Triangle << QList<double>{0.9};
    QTest::newRow("heart") << frame::Shape::Heart << QList<double>{};
    QTest::newRow("heart notched") << frame::Shape::Heart << QList<double>{0.0, 0.2, 0.0};
    QTest::newRow("heart drop turned") << frame::Shape::Heart << QList<double>{1.0, 0.7, 0.3};
    QTest::newRow("arrow") << frame::Shape::Arrow << QList<double>{};
    QTest::newRow("arrow turned wide") << frame::Shape::Arrow << QList<double>{0.1, 0.9, 0.1, 0.6, 0.9};
    QTest::newRow("star") << frame::Shape::Star << QList<double>{};
    QTest::newRow("star sharp shifted") << frame::Shape::Star << QList<double>{0.2, 1.0, 0.1, 0.9};
    QTest::newRow("star triangle") << frame::Shape::Star << QList<double>{0.0, 0.0, 1.0, 0.0};
    QTest::newRow("cross") << frame::Shape::Cross << QList<double>{};
    QTest::newRow("cross one bar") << frame::Shape::Cross << QList<double>{0.3, 0.0, 0.2};
    QTest::newRow("cross thin ten bars") << frame::Shape::Cross << QList<double>{0.05, 1.0, 0.0};
    QTest::newRow("leaf") << frame::Shape::Leaf << QList<double>{};
    QTest::newRow("leaf with vein") << frame::Shape::Leaf << QList<double>{0.1, 1.0, 0.0, 0.8, 1.0};
    QTest::newRow("leaf round") << frame::Shape::Leaf << QList<double>{0.0, 0.4, 1.0, 0.5, 0.0};
    QTest::newRow("polygon") << frame::Shape::Polygon << QList<double>{};
    QTest::newRow("polygon dodecagon") << frame::Shape::Polygon << QList<double>{0.05, 1.0};
    QTest::newRow("polygon triangle") << frame::Shape::Polygon << QList<double>{0.0, 0.0};
}

// A grid over the canvas and 2 mm beyond it, offset so that few points fall on outline corners, plus
// every outline corner and points just beside each corner.
std::vector<geo::Point2D> queryPoints(const geo::Path& outline, int columns, int rows)
{
    std::vector<geo::Point2D> points;
    const double left = -2.0, top = -2.0;
    const double width = 44.0, height = 34.0;
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            points.push_back(geo::Point2D(mm(left + 0.173 + width * column / columns), mm(top + 0.291 + height * row / rows)));
        }
    }
    for (const geo::Point2D& corner : outline.points()) {
        points.push_back(corner);
        for (const qint64 offset : {qint64(-700), qint64(300), qint64(mm(0.25))}) {
            points.push_back(corner + geo::Point2D(offset, -offset / 2));
        }
    }
    return points;
}

std::vector<geo::Normal1D> toNormals(const QList<double>& values)
{
    return std::vector<geo::Normal1D>(values.begin(), values.end());
}

bool isPlainRectangle(frame::Shape shape, const QList<double>& values)
{
    return shape == frame::Shape::Rectangle && (values.front() == 0.0 || values.front() == 1.0);
}

bool operator==(const geo::PointAndDistance& a, const geo::PointAndDistance& b)
{
    return a.point == b.point && a.distance == b.distance;
}

} // namespace

class TestOutline : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<frame::Manager> m_manager;

    std::shared_ptr<frame::Base> create(frame::Shape shape, const QList<double>& values) const
    {
        return m_manager->createFrame(shape, canvasSize, frameRatio, toNormals(values));
    }

private slots:
    void initTestCase() { m_manager = std::make_unique<frame::Manager>(); }
    void cleanupTestCase() { m_manager.reset(); }

    void outlineFitsTheFrameRectangle_data() { addFrameCases(); }

    void outlineFitsTheFrameRectangle()
    {
        QFETCH(frame::Shape, shape);
        QFETCH(QList<double>, values);
        const auto frame = create(shape, values);
        QCOMPARE(frame->rectangle(), geo::Rectangle(geo::Point2D(mm(2), 0), geo::Size(mm(36), mm(30))));
        QVERIFY(frame->outline().size() >= 3);
        // Every frame fills its rectangle; only the fitting steps' truncation may leave a sliver.
        const geo::Rectangle box = frame->outline().boundingBox();
        const geo::Rectangle& rectangle = frame->rectangle();
        const qint64 tolerance = 1000;
        QVERIFY2(box.x() >= rectangle.x() - tolerance && box.x() <= rectangle.x() + tolerance, qPrintable(QString::number(box.x())));
        QVERIFY2(box.y() >= rectangle.y() - tolerance && box.y() <= rectangle.y() + tolerance, qPrintable(QString::number(box.y())));
        QVERIFY2(std::abs(box.width() - rectangle.width()) <= tolerance, qPrintable(QString::number(box.width())));
        QVERIFY2(std::abs(box.height() - rectangle.height()) <= tolerance, qPrintable(QString::number(box.height())));
    }

    void closestPointMatchesBruteForce_data() { addFrameCases(); }

    void closestPointMatchesBruteForce()
    {
        QFETCH(frame::Shape, shape);
        QFETCH(QList<double>, values);
        const auto frame = create(shape, values);
        const geo::Path& outline = frame->outline();
        const std::vector<oracle::Sample> samples = oracle::sampleOutline(outline, sampleStep);
        int insideCount = 0;
        for (const geo::Point2D& point : queryPoints(outline, 15, 12)) {
            const QString where = QStringLiteral("at (%1, %2)").arg(point.x()).arg(point.y());
            const geo::PointAndDistance result = frame->closestFramePoint(point);
            const double toOutline = oracle::distanceToOutline(outline, double(point.x()), double(point.y()));
            if (toOutline > containmentMargin) {
                QVERIFY2((result.distance != frame::Base::outsideDistance) == oracle::contains(outline, point), qPrintable(where));
            }
            if (result.distance == frame::Base::outsideDistance) {
                QCOMPARE(result.point, geo::Point2D(0, 0));
                QVERIFY2(!outline.containsPoint(point) || isPlainRectangle(shape, values), qPrintable(where));
                continue;
            }
            ++insideCount;
            QVERIFY2(result.distance.value() >= 0, qPrintable(where));
            const double bruteForce = oracle::nearestSampleDistance(samples, point);
            QVERIFY2(std::abs(double(result.distance.value()) - bruteForce) <= bisectionTolerance,
                     qPrintable(QStringLiteral("%1: %2 against %3").arg(where).arg(result.distance.value()).arg(bruteForce)));
            // The reported point lies on the outline, at the reported distance.
            QVERIFY2(oracle::distanceToOutline(outline, double(result.point.x()), double(result.point.y())) <= 100.0, qPrintable(where));
            QCOMPARE(result.distance, point.distanceTo(result.point));
        }
        QVERIFY(insideCount > 20);
    }

    void fastSearchEqualsThePlainOne_data() { addFrameCases(); }

    // Only the plain rectangle answers by its own formula; every other frame must give exactly what the
    // plain search over all edges gives.
    void fastSearchEqualsThePlainOne()
    {
        QFETCH(frame::Shape, shape);
        QFETCH(QList<double>, values);
        const auto frame = create(shape, values);
        const geo::Path& outline = frame->outline();
        for (const geo::Point2D& point : queryPoints(outline, 48, 36)) {
            const geo::PointAndDistance result = frame->closestFramePoint(point);
            if (isPlainRectangle(shape, values)) {
                if (!frame->rectangle().contains(point)) {
                    QCOMPARE(result.distance, frame::Base::outsideDistance);
                    continue;
                }
                const geo::PointAndDistance edge = frame->rectangle().closestPointOnPath(point);
                QCOMPARE(result.point, edge.point);
                QCOMPARE(result.distance, edge.distance);
                continue;
            }
            if (!outline.containsPoint(point)) {
                QCOMPARE(result.distance, frame::Base::outsideDistance);
                continue;
            }
            const geo::PointAndDistance plain = outline.closestPointAndDistanceOnPath(point);
            QVERIFY2(result == plain, qPrintable(QStringLiteral("at (%1, %2): (%3, %4) %5 against (%6, %7) %8")
                                                     .arg(point.x()).arg(point.y())
                                                     .arg(result.point.x()).arg(result.point.y()).arg(result.distance.value())
                                                     .arg(plain.point.x()).arg(plain.point.y()).arg(plain.distance.value())));
        }
    }

    void concurrentCallsAgree_data()
    {
        QTest::addColumn<frame::Shape>("shape");
        QTest::addColumn<QList<double>>("values");
        QTest::newRow("ellipse") << frame::Shape::Ellipse << QList<double>{};
        QTest::newRow("heart") << frame::Shape::Heart << QList<double>{};
        QTest::newRow("star") << frame::Shape::Star << QList<double>{0.1, 1.0, 0.2, 0.7};
        QTest::newRow("rectangle") << frame::Shape::Rectangle << QList<double>{0.0};
    }

    void concurrentCallsAgree()
    {
        QFETCH(frame::Shape, shape);
        QFETCH(QList<double>, values);
        const std::shared_ptr<const frame::Base> frame = create(shape, values);
        const std::vector<geo::Point2D> points = queryPoints(frame->outline(), 120, 90);
        std::vector<geo::PointAndDistance> alone;
        alone.reserve(points.size());
        for (const geo::Point2D& point : points) {
            alone.push_back(frame->closestFramePoint(point));
        }

        QThreadPool pool;
        pool.setMaxThreadCount(12);
        // Small chunks, so that the threads interleave on the one frame.
        std::vector<std::pair<std::size_t, std::size_t>> chunks;
        for (std::size_t begin = 0; begin < points.size(); begin += 64) {
            chunks.emplace_back(begin, std::min(points.size(), begin + 64));
        }
        std::vector<geo::PointAndDistance> together(points.size());
        QtConcurrent::blockingMap(&pool, chunks, [&](const std::pair<std::size_t, std::size_t>& chunk) {
            for (std::size_t i = chunk.first; i < chunk.second; ++i) {
                together[i] = frame->closestFramePoint(points[i]);
            }
        });
        for (std::size_t i = 0; i < points.size(); ++i) {
            QVERIFY2(together[i] == alone[i], qPrintable(QString::number(i)));
        }
    }
};

MOTIFEX_TEST_MAIN(TestOutline)
#include "tst_outline.moc"
