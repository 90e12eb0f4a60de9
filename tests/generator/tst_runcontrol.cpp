#include "common/TestMain.h"

#include "GeneratorTestSupport.h"

#include "generator/InstanceList.h"

#include <QFile>
#include <QSemaphore>
#include <QtConcurrent>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>

using namespace motifex::test;

namespace {

// Holds the run inside its first progress report within (low, high) until the test has asked it to stop
// from its own thread; records every value after that.
class CancelInsideBand : public ProgressInterface
{
public:
    CancelInsideBand(QString task, int low, int high)
        : m_task(std::move(task))
        , m_low(low)
        , m_high(high)
    {
    }

    void progressTaskStarted(const QString& name) override
    {
        QMutexLocker lock(&m_mutex);
        m_currentTask = name;
        tasks.append(name);
    }
    void progressUpdate(int value) override
    {
        bool isTrigger = false;
        {
            QMutexLocker lock(&m_mutex);
            if (isCancelRequested.load()) {
                valuesAfterCancel.push_back(value);
            }
            isTrigger = !m_hasTriggered && m_currentTask == m_task && value > m_low && value < m_high;
            m_hasTriggered = m_hasTriggered || isTrigger;
        }
        if (isTrigger) {
            reached.release();
            resume.acquire();
        }
    }
    bool progressCancelRequested() override { return isCancelRequested.load(); }

    QSemaphore reached;
    QSemaphore resume;
    std::atomic<bool> isCancelRequested{false};
    QStringList tasks;
    std::vector<int> valuesAfterCancel;

private:
    QMutex m_mutex;
    QString m_task;
    QString m_currentTask;
    int m_low;
    int m_high;
    bool m_hasTriggered = false;
};

// Runs the generator once more when the program ends, after the application object (and with it the global
// thread pool) has gone, as a late destructor might; the run must give the canvas it gave while the
// application lived. A crash or another canvas fails the program.
class RunAfterTheApplication
{
public:
    RunAfterTheApplication(std::unique_ptr<GeneratorStartup> startup, QStringList expected)
        : m_startup(std::move(startup))
        , m_expected(std::move(expected))
    {
    }
    ~RunAfterTheApplication()
    {
        const QSharedPointer<canvas::Canvas> canvas = runGenerator(m_startup->pointGrid(), nullptr);
        if (!canvas || describeItems(*canvas) != m_expected) {
            std::fprintf(stderr, "FAIL: the run after the application object had gone gave another canvas\n");
            std::_Exit(1);
        }
    }
    RunAfterTheApplication(const RunAfterTheApplication&) = delete;
    RunAfterTheApplication& operator=(const RunAfterTheApplication&) = delete;

private:
    std::unique_ptr<GeneratorStartup> m_startup;
    QStringList m_expected;
};

using Copy = std::pair<int, qint64>; // definition position, radius

std::vector<Copy> expandedList(InstanceList& list)
{
    std::vector<Copy> copies;
    list.rewind();
    while (list.hasNext()) {
        const InstanceList::Entry& entry = list.next();
        copies.emplace_back(static_cast<int>(entry.item), entry.radius);
    }
    return copies;
}

// Every copy of every definition, then one stable sort: the plain way to the same list.
std::vector<Copy> sortedCopies(const QList<std::shared_ptr<doc::Item>>& items)
{
    std::vector<Copy> copies;
    for (int position = 0; position < items.size(); ++position) {
        for (int index = 0; index < items[position]->count(); ++index) {
            const qint64 radius = items[position]->radiusForInstance(index).value();
            if (radius > 0) {
                copies.emplace_back(position, radius);
            }
        }
    }
    std::stable_sort(copies.begin(), copies.end(), [](const Copy& a, const Copy& b) { return a.second > b.second; });
    return copies;
}

// The memory the process holds in RAM, in bytes.
qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * sysconf(_SC_PAGESIZE) : -1;
}

} // namespace

class TestRunControl : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_startup = std::make_unique<GeneratorStartup>(); }
    void cleanup() { m_startup.reset(); }

    void instanceListEqualsSortedCopies_data()
    {
        QTest::addColumn<std::vector<ItemSetup>>("setups");
        QTest::newRow("plain definitions, ties in definition order")
            << std::vector<ItemSetup>{{2.0, 3}, {3.0, 2}, {2.0, 4}, {0.0, 5}, {1.0, -3}, {3.0, 0}};
        QTest::newRow("tapering down and up")
            << std::vector<ItemSetup>{{4.0, 9, 1.0, "linear"}, {1.0, 9, 4.0, "linear"}, {2.5, 1}};
        QTest::newRow("up and down: triangle, sine, saw")
            << std::vector<ItemSetup>{{1.0, 40, 3.0, "triangle_3"}, {3.0, 33, 0.5, "sine_02"}, {2.0, 25, 0.0, "saw_4"}};
        QTest::newRow("tapering to no size") << std::vector<ItemSetup>{{2.0, 7, 0.0, "x^2"}, {0.0, 5, 1.0, "invert"}};
        // Longer than one sorted chunk of a definition.
        QTest::newRow("many copies up and down")
            << std::vector<ItemSetup>{{0.4, 300000, 0.2, "triangle_5"}, {0.3, 1000}, {0.35, 50000, 0.25, "linear"}};
    }

    void instanceListEqualsSortedCopies()
    {
        QFETCH(std::vector<ItemSetup>, setups);
        setItems(*m_startup->document, setups);
        const auto items = m_startup->document->items()->items();
        InstanceList list;
        quint64 work = 0;
        QVERIFY(list.build(items, [] { return false; }, [&work](quint64 done) { work += done; }));
        QCOMPARE(work, InstanceList::workOf(items));
        const std::vector<Copy> expected = sortedCopies(items);
        QCOMPARE(list.size(), quint64(expected.size()));
        QVERIFY(expandedList(list) == expected);
        if (!expected.empty()) {
            QCOMPARE(list.smallestRadius(), expected.back().second);
        }
    }

    // A cancel is answered at the check that sees it, in each pass of the build: computing the radii,
    // sorting them, merging the definitions. Nothing is kept.
    void instanceListStopsAtTheCheckThatSeesACancel_data()
    {
        QTest::addColumn<std::vector<ItemSetup>>("setups");
        QTest::addColumn<int>("cancellingCheck");
        QTest::addColumn<quint64>("workBeforeCancel");
        const std::vector<ItemSetup> taper{{3.0, 100000, 0.1, "linear"}};
        const std::vector<ItemSetup> upAndDown{{0.4, 300000, 0.2, "triangle_5"}};
        QTest::newRow("computing the first radii") << taper << 1 << quint64(4096);
        QTest::newRow("computing later radii") << taper << 20 << quint64(20 * 4096);
        // 73 checks while the radii are computed, the next after the first sorted chunk (2^18 copies).
        QTest::newRow("sorting") << upAndDown << 74 << quint64(73 * 4096 + 992 + 262144);
        // 24 checks while the radii are computed, one as the list is found in order, then one every
        // 4096 copies merged.
        QTest::newRow("merging") << taper << 26 << quint64(200000 + 4096);
    }

    void instanceListStopsAtTheCheckThatSeesACancel()
    {
        QFETCH(std::vector<ItemSetup>, setups);
        QFETCH(int, cancellingCheck);
        setItems(*m_startup->document, setups);
        const auto items = m_startup->document->items()->items();
        InstanceList list;
        int checks = 0;
        quint64 work = 0;
        QVERIFY(!list.build(items, [&checks, cancellingCheck] { return ++checks == cancellingCheck; },
                            [&work](quint64 done) { work += done; }));
        QCOMPARE(checks, cancellingCheck);
        QTEST(work, "workBeforeCancel");
        QVERIFY(list.isEmpty());
        QVERIFY(list.entries().empty());
        QVERIFY(!list.hasNext());

        // The same list builds whole afterwards.
        QVERIFY(list.build(items, [] { return false; }, {}));
        QVERIFY(expandedList(list) == sortedCopies(items));
    }

    // The radii take their memory as they are computed: at the first cancel check the build holds a few
    // pages, not the room of every copy, so a cancel is seen before a large list is filled.
    void instanceListTakesMemoryAsItGoes()
    {
        const int count = 10000000; // 80 MB of radii
        setItems(*m_startup->document, {{3.0, count, 0.1, "linear"}});
        const auto items = m_startup->document->items()->items();
        const qint64 before = residentBytes();
        QVERIFY(before > 0);
        qint64 atFirstCheck = -1;
        InstanceList list;
        QVERIFY(!list.build(items, [&atFirstCheck] {
            atFirstCheck = residentBytes();
            return true;
        }, {}));
        QVERIFY2(atFirstCheck - before < 16 * 1024 * 1024,
                 qPrintable(QStringLiteral("%1 bytes taken").arg(atFirstCheck - before)));
        QVERIFY(list.isEmpty());
    }

    void progressBandsCoverEveryPass_data()
    {
        QTest::addColumn<QString>("algorithm");
        QTest::addColumn<int>("precision");
        QTest::newRow("largestSpace") << "largestSpace" << 1;
        QTest::newRow("leftToRight") << "leftToRight" << 1;
        QTest::newRow("coarse grid") << "diagonal" << 0;
    }

    // Every preparation pass reports the end of its band, the values never go back, and the bar stands
    // at 250 when placement begins.
    void progressBandsCoverEveryPass()
    {
        QFETCH(QString, algorithm);
        QFETCH(int, precision);
        setCanvas(m_startup->properties(), 30.0, 20.0, precision);
        m_startup->properties().setAlgorithmIdentifier(algorithm);
        setItems(*m_startup->document, {{3.0, 3}, {1.0, 20, 0.5, "sine_03"}, {0.5, 40}});
        const auto items = m_startup->document->items()->items();
        const auto grid = GeneratorPointGrid::gridSize(m_startup->properties().canvasSize(),
                                                       m_startup->properties().precision());
        const GeneratorPointGrid::PreparationBands bands =
            GeneratorPointGrid::preparationBands(InstanceList::workOf(items), grid.pointCount);
        QCOMPARE(bands.front(), 0);
        QCOMPARE(bands.back(), 250);
        QVERIFY(std::adjacent_find(bands.begin(), bands.end(), std::greater_equal<int>()) == bands.end());

        RecordingProgress progress;
        QVERIFY(runGenerator(m_startup->pointGrid(), &progress));
        std::vector<int> preparation;
        for (const auto& update : progress.values) {
            if (update.task == QStringLiteral("Preparing Points")) {
                preparation.push_back(update.value);
            }
        }
        QVERIFY(std::is_sorted(preparation.begin(), preparation.end()));
        for (std::size_t pass = 1; pass < bands.size(); ++pass) {
            QVERIFY2(std::find(preparation.begin(), preparation.end(), bands[pass]) != preparation.end(),
                     qPrintable(QStringLiteral("the band ending at %1 was not reported").arg(bands[pass])));
        }
        QCOMPARE(preparation.back(), 250);
        QCOMPARE(progress.tasks, (QStringList{"Preparing Points", "Placing Items"}));
        QVERIFY(progress.values.back().value >= 250);
    }

    void cancelInEveryPhase_data()
    {
        QTest::addColumn<int>("phase"); // a preparation pass 0..3, or 4 for placement
        QTest::addColumn<int>("threads");
        for (int threads : {1, 4}) {
            const char* names[] = {"copy list", "rating", "ordering", "slice sort", "placement"};
            for (int phase = 0; phase < 5; ++phase) {
                QTest::addRow("%s, %d threads", names[phase], threads) << phase << threads;
            }
        }
    }

    // A cancel asked for from another thread while a phase runs ends the run in that phase: no later
    // phase reports, no canvas, status Cancelled.
    void cancelInEveryPhase()
    {
        QFETCH(int, phase);
        QFETCH(int, threads);
        setCanvas(m_startup->properties(), 40.0, 30.0, 1);
        setItems(*m_startup->document, {{2.0, 5}, {0.5, 200000, 0.3, "triangle_3"}});
        const auto items = m_startup->document->items()->items();
        const auto grid = GeneratorPointGrid::gridSize(m_startup->properties().canvasSize(),
                                                       m_startup->properties().precision());
        const auto bands = GeneratorPointGrid::preparationBands(InstanceList::workOf(items), grid.pointCount);
        const bool isPlacement = phase == 4;
        CancelInsideBand progress(isPlacement ? QStringLiteral("Placing Items") : QStringLiteral("Preparing Points"),
                                  isPlacement ? 250 : bands[phase], isPlacement ? 1001 : bands[phase + 1]);

        QThreadPool* pool = QThreadPool::globalInstance();
        const int previous = pool->maxThreadCount();
        pool->setMaxThreadCount(threads);
        QThreadPool runner;
        GeneratorPointGrid& generator = m_startup->pointGrid();
        auto run = QtConcurrent::run(&runner, [&] { return runGenerator(generator, &progress); });
        const bool hasReached = progress.reached.tryAcquire(1, 120000);
        progress.isCancelRequested = true;
        progress.resume.release();
        run.waitForFinished();
        pool->setMaxThreadCount(previous);

        QVERIFY(hasReached);
        QVERIFY(!run.result());
        QCOMPARE(generator.runStatus(), Generator::RunStatus::Cancelled);
        QCOMPARE(progress.tasks.contains(QStringLiteral("Placing Items")), isPlacement);
        const int bandEnd = isPlacement ? 1000 : bands[phase + 1];
        for (const int value : progress.valuesAfterCancel) {
            QVERIFY2(value <= bandEnd, qPrintable(QStringLiteral("%1 reported after the cancel").arg(value)));
        }
    }

    // A run estimated above the memory budget is refused before anything is allocated, with a reason
    // that names the canvas, the precision and what to change.
    void runAboveMemoryBudgetIsRefused()
    {
        setCanvas(m_startup->properties(), 78.0, 52.0, 1);
        setItems(*m_startup->document, {{1.0, 100}, {0.5, 300000, 0.2, "linear"}});
        GeneratorPointGrid& generator = m_startup->pointGrid();
        const quint64 needed = GeneratorPointGrid::estimatedRunBytes(781 * 521, m_startup->document->items()->items());
        // The grid at 33 bytes a point, the copies of the transition at 24 bytes each while the list is built,
        // every copy placed with its canvas item, and a little for the two definitions.
        const quint64 least = quint64(781 * 521) * 33 + 300000ull * 24 + 300100ull * sizeof(canvas::CanvasItem);
        QVERIFY(needed >= least && needed < least + 300100ull * 2 * sizeof(canvas::CanvasItem));
        generator.setMemoryBudget(10000000);
        RecordingProgress progress;
        QVERIFY(!runGenerator(generator, &progress));
        QCOMPARE(generator.runStatus(), Generator::RunStatus::Refused);
        QCOMPARE(generator.runMessage(),
                 QStringLiteral("A canvas of 78 × 52 mm at a precision of 0.1 mm with 300100 item copies needs about "
                                "93 MB of memory, but at most 10 MB can be used on this computer. Choose a coarser "
                                "precision, a smaller canvas or fewer copies."));
        QCOMPARE(progress.tasks, QStringList{"Preparing Points"});
        QVERIFY(progress.values.empty());
        QCOMPARE(generator.preparedPointCount(), quint64(0));

        generator.setMemoryBudget(needed - 1);
        QVERIFY(!runGenerator(generator, nullptr));
        QCOMPARE(generator.runStatus(), Generator::RunStatus::Refused);
        generator.setMemoryBudget(needed);
        setItems(*m_startup->document, {{1.0, 100}, {0.5, 3000, 0.2, "linear"}});
        QVERIFY(runGenerator(generator, nullptr));
        QCOMPARE(generator.runStatus(), Generator::RunStatus::Completed);
        // Left at 0 the budget is half the machine's memory.
        generator.setMemoryBudget(0);
        QCOMPARE(generator.memoryBudget(), GeneratorPointGrid::physicalMemoryBytes() / 2);
        QVERIFY(generator.memoryBudget() > 100000000);
    }

    void estimateCoversPlacedCopies_data()
    {
        QTest::addColumn<int>("copies");
        QTest::newRow("none") << 0;
        QTest::newRow("fewer than grid points") << 5000;
        QTest::newRow("more than grid points") << 1000000;
    }

    // Every placed copy keeps its canvas item until the run ends, and without random offsets a run places
    // at most one copy per grid point: the estimate grows with the copies that can be placed, up to the
    // grid. (Tiny copies on a fine grid once needed seven times the estimate.)
    void estimateCoversPlacedCopies()
    {
        QFETCH(int, copies);
        const quint64 points = 301 * 201;
        setItems(*m_startup->document, {{0.01, copies}});
        const quint64 withoutCopies = GeneratorPointGrid::estimatedRunBytes(points, {});
        const quint64 withCopies = GeneratorPointGrid::estimatedRunBytes(points, m_startup->document->items()->items());
        const quint64 placeable = std::min<quint64>(quint64(copies), points);
        QVERIFY(withCopies - withoutCopies >= placeable * sizeof(canvas::CanvasItem));
        QVERIFY(withCopies - withoutCopies <= placeable * 2 * sizeof(canvas::CanvasItem) + 1000);
    }

    // Last of all: the run is made again when the program ends (see RunAfterTheApplication).
    void runsAfterTheApplicationHasGone()
    {
        setCanvas(m_startup->properties(), 30.0, 20.0, 1);
        setItems(*m_startup->document, {{2.0, 4}, {0.6, 30, 0.3, "linear"}});
        const QSharedPointer<canvas::Canvas> canvas = runGenerator(m_startup->pointGrid(), nullptr);
        QVERIFY(canvas);
        static RunAfterTheApplication lateRun(std::move(m_startup), describeItems(*canvas));
    }

private:
    std::unique_ptr<GeneratorStartup> m_startup;
};

MOTIFEX_TEST_MAIN(TestRunControl)
#include "tst_runcontrol.moc"
