// Speed of the point-grid generator: preparation and placement on 1, 2, 4 and 8 pool threads, beside the
// plain reference placement on the same document, and how quickly a cancel is answered in each phase.
// Every run of a case must produce the same canvas. Each measurement is the median of several runs after
// one run that is not counted (it pays for the first use of memory). The summary after the benchmarks is
// one table: the medians, the speed-up over one thread, the ratio to the reference, the time cleanUp takes,
// the cancel latency, the memory per grid point and a hash of the canvas.
//
//   bench_generator                         all cases, the reference where it finishes in reasonable time
//   bench_generator --reference=all         the reference for every case
//   bench_generator --reference=none        no reference
//   bench_generator --runs=5                runs per measurement (default 3), after the warm-up run
//   bench_generator --cancel-huge           the cancel cases on the largest grid a run accepts, and the
//                                           copy list with 10^8 copies (minutes, about 6 GB)
//   bench_generator --cancel-copy-list      one definition of 10^8 copies (3 mm down to 0.1 mm): Cancel
//                                           pressed 0.3, 1.5 and 4 s into a run on one thread, and the
//                                           copy list of that definition built alone (about 3 GB)
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
#include "generator/InstanceList.h"
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

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <mutex>
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
    double preparation = 0; // seconds, wall
    double placement = 0;
    double total = 0;
    double cpu = 0;
    double cleanUp = 0;
    double cancelLatency = -1; // cancel cases only
    quint64 points = 0;
    qint64 items = 0;
    double peakMegabytes = 0;
    double bytesPerPoint = 0;
    QByteArray hash;
};

struct Results {
    QMap<int, Measurement> byThreads;
    double referenceSeconds = -1;
    QByteArray referenceHash;
};

QMap<QString, Results> g_results;
QString g_referenceMode = QStringLiteral("feasible");
int g_runs = 3;
bool g_isCancelHuge = false;
bool g_isCancelCopyList = false;

double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Records when placement begins, to split the run into its two phases; for the cancel cases, asks to
// stop at the first progress value inside a band and records when.
class PhaseClock : public ProgressInterface
{
public:
    void progressTaskStarted(const QString& name) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        task = name;
        if (name == QStringLiteral("Placing Items")) {
            placingWall = timer.nsecsElapsed() / 1e9;
        }
    }
    void progressUpdate(int value) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (cancelTask.isEmpty() || isCancelled.load() || task != cancelTask || value <= cancelAbove
            || value >= cancelBelow) {
            return;
        }
        cancelWall = timer.nsecsElapsed() / 1e9;
        isCancelled.store(true);
    }
    // A cancel at a moment of the run counts from that moment, however long the run takes to ask.
    bool progressCancelRequested() override
    {
        if (cancelAtSeconds >= 0 && !isCancelled.load() && timer.nsecsElapsed() / 1e9 >= cancelAtSeconds) {
            std::lock_guard<std::mutex> lock(mutex);
            cancelWall = cancelAtSeconds;
            isCancelled.store(true);
        }
        return isCancelled.load();
    }

    std::mutex mutex;
    QElapsedTimer timer;
    QString task;
    double placingWall = -1;
    QString cancelTask;
    int cancelAbove = 0;
    int cancelBelow = 0;
    double cancelAtSeconds = -1;
    std::atomic<bool> isCancelled{false};
    double cancelWall = -1;
};

// The canvas as placement data only: position of the item definition, index, shape, centre and radius.
using PlacedItems = std::vector<std::tuple<QString, qint64, QString, qint64, qint64, qint64>>;

QByteArray canvasHash(const doc::Document& document, const PlacedItems& items)
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

// One run, timed by phase.
Measurement runOnce(GeneratorPointGrid& generator, PhaseClock& clock)
{
    Measurement measurement;
    // The last run's memory is given back on a pool thread; the heap is measured from after that.
    QThreadPool::globalInstance()->waitForDone();
    const qint64 baseline = g_heapBytes.load();
    g_heapPeak.store(baseline);
    const double cpuStart = processCpuSeconds();
    clock.timer.start();
    generator.initialize();
    const QSharedPointer<canvas::Canvas> canvas = generator.generate(&clock);
    const double wall = clock.timer.nsecsElapsed() / 1e9;
    measurement.cpu = processCpuSeconds() - cpuStart;
    const qint64 peak = g_heapPeak.load();
    measurement.points = generator.preparedPointCount();
    PlacedItems items;
    if (canvas) {
        for (const auto& item : canvas->items()) {
            items.emplace_back(item->itemId(), item->index(), item->shapeId(), item->center().x(), item->center().y(), item->radius().value());
        }
    }
    QElapsedTimer cleanUpTimer;
    cleanUpTimer.start();
    generator.cleanUp();
    measurement.cleanUp = cleanUpTimer.nsecsElapsed() / 1e9;
    measurement.total = wall;
    measurement.preparation = clock.placingWall < 0 ? wall : clock.placingWall;
    measurement.placement = wall - measurement.preparation;
    if (clock.cancelWall >= 0) {
        measurement.cancelLatency = wall - clock.cancelWall;
    }
    measurement.peakMegabytes = std::max<qint64>(peak - baseline, 0) / 1048576.0;
    measurement.bytesPerPoint = measurement.points > 0 ? double(std::max<qint64>(peak - baseline, 0)) / measurement.points : 0;
    measurement.items = qint64(items.size());
    measurement.hash = canvasHash(*g_environment->document, items);
    return measurement;
}

// One warm-up run, then the medians of g_runs runs.
Measurement measure(GeneratorPointGrid& generator, const std::function<void(PhaseClock&)>& setUpClock)
{
    std::vector<Measurement> runs;
    for (int run = 0; run <= g_runs; ++run) {
        PhaseClock clock;
        setUpClock(clock);
        Measurement measurement = runOnce(generator, clock);
        if (run > 0) {
            runs.push_back(measurement);
        }
    }
    Measurement result = runs.front();
    const auto medianOf = [&runs](double Measurement::*field) {
        std::vector<double> values;
        for (const Measurement& run : runs) {
            values.push_back(run.*field);
        }
        return median(values);
    };
    for (double Measurement::*field : {&Measurement::preparation, &Measurement::placement, &Measurement::total, &Measurement::cpu,
                                       &Measurement::cleanUp, &Measurement::cancelLatency, &Measurement::peakMegabytes,
                                       &Measurement::bytesPerPoint}) {
        result.*field = medianOf(field);
    }
    for (const Measurement& run : runs) {
        if (run.hash != result.hash) {
            result.hash = "DIFFERS-BETWEEN-RUNS";
        }
    }
    return result;
}

void report(benchmark::State& state, const Measurement& measurement)
{
    state.SetIterationTime(measurement.total);
    state.counters["prep_ms"] = measurement.preparation * 1000;
    state.counters["place_ms"] = measurement.placement * 1000;
    state.counters["cpu_ms"] = measurement.cpu * 1000;
    state.counters["points"] = double(measurement.points);
    state.counters["items"] = double(measurement.items);
    state.counters["peak_MB"] = measurement.peakMegabytes;
}

GeneratorPointGrid& pointGrid()
{
    return *g_environment->generators->get(QStringLiteral("pointgrid")).staticCast<GeneratorPointGrid>();
}

void runGenerator(benchmark::State& state, const Case& benchCase, int threads)
{
    prepareDocument(benchCase);
    QThreadPool::globalInstance()->setMaxThreadCount(threads);
    for (auto _ : state) {
        const Measurement measurement = measure(pointGrid(), [](PhaseClock&) {});
        report(state, measurement);
        g_results[benchCase.name].byThreads[threads] = measurement;
    }
}

// The phases a cancel is asked for in, by the progress band it arrives in.
struct CancelPhase {
    const char* name;
    int pass; // a preparation pass 0..3, or 4 for placement
};
const std::vector<CancelPhase> cancelPhases{{"copy list", 0}, {"rating", 1}, {"ordering", 2}, {"slice sort", 3}, {"placement", 4}};

// A document whose every phase runs long enough on one thread for a cancel to arrive in its middle: four
// million grid points and two million copies whose radii run up and down.
void setUpCancelDocument(doc::Document& document)
{
    document.properties()->setCanvasSize(geo::Size(200000000, 200000000));
    document.properties()->setAlgorithmIdentifier(QStringLiteral("leftToRight"));
    auto tapered = document.items()->addItem();
    tapered->setRadius(geo::Length(200000));
    tapered->setRadiusTransition(QStringLiteral("triangle_3"));
    tapered->setRadiusEnd(geo::Length(300000));
    tapered->setCount(2000000);
}

// The largest grid a run accepts (11585 x 11585 points at 0.1 mm) with the default items, or for the copy
// list 10^8 copies whose radii run up and down on the default canvas.
void setUpHugeCancelDocument(doc::Document& document, const CancelPhase& phase)
{
    if (phase.pass == 0) {
        auto tapered = document.items()->addItem();
        tapered->setRadius(geo::Length(200000));
        tapered->setRadiusTransition(QStringLiteral("triangle_3"));
        tapered->setRadiusEnd(geo::Length(300000));
        tapered->setCount(100000000);
        return;
    }
    document.properties()->setCanvasSize(geo::Size(1158400000, 1158400000));
    document.properties()->setAlgorithmIdentifier(QStringLiteral("leftToRight"));
}

void runCancel(benchmark::State& state, const Case& benchCase, const CancelPhase& phase)
{
    prepareDocument(benchCase);
    if (g_isCancelHuge) {
        g_environment->document->items()->resetToDefault();
        setUpHugeCancelDocument(*g_environment->document, phase);
    }
    QThreadPool::globalInstance()->setMaxThreadCount(1);
    const doc::Document& document = *g_environment->document;
    const auto grid = GeneratorPointGrid::gridSize(document.properties()->canvasSize(), document.properties()->precision());
    const auto bands = GeneratorPointGrid::preparationBands(InstanceList::workOf(document.items()->items()), grid.pointCount);
    for (auto _ : state) {
        const Measurement measurement = measure(pointGrid(), [&](PhaseClock& clock) {
            const bool isPlacement = phase.pass == 4;
            clock.cancelTask = isPlacement ? QStringLiteral("Placing Items") : QStringLiteral("Preparing Points");
            clock.cancelAbove = isPlacement ? 250 : bands[phase.pass];
            clock.cancelBelow = isPlacement ? 1001 : bands[phase.pass + 1];
        });
        report(state, measurement);
        state.counters["cancel_ms"] = measurement.cancelLatency * 1000;
        g_results[benchCase.name + QStringLiteral(":") + QString::fromLatin1(phase.name)].byThreads[1] = measurement;
    }
}

// One definition whose 10^8 copies all differ in radius, from 3 mm down to 0.1 mm: its copy list is the
// longest part of a run.
void setUpCopyListDocument(doc::Document& document)
{
    while (!document.items()->items().isEmpty()) {
        document.items()->removeItem(0);
    }
    auto tapered = document.items()->addItem();
    tapered->setRadius(geo::Length(3000000));
    tapered->setRadiusTransition(QStringLiteral("linear"));
    tapered->setRadiusEnd(geo::Length(100000));
    tapered->setCount(100000000);
}

const Case copyListCase{QStringLiteral("copy-list"), setUpCopyListDocument, false};
const std::vector<double> copyListCancelSeconds{0.3, 1.5, 4.0};

QString copyListCancelName(double seconds)
{
    return QStringLiteral("copy-list:cancel-%1ms").arg(qRound(seconds * 1000));
}

// Cancel pressed a given time into a run on one thread.
void runCopyListCancel(benchmark::State& state, double seconds)
{
    prepareDocument(copyListCase);
    QThreadPool::globalInstance()->setMaxThreadCount(1);
    for (auto _ : state) {
        const Measurement measurement = measure(pointGrid(), [seconds](PhaseClock& clock) { clock.cancelAtSeconds = seconds; });
        report(state, measurement);
        state.counters["cancel_ms"] = measurement.cancelLatency * 1000;
        g_results[copyListCancelName(seconds)].byThreads[1] = measurement;
    }
}

// The copy list alone, built to the end: how long it takes and a hash of what it holds.
void runCopyListBuild(benchmark::State& state)
{
    prepareDocument(copyListCase);
    const auto items = g_environment->document->items()->items();
    for (auto _ : state) {
        std::vector<double> seconds;
        Measurement measurement;
        for (int run = 0; run <= g_runs; ++run) {
            QThreadPool::globalInstance()->waitForDone();
            InstanceList list;
            QElapsedTimer timer;
            timer.start();
            list.build(items, [] { return false; }, {});
            if (run > 0) {
                seconds.push_back(timer.nsecsElapsed() / 1e9);
            }
            QCryptographicHash hash(QCryptographicHash::Sha256);
            hash.addData(QByteArrayView(reinterpret_cast<const char*>(list.entries().data()),
                                        qsizetype(list.entries().size() * sizeof(InstanceList::Entry))));
            measurement.hash = hash.result().toHex().left(16);
            measurement.items = qint64(list.size());
        }
        measurement.total = measurement.preparation = median(seconds);
        state.SetIterationTime(measurement.total);
        state.counters["copies"] = double(measurement.items);
        g_results[QStringLiteral("copy-list:build")].byThreads[1] = measurement;
    }
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
        PlacedItems items;
        for (const auto& item : placed) {
            items.emplace_back(item.itemId, item.index, item.shapeId, item.center.x(), item.center.y(), item.radius);
        }
        Results& results = g_results[benchCase.name];
        results.referenceSeconds = seconds;
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

QString milliseconds(double seconds)
{
    return seconds < 0 ? QStringLiteral("-") : QString::number(seconds * 1000, 'f', 1);
}

QString ratio(double numerator, double denominator)
{
    return numerator > 0 && denominator > 0 ? QString::number(numerator / denominator, 'f', 2) : QStringLiteral("-");
}

// One table: a row per case and thread count (and per cancelled phase); then one line on the canvases.
void printSummary(const std::vector<Case>& cases, const Case& cancelCase)
{
    std::printf("\n%-30s %3s %9s %9s %9s %9s %7s %7s %8s %8s %9s %6s %8s %7s  %s\n", "case", "thr", "prep ms",
                "place ms", "total ms", "cpu ms", "speedup", "vs ref", "clean ms", "cancel", "points", "items",
                "peak MB", "B/point", "hash");
    QStringList differing;
    const auto printRow = [](const QString& name, int threads, const Measurement& m, double oneThread, double reference) {
        std::printf("%-30s %3d %9s %9s %9s %9s %7s %7s %8s %8s %9llu %6lld %8.1f %7.1f  %s\n", qPrintable(name), threads,
                    qPrintable(milliseconds(m.preparation)), qPrintable(milliseconds(m.placement)),
                    qPrintable(milliseconds(m.total)), qPrintable(milliseconds(m.cpu)), qPrintable(ratio(oneThread, m.total)),
                    qPrintable(ratio(reference, m.total)), qPrintable(milliseconds(m.cleanUp)),
                    qPrintable(milliseconds(m.cancelLatency)), static_cast<unsigned long long>(m.points),
                    static_cast<long long>(m.items), m.peakMegabytes, m.bytesPerPoint, m.hash.constData());
    };
    for (const Case& benchCase : cases) {
        if (!g_results.contains(benchCase.name)) {
            continue;
        }
        const Results& results = g_results[benchCase.name];
        const double oneThread = results.byThreads.contains(1) ? results.byThreads[1].total : 0;
        const QByteArray expected = results.referenceSeconds >= 0 ? results.referenceHash
            : (results.byThreads.isEmpty() ? QByteArray() : results.byThreads.first().hash);
        if (results.referenceSeconds >= 0) {
            std::printf("%-30s %3s %9s %9s %9s %9s %7s %7s %8s %8s %9s %6s %8s %7s  %s\n", qPrintable(benchCase.name), "ref",
                        "-", "-", qPrintable(milliseconds(results.referenceSeconds)), "-", "-", "1.00", "-", "-", "-", "-", "-",
                        "-", results.referenceHash.constData());
        }
        for (auto it = results.byThreads.begin(); it != results.byThreads.end(); ++it) {
            printRow(benchCase.name, it.key(), it.value(), oneThread, results.referenceSeconds);
            if (it.value().hash != expected) {
                differing.append(QStringLiteral("%1/%2").arg(benchCase.name).arg(it.key()));
            }
        }
    }
    for (const CancelPhase& phase : cancelPhases) {
        const QString name = cancelCase.name + QStringLiteral(":") + QString::fromLatin1(phase.name);
        if (g_results.contains(name) && g_results[name].byThreads.contains(1)) {
            printRow(name, 1, g_results[name].byThreads[1], 0, -1);
        }
    }
    QStringList copyListNames{QStringLiteral("copy-list"), QStringLiteral("copy-list:build")};
    for (const double seconds : copyListCancelSeconds) {
        copyListNames.append(copyListCancelName(seconds));
    }
    for (const QString& name : copyListNames) {
        if (g_results.contains(name) && g_results[name].byThreads.contains(1)) {
            printRow(name, 1, g_results[name].byThreads[1], 0, -1);
        }
    }
    std::printf("canvases %s\n", differing.isEmpty() ? "identical across thread counts and equal to the reference"
                                                     : qPrintable(QStringLiteral("DIFFER: ") + differing.join(QStringLiteral(", "))));
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<char*> arguments;
    for (int index = 0; index < argc; ++index) {
        const QByteArray argument(argv[index]);
        if (argument.startsWith("--reference=")) {
            g_referenceMode = QString::fromLatin1(argument.mid(12));
        } else if (argument == "--cancel-huge") {
            g_isCancelHuge = true;
        } else if (argument == "--cancel-copy-list") {
            g_isCancelCopyList = true;
        } else if (argument.startsWith("--runs=")) {
            g_runs = std::max(1, argument.mid(7).toInt());
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
        // The reference first: the generator's rows then show their ratio to it.
        const bool isReferenceWanted = g_referenceMode == QStringLiteral("all")
            || (g_referenceMode == QStringLiteral("feasible") && benchCase.isReferenceFeasible);
        if (isReferenceWanted) {
            benchmark::RegisterBenchmark(qPrintable(benchCase.name + QStringLiteral("/reference")),
                                         [&benchCase](benchmark::State& state) { runReference(state, benchCase); })
                ->Iterations(1)
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond);
        }
        for (const int threads : threadCounts) {
            benchmark::RegisterBenchmark(qPrintable(QStringLiteral("%1/threads:%2").arg(benchCase.name).arg(threads)),
                                         [&benchCase, threads](benchmark::State& state) { runGenerator(state, benchCase, threads); })
                ->Iterations(1)
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond);
        }
    }
    const Case cancelCase{QStringLiteral("cancel"), setUpCancelDocument, false};
    for (const CancelPhase& phase : cancelPhases) {
        benchmark::RegisterBenchmark(qPrintable(QStringLiteral("cancel/%1").arg(QString::fromLatin1(phase.name)).replace(' ', '-')),
                                     [&cancelCase, &phase](benchmark::State& state) { runCancel(state, cancelCase, phase); })
            ->Iterations(1)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    }
    if (g_isCancelCopyList) {
        benchmark::RegisterBenchmark("copy-list/build", runCopyListBuild)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("copy-list/whole-run", [](benchmark::State& state) { runGenerator(state, copyListCase, 1); })
            ->Iterations(1)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
        for (const double seconds : copyListCancelSeconds) {
            benchmark::RegisterBenchmark(qPrintable(QStringLiteral("copy-list/cancel-%1ms").arg(qRound(seconds * 1000))),
                                         [seconds](benchmark::State& state) { runCopyListCancel(state, seconds); })
                ->Iterations(1)
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond);
        }
    }
    benchmark::Initialize(&argumentCount, arguments.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printSummary(cases, cancelCase);
    g_environment = nullptr;
    return 0;
}
