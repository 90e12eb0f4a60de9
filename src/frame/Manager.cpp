#include "frame/Manager.h"

#include "frame/Ellipse.h"
#include "frame/Heart.h"
#include "frame/Rectangle.h"
#include "frame/ShapeBuilder.h"
#include "frame/Triangle.h"
#include "shape/Arrow.h"
#include "shape/Cross.h"
#include "shape/Leaf.h"
#include "shape/Polygon.h"
#include "shape/Star.h"

#include <QVariantMap>

#include <algorithm>
#include <atomic>

namespace frame {

namespace {

// Read from worker threads by the generator, written on the main thread at start-up and shutdown.
std::atomic<Manager*> recordedInstance{nullptr};

Parameter rotation()
{
    return Parameter(QStringLiteral("Rotation"), 0.0);
}

} // namespace

Manager::Manager()
{
    initializeBuilders();
    recordedInstance.store(this);
}

Manager::~Manager()
{
    Manager* self = this;
    recordedInstance.compare_exchange_strong(self, nullptr);
}

Manager* Manager::instance() noexcept
{
    return recordedInstance.load();
}

std::shared_ptr<Base> Manager::createFrame(Shape shape, const geo::Size& size, const geo::Normal1D& ratio,
                                           const std::vector<geo::Normal1D>& values) const
{
    return builder(shape)->create(size, ratio, values);
}

std::shared_ptr<Base> Manager::createFrame(const QVariant& data) const
{
    const std::shared_ptr<Builder> found =
        findBuilder(shapeFromString(data.toMap().value(QStringLiteral("shapeId")).toString()));
    return found ? found->create(data) : nullptr;
}

std::shared_ptr<Builder> Manager::builder(Shape shape) const
{
    const std::shared_ptr<Builder> found = findBuilder(shape);
    return found ? found : findBuilder(Shape::Rectangle);
}

const std::vector<Parameter>& Manager::parameters(Shape shape) const
{
    return builder(shape)->parameters();
}

void Manager::initializeBuilders()
{
    m_builders = {
        std::make_shared<BuilderT<Rectangle>>(Shape::Rectangle, std::vector<Parameter>{rotation()}),
        std::make_shared<BuilderT<Ellipse>>(Shape::Ellipse, std::vector<Parameter>{}),
        std::make_shared<BuilderT<Triangle>>(Shape::Triangle, std::vector<Parameter>{{QStringLiteral("Shape"), 0.0}}),
        std::make_shared<BuilderT<Heart>>(Shape::Heart, std::vector<Parameter>{
            {QStringLiteral("Bulge Angle"), 0.5},
            {QStringLiteral("Bulge Ratio"), 0.5},
            rotation(),
        }),
        std::make_shared<ShapeBuilder<shape::Arrow>>(Shape::Arrow, std::vector<Parameter>{
            rotation(),
            {QStringLiteral("Tip Length"), 0.4},
            {QStringLiteral("Tip Width"), 0.5},
            {QStringLiteral("Line Length"), 1.0},
            {QStringLiteral("Line Width"), 0.3},
        }),
        std::make_shared<ShapeBuilder<shape::Star>>(Shape::Star, std::vector<Parameter>{
            rotation(),
            {QStringLiteral("Point Count"), 0.5},
            {QStringLiteral("Valley Ratio"), 0.5},
            {QStringLiteral("Valley Shift"), 0.5},
        }),
        std::make_shared<ShapeBuilder<shape::Cross>>(Shape::Cross, std::vector<Parameter>{
            rotation(),
            {QStringLiteral("Bar Count"), 0.5},
            {QStringLiteral("Bar Width"), 0.5},
        }),
        std::make_shared<ShapeBuilder<shape::Leaf>>(Shape::Leaf, std::vector<Parameter>{
            rotation(),
            {QStringLiteral("Width"), 0.6},
            {QStringLiteral("Radius"), 0.5},
            {QStringLiteral("Vein Length"), 0.0},
            {QStringLiteral("Vein Angle"), 0.2},
        }),
        std::make_shared<ShapeBuilder<shape::Polygon>>(Shape::Polygon, std::vector<Parameter>{
            rotation(),
            {QStringLiteral("Corner Count"), 0.2},
        }),
    };
}

std::shared_ptr<Builder> Manager::findBuilder(Shape shape) const
{
    const auto found = std::find_if(m_builders.begin(), m_builders.end(), [shape](const std::shared_ptr<Builder>& entry) {
        return entry->shape() == shape;
    });
    return found != m_builders.end() ? *found : nullptr;
}

} // namespace frame
