#pragma once

// Shared set-up of the generator tests: the registries in start-up order, small documents, a recording
// progress receiver and canvas comparisons.

#include "canvas/Canvas.h"
#include "canvas/CanvasItem.h"
#include "doc/Document.h"
#include "doc/Item.h"
#include "doc/Items.h"
#include "doc/Properties.h"
#include "frame/Manager.h"
#include "generator/GeneratorManager.h"
#include "generator/GeneratorPointGrid.h"
#include "generator/ProgressInterface.h"
#include "shape/Manager.h"

#include <QMutex>
#include <QStringList>
#include <QThreadPool>

#include <functional>
#include <memory>
#include <vector>

namespace motifex::test {

// The registries a generation run needs, made in the application's start-up order.
struct GeneratorStartup {
    GeneratorStartup() { shapes->loadOrThrow(); }
    ~GeneratorStartup()
    {
        generators.reset();
        document.reset();
        frames.reset();
        shapes.reset();
    }

    QSharedPointer<GeneratorPointGrid> pointGrid() const
    {
        return generators->get(QStringLiteral("pointgrid")).staticCast<GeneratorPointGrid>();
    }
    doc::Properties& properties() const { return *document->properties(); }

    std::unique_ptr<shape::Manager> shapes = std::make_unique<shape::Manager>();
    std::unique_ptr<frame::Manager> frames = std::make_unique<frame::Manager>();
    std::shared_ptr<doc::Document> document = std::make_shared<doc::Document>();
    std::unique_ptr<GeneratorManager> generators = std::make_unique<GeneratorManager>(document);
};

struct ItemSpec {
    double radius;    // mm
    int count;
    double radiusEnd = 0.0; // mm, with transition
    QString transition = {};
    QString shapeId = {};
};

// Replaces the document's items by the given ones.
inline void setItems(doc::Document& document, const std::vector<ItemSpec>& specs)
{
    doc::Items& items = *document.items();
    while (!items.items().isEmpty()) {
        items.removeItem(0);
    }
    for (const ItemSpec& spec : specs) {
        const auto item = items.addItem();
        item->setRadius(geo::Length::fromDouble(spec.radius));
        item->setCount(spec.count);
        item->setShapeId(spec.shapeId);
        if (!spec.transition.isEmpty()) {
            item->setRadiusTransition(spec.transition);
            item->setRadiusEnd(geo::Length::fromDouble(spec.radiusEnd));
        }
    }
}

// A small, deterministic document: no random offset, the given canvas and precision.
inline void setCanvas(doc::Properties& properties, double width, double height, int precisionLevel)
{
    properties.setCanvasSize(geo::Size::fromMillimeters(width, height));
    properties.setPrecision(geo::Precision::fromLevel(precisionLevel));
    properties.setRandomPlacementAmount(0.0);
}

// Records what a run reports; can ask to cancel at a chosen moment, or throw.
class RecordingProgress : public ProgressInterface
{
public:
    void progressTaskStarted(const QString& name) override
    {
        QMutexLocker lock(&mutex);
        tasks.append(name);
        if (throwOnTask == name) {
            throw std::runtime_error("progress receiver failed");
        }
    }
    void progressUpdate(int value) override
    {
        QMutexLocker lock(&mutex);
        values.push_back({tasks.isEmpty() ? QString() : tasks.last(), value});
        if (cancelWhen && cancelWhen(tasks.isEmpty() ? QString() : tasks.last(), value, values.size())) {
            isCancelRequested = true;
        }
    }
    bool progressCancelRequested() override
    {
        QMutexLocker lock(&mutex);
        ++cancelQuestions;
        return isCancelRequested;
    }

    struct Update {
        QString task;
        int value;
    };

    QMutex mutex;
    QStringList tasks;
    std::vector<Update> values;
    int cancelQuestions = 0;
    bool isCancelRequested = false;
    QString throwOnTask;
    // (task, value, number of updates so far) → cancel now.
    std::function<bool(const QString&, int, std::size_t)> cancelWhen;
};

// One run: initialize, generate, clean up.
inline QSharedPointer<canvas::Canvas> runGenerator(Generator& generator, ProgressInterface* progress)
{
    generator.initialize();
    QSharedPointer<canvas::Canvas> canvas = generator.generate(progress);
    generator.cleanUp();
    return canvas;
}

// Runs with the given number of pool threads and restores the pool afterwards.
inline QSharedPointer<canvas::Canvas> runWithThreads(Generator& generator, int threadCount)
{
    QThreadPool* pool = QThreadPool::globalInstance();
    const int previous = pool->maxThreadCount();
    pool->setMaxThreadCount(threadCount);
    QSharedPointer<canvas::Canvas> canvas = runGenerator(generator, nullptr);
    pool->setMaxThreadCount(previous);
    return canvas;
}

// The placement part of a canvas as comparable text lines.
inline QStringList describeItems(const canvas::Canvas& canvas)
{
    QStringList lines;
    for (const auto& item : canvas.items()) {
        lines.append(QStringLiteral("%1 %2 %3 (%4, %5) r%6")
                         .arg(item->itemId())
                         .arg(item->index())
                         .arg(item->shapeId())
                         .arg(item->center().x())
                         .arg(item->center().y())
                         .arg(item->radius().value()));
    }
    return lines;
}

} // namespace motifex::test
