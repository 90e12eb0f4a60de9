#pragma once

// Shared set-up of the generator tests: the registries in start-up order, small documents, a recording
// progress receiver and canvases as comparable text.

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
#include <stdexcept>
#include <vector>

namespace motifex::test {

// The registries a generation run needs, made in the application's start-up order and released in the
// reverse order.
struct GeneratorStartup {
    GeneratorStartup() { shapes->loadOrThrow(); }

    GeneratorPointGrid& pointGrid() const { return *generators->get("pointgrid").staticCast<GeneratorPointGrid>(); }
    doc::Properties& properties() const { return *document->properties(); }

    std::unique_ptr<shape::Manager> shapes = std::make_unique<shape::Manager>();
    std::unique_ptr<frame::Manager> frames = std::make_unique<frame::Manager>();
    std::shared_ptr<doc::Document> document = std::make_shared<doc::Document>();
    std::unique_ptr<GeneratorManager> generators = std::make_unique<GeneratorManager>(document);
};

struct ItemSetup {
    double radius; // mm
    int count;
    double radiusEnd = 0.0; // mm, with transition
    QString transition = {};
    QString shapeId = {};
};

inline void setItems(doc::Document& document, const std::vector<ItemSetup>& setups)
{
    doc::Items& items = *document.items();
    while (!items.items().isEmpty()) {
        items.removeItem(0);
    }
    for (const ItemSetup& setup : setups) {
        const auto item = items.addItem();
        item->setRadius(geo::Length::fromDouble(setup.radius));
        item->setCount(setup.count);
        item->setShapeId(setup.shapeId);
        if (!setup.transition.isEmpty()) {
            item->setRadiusTransition(setup.transition);
            item->setRadiusEnd(geo::Length::fromDouble(setup.radiusEnd));
        }
    }
}

// The given canvas and precision, no random offset.
inline void setCanvas(doc::Properties& properties, double width, double height, int precisionLevel)
{
    properties.setCanvasSize(geo::Size::fromMillimeters(width, height));
    properties.setPrecision(geo::Precision::fromLevel(precisionLevel));
    properties.setRandomPlacementAmount(0.0);
}

// Records what a run reports; can ask to cancel at a chosen moment, or fail on a task's first update.
class RecordingProgress : public ProgressInterface
{
public:
    void progressTaskStarted(const QString& name) override
    {
        QMutexLocker lock(&mutex);
        tasks.append(name);
    }
    void progressUpdate(int value) override
    {
        QMutexLocker lock(&mutex);
        const QString task = tasks.isEmpty() ? QString() : tasks.last();
        values.push_back({task, value});
        if (task == throwOnTask) {
            throw std::runtime_error("progress receiver failed");
        }
        if (cancelWhen && cancelWhen(task, value)) {
            isCancelRequested = true;
        }
    }
    bool progressCancelRequested() override
    {
        QMutexLocker lock(&mutex);
        return isCancelRequested;
    }

    struct Update { QString task; int value; };

    QMutex mutex;
    QStringList tasks;
    std::vector<Update> values;
    bool isCancelRequested = false;
    QString throwOnTask;
    std::function<bool(const QString& task, int value)> cancelWhen;
};

// One run: initialize, generate, clean up.
inline QSharedPointer<canvas::Canvas> runGenerator(Generator& generator, ProgressInterface* progress)
{
    generator.initialize();
    QSharedPointer<canvas::Canvas> canvas = generator.generate(progress);
    generator.cleanUp();
    return canvas;
}

inline QString describeItem(const QString& itemId, qint64 index, const QString& shapeId, const geo::Point2D& center,
                            qint64 radius)
{
    return QStringLiteral("%1 %2 %3 (%4, %5) r%6").arg(itemId).arg(index).arg(shapeId).arg(center.x()).arg(center.y())
        .arg(radius);
}

inline QStringList describeItems(const canvas::Canvas& canvas)
{
    QStringList lines;
    for (const auto& item : canvas.items()) {
        lines.append(
            describeItem(item->itemId(), item->index(), item->shapeId(), item->center(), item->radius().value()));
    }
    return lines;
}

} // namespace motifex::test
