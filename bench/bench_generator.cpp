// Speed of the point-grid generator: preparation and placement on 1, 2, 4 and 8 pool threads, beside the
// plain reference placement on the same document. Every run of a case must produce the same canvas; the
// summary after the benchmarks shows the canvas hashes, the speed-ups and the memory per grid point.
//
//   bench_generator                         all cases, the reference where it finishes in reasonable time
//   bench_generator --reference=all         the reference for every case
//   bench_generator --reference=none        no reference
//   bench_generator --benchmark_filter=large   one case (Google Benchmark options apply)

#include "canvas/Canvas.h"
#include "canvas/CanvasItem.h"
#include "doc/Document.h"
#include "doc/Item.h"
#include "doc/Items.h"
#include "doc/Properties.h"
#include "frame/Manager.h"
#include "generator/GeneratorManager.h"
#include "generator/GeneratorPointGrid.h"
#include "generator/PlacementReference.h"
#include "generator/ProgressInterface.h"
#include "shape/Manager.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QMap>
#include <QTemporaryDir>
#include <QThreadPool>

#include <malloc.h>
#include <sys/resource.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <functional>
#include <memory>
#include <vector>

// Heap use of C++ allocations, for the peak memory of a run (the grid lives in std::vector storage).
namespace {
std::atomic<qint64> g_heapBytes{0};
std::atomic<qint64> g_heapPeak{0};

void* countedAllocate(std::size_t size)
{
    void* pointer = std::malloc(size == 0 ? 1 : size);
    if (pointer == nullptr) {
        throw std::bad_alloc();
    }
    const qint64 now = g_heapBytes.fetch_add(qint64(malloc_usable_size(pointer)), std::memory_order_relaxed)
        + qint64(malloc_usable_size(pointer));
    qint64 peak = g_heapPeak.load(std::memory_order_relaxed);
    while (now > peak && !g_heapPeak.compare_exchange_weak(peak, now, std::memory_order_relaxed)) {
    }
    return pointer;
}

void countedFree(void* pointer) noexcept
{
    if (pointer != nullptr) {
        g_heapBytes.fetch_sub(qint64(malloc_usable_size(pointer)), std::memory_order_relaxed);
        std::free(pointer);
    }
}
} // namespace

void* operator new(std::size_t size) { return countedAllocate(size); }
void* operator new[](std::size_t size) { return countedAllocate(size); }
void operator delete(void* pointer) noexcept { countedFree(pointer); }
void operator delete[](void* pointer) noexcept { countedFree(pointer); }
void operator delete(void* pointer, std::size_t) noexcept { countedFree(pointer); }
void operator delete[](void* pointer, std::size_t) noexcept { countedFree(pointer); }

namespace {

const std::vector<int> threadCounts{1, 2, 4, 8};

struct Case {
    QString name;
    std::function<void(doc::Document&)> setUp;
    bool isReferenceFeasible;
};

struct Measurement {
    double preparationWall = 0;
    double preparationCpu = 0;
    double placementWall = 0;
    double placementCpu = 0;
    quint64 points = 0;
    qint64 items = 0;
    quint64 visited = 0;
    double peakMegabytes = 0;
    double bytesPerPoint = 0;
    QByteArray hash;
};

struct Results {
    QMap<int, Measurement> byThreads;
    double referenceSeconds = -1;
    QByteArray referenceHash;
    qint64 referenceItems = 0;
};

QMap<QString, Results> g_results;
QString g_referenceMode = QStringLiteral("feasible");

double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Records when placement begins, to split the run into its two phases.
class PhaseClock : public ProgressInterface
{
public:
    void progressTaskStarted(const QString& name) override
    {
        if (name == QStringLiteral("Placing Items")) {
            placingWall = timer.nsecsElapsed() / 1e9;
            placingCpu = processCpuSeconds();
        }
    }
    void progressUpdate(int) override {}
    bool progressCancelRequested() override { return false; }

    QElapsedTimer timer;
    double placingWall = -1;
    double placingCpu = 0;
};

// The canvas as placement data only: position of the item definition, index, shape, centre and radius.
QByteArray canvasHash(const doc::Document& document, const std::vector<std::tuple<QString, qint64, QString, qint64, qint64, qint64>>& items)
{
    QMap<QString, int> itemPositions;
    const auto definitions = document.items()->items();
    for (int index = 0; index < definitions.size(); ++index) {
        itemPositions.insert(definitions[index]->itemId(), index);
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const auto& [itemId, index, shapeId, x, y, radius] : items) {
        hash.addData(QStringLiteral("%1 %2 %3 %4 %5 %6;").arg(itemPositions.value(itemId)).arg(index).arg(shapeId).arg(x).arg(y).arg(radius).toUtf8());
    }
    return hash.result().toHex().left(16);
}

struct Environment {
    Environment()
    {
        shapes->loadOrThrow();
    }
    std::unique_ptr<shape::Manager> shapes = std::make_unique<shape::Manager>();
    std::unique_ptr<frame::Manager> frames = std::make_unique<frame::Manager>();
    std::shared_ptr<doc::Document> document = std::make_shared<doc::Document>();
    std::unique_ptr<GeneratorManager> generators = std::make_unique<GeneratorManager>(document);
};

Environment* g_environment = nullptr;

void prepareDocument(const Case& benchCase)
{
    doc::Document& document = *g_environment->document;
    document.properties()->resetToDefault();
    document.items()->resetToDefault();
    // Without a random offset the canvas depends on the document alone, so runs can be compared.
    document.properties()->setRandomPlacementAmount(0.0);
    benchCase.setUp(document);
}

void runGenerator(benchmark::State& state, const Case& benchCase, int threads)
{
    prepareDocument(benchCase);
    QThreadPool::globalInstance()->setMaxThreadCount(threads);
    auto generator = g_environment->generators->get(QStringLiteral("pointgrid")).staticCast<GeneratorPointGrid>();
    Measurement measurement;
    for (auto _ : state) {
        PhaseClock clock;
        const qint64 baseline = g_heapBytes.load();
        g_heapPeak.store(baseline);
        const double cpuStart = processCpuSeconds();
        clock.timer.start();
        generator->initialize();
        const QSharedPointer<canvas::Canvas> canvas = generator->generate(&clock);
        const double wall = clock.timer.nsecsElapsed() / 1e9;
        const double cpu = processCpuSeconds();
        const qint64 peak = g_heapPeak.load();
        generator->cleanUp();
        state.SetIterationTime(wall);

        const double placingWall = clock.placingWall < 0 ? wall : clock.placingWall;
        const double placingCpu = clock.placingWall < 0 ? cpu : clock.placingCpu;
        measurement.preparationWall = placingWall;
        measurement.preparationCpu = placingCpu - cpuStart;
        measurement.placementWall = wall - placingWall;
        measurement.placementCpu = cpu - placingCpu;
        measurement.points = generator->preparedPointCount();
        measurement.visited = generator->visitedPointCount();
        measurement.peakMegabytes = std::max<qint64>(peak - baseline, 0) / 1048576.0;
        measurement.bytesPerPoint = measurement.points > 0 ? double(std::max<qint64>(peak - baseline, 0)) / measurement.points : 0;
        std::vector<std::tuple<QString, qint64, QString, qint64, qint64, qint64>> items;
        if (canvas) {
            for (const auto& item : canvas->items()) {
                items.emplace_back(item->itemId(), item->index(), item->shapeId(), item->center().x(), item->center().y(), item->radius().value());
            }
        }
        measurement.items = qint64(items.size());
        measurement.hash = canvasHash(*g_environment->document, items);
    }
    state.counters["prep_ms"] = measurement.preparationWall * 1000;
    state.counters["prep_cpu_ms"] = measurement.preparationCpu * 1000;
    state.counters["place_ms"] = measurement.placementWall * 1000;
    state.counters["place_cpu_ms"] = measurement.placementCpu * 1000;
    state.counters["points"] = double(measurement.points);
    state.counters["items"] = double(measurement.items);
    state.counters["visited"] = double(measurement.visited);
    state.counters["peak_MB"] = measurement.peakMegabytes;
    g_results[benchCase.name].byThreads[threads] = measurement;
}

void runReference(benchmark::State& state, const Case& benchCase)
{
    prepareDocument(benchCase);
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        reference::Placement placement(*g_environment->document);
        const std::vector<reference::PlacedItem> placed = placement.place();
        const double seconds = timer.nsecsElapsed() / 1e9;
        state.SetIterationTime(seconds);
        std::vector<std::tuple<QString, qint64, QString, qint64, qint64, qint64>> items;
        for (const auto& item : placed) {
            items.emplace_back(item.itemId, item.index, item.shapeId, item.center.x(), item.center.y(), item.radius);
        }
        Results& results = g_results[benchCase.name];
        results.referenceSeconds = seconds;
        results.referenceItems = qint64(items.size());
        results.referenceHash = canvasHash(*g_environment->document, items);
        state.counters["items"] = double(items.size());
    }
}

void scaleCounts(doc::Document& document, int factor)
{
    for (const auto& item : document.items()->items()) {
        item->setCount(item->count() * factor);
    }
}

std::vector<Case> makeCases()
{
    std::vector<Case> cases;
    cases.push_back({"default-0.1mm", [](doc::Document&) {}, true});
    cases.push_back({"default-0.01mm", [](doc::Document& document) {
                         document.properties()->setPrecision(geo::Precision::fromLevel(2));
                     }, false});
    cases.push_back({"large-200mm-8x", [](doc::Document& document) {
                         document.properties()->setCanvasSize(geo::Size(200000000, 200000000));
                         scaleCounts(document, 8);
                     }, true});
    cases.push_back({"frame-ellipse", [](doc::Document& document) {
                         document.properties()->setCanvasFrameShape(frame::Shape::Ellipse);
                     }, true});
    cases.push_back({"frame-star", [](doc::Document& document) {
                         document.properties()->setCanvasFrameShape(frame::Shape::Star);
                         document.properties()->setCanvasFrameRatio(0.0);
                     }, true});
    const auto& algorithms = GeneratorPointGrid().algorithmList();
    for (const auto& entry : algorithms) {
        const QString identifier = entry.identifier;
        cases.push_back({QStringLiteral("algorithm-") + identifier, [identifier](doc::Document& document) {
                             document.properties()->setAlgorithmIdentifier(identifier);
                         }, true});
    }
    for (const QString& identifier : {QStringLiteral("largestSpace"), QStringLiteral("leftToRight")}) {
        cases.push_back({QStringLiteral("too-large-") + identifier, [identifier](doc::Document& document) {
                             document.properties()->setAlgorithmIdentifier(identifier);
                             auto huge = document.items()->addItem();
                             huge->setRadius(geo::Length(30000000));
                             huge->setCount(2000);
                             auto large = document.items()->addItem();
                             large->setRadius(geo::Length(12000000));
                             large->setCount(2000);
                         }, true});
    }
    // Copies of ever smaller radii, each still too large for the canvas, at a fine precision.
    cases.push_back({"too-large-tapered-0.01mm", [](doc::Document& document) {
                         document.properties()->setPrecision(geo::Precision::fromLevel(2));
                         document.properties()->setAlgorithmIdentifier(QStringLiteral("leftToRight"));
                         auto tapered = document.items()->addItem();
                         tapered->setRadius(geo::Length(40000000));
                         tapered->setRadiusTransition(QStringLiteral("linear"));
                         tapered->setRadiusEnd(geo::Length(27000000));
                         tapered->setCount(100000);
                     }, false});
    cases.push_back({"small-10mm", [](doc::Document& document) {
                         document.properties()->setCanvasSize(geo::Size(10000000, 10000000));
                     }, true});
    return cases;
}

void printSummary(const std::vector<Case>& cases)
{
    std::printf("\n%-28s %7s %10s %10s %10s %10s %10s %8s %12s %8s %8s %6s  %s\n", "case", "threads", "prep ms", "prep cpu",
                "place ms", "place cpu", "points", "items", "visited", "peak MB", "B/point", "speedup", "hash");
    for (const Case& benchCase : cases) {
        if (!g_results.contains(benchCase.name)) {
            continue;
        }
        const Results& results = g_results[benchCase.name];
        const double oneThread = results.byThreads.contains(1)
            ? results.byThreads[1].preparationWall + results.byThreads[1].placementWall : 0;
        QByteArray firstHash;
        bool isStable = true;
        for (auto it = results.byThreads.begin(); it != results.byThreads.end(); ++it) {
            const Measurement& m = it.value();
            const double total = m.preparationWall + m.placementWall;
            if (firstHash.isEmpty()) {
                firstHash = m.hash;
            }
            isStable = isStable && m.hash == firstHash;
            std::printf("%-28s %7d %10.1f %10.1f %10.1f %10.1f %10llu %8lld %12llu %8.1f %8.1f %6.2f  %s\n", qPrintable(benchCase.name),
                        it.key(), m.preparationWall * 1000, m.preparationCpu * 1000, m.placementWall * 1000,
                        m.placementCpu * 1000, static_cast<unsigned long long>(m.points), static_cast<long long>(m.items),
                        static_cast<unsigned long long>(m.visited), m.peakMegabytes, m.bytesPerPoint,
                        oneThread > 0 && total > 0 ? oneThread / total : 0.0, m.hash.constData());
        }
        if (results.referenceSeconds >= 0) {
            const double eight = results.byThreads.contains(8)
                ? results.byThreads[8].preparationWall + results.byThreads[8].placementWall : 0;
            std::printf("%-28s reference %.1f ms, %lld items, hash %s (%s); generator on 8 threads %.1fx faster\n",
                        qPrintable(benchCase.name), results.referenceSeconds * 1000,
                        static_cast<long long>(results.referenceItems), results.referenceHash.constData(),
                        results.referenceHash == firstHash ? "equal" : "DIFFERENT",
                        eight > 0 ? results.referenceSeconds / eight : 0.0);
        }
        std::printf("%-28s canvas %s across thread counts\n", qPrintable(benchCase.name), isStable ? "identical" : "DIFFERS");
    }
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<char*> arguments;
    for (int index = 0; index < argc; ++index) {
        const QByteArray argument(argv[index]);
        if (argument.startsWith("--reference=")) {
            g_referenceMode = QString::fromLatin1(argument.mid(12));
        } else {
            arguments.push_back(argv[index]);
        }
    }
    int argumentCount = int(arguments.size());

    // Keep the shape database of the benchmark away from the user's data.
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toLocal8Bit());
    QCoreApplication::setApplicationName(QStringLiteral("MotifexBenchmark"));
    QCoreApplication::setOrganizationName(QStringLiteral("Quillane"));
    QCoreApplication application(argumentCount, arguments.data());
    Environment environment;
    g_environment = &environment;

    const std::vector<Case> cases = makeCases();
    for (const Case& benchCase : cases) {
        for (const int threads : threadCounts) {
            benchmark::RegisterBenchmark(qPrintable(QStringLiteral("%1/threads:%2").arg(benchCase.name).arg(threads)),
                                         [&benchCase, threads](benchmark::State& state) { runGenerator(state, benchCase, threads); })
                ->Iterations(1)
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond);
        }
        const bool isReferenceWanted = g_referenceMode == QStringLiteral("all")
            || (g_referenceMode == QStringLiteral("feasible") && benchCase.isReferenceFeasible);
        if (isReferenceWanted) {
            benchmark::RegisterBenchmark(qPrintable(benchCase.name + QStringLiteral("/reference")),
                                         [&benchCase](benchmark::State& state) { runReference(state, benchCase); })
                ->Iterations(1)
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond);
        }
    }
    benchmark::Initialize(&argumentCount, arguments.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printSummary(cases);
    g_environment = nullptr;
    return 0;
}
