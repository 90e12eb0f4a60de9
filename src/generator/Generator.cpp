#include "generator/Generator.h"

#include "canvas/Canvas.h"
#include "doc/Document.h"
#include "doc/Item.h"
#include "doc/Items.h"
#include "doc/Properties.h"
#include "frame/Base.h"
#include "frame/Manager.h"
#include "frame/Rectangle.h"
#include "generator/BackgroundRelease.h"

#include <algorithm>
#include <new>
#include <stdexcept>

namespace {

// The frame of the document's canvas. A shape without a builder, or no frame registry at all, gives the
// plain rectangle, so a run never goes on without a frame.
std::shared_ptr<frame::Base> createFrame(const doc::Properties& properties)
{
    const geo::Size size = properties.canvasSize();
    const geo::Normal1D ratio = properties.canvasFrameRatio();
    const std::vector<geo::Normal1D> values{properties.canvasFrameValueA(), properties.canvasFrameValueB(),
                                            properties.canvasFrameValueC(), properties.canvasFrameValueD(),
                                            properties.canvasFrameValueE()};
    std::shared_ptr<frame::Base> frame;
    if (const frame::Manager* manager = frame::Manager::instance()) {
        frame = manager->createFrame(properties.canvasFrameShape(), size, ratio, values);
        if (!frame) {
            frame = manager->createFrame(frame::Shape::Rectangle, size, ratio, values);
        }
    }
    if (!frame) {
        auto rectangle = std::make_shared<frame::Rectangle>();
        rectangle->setSize(size, ratio);
        rectangle->setValues(values);
        rectangle->initialize();
        frame = rectangle;
    }
    return frame;
}

} // namespace

Generator::Generator(const QString& identifier, const QString& name)
    : m_identifier(identifier)
    , m_name(name)
{
    std::random_device device("/dev/urandom");
    m_randomEngine.seed(device());
}

Generator::~Generator() = default;

void Generator::initialize()
{
    m_isInitialized = false;
    m_instances.clear();
    m_itemDefinitions.clear();
    m_plannedInstanceCount = 0;
    m_minimumFreeSpace = geo::Length();
    m_canvas.reset();
    setRunStatus(RunStatus::NotRun);
    try {
        m_isInitialized = initializeOrThrow();
        return;
    } catch (const std::bad_alloc&) {
        setRunStatus(RunStatus::Failed, QStringLiteral("There is not enough memory to prepare the generation."));
    } catch (const std::exception& exception) {
        setRunStatus(RunStatus::Failed,
                     QStringLiteral("The generation could not be prepared: %1").arg(QString::fromLocal8Bit(exception.what())));
    } catch (...) {
        setRunStatus(RunStatus::Failed, QStringLiteral("The generation could not be prepared."));
    }
    m_itemDefinitions.clear();
    m_canvas.reset();
}

bool Generator::initializeOrThrow()
{
    if (!m_document || !m_document->properties() || !m_document->items()) {
        setRunStatus(RunStatus::Failed, QStringLiteral("There is no document to generate from."));
        return false;
    }
    const auto properties = m_document->properties();
    m_itemDefinitions = m_document->items()->items();
    m_plannedInstanceCount = InstanceList::copyCountOf(m_itemDefinitions);
    const geo::Size size = properties->canvasSize();
    m_minimumFreeSpace = geo::Length(std::max(size.width(), size.height()));
    m_canvas = canvas::Canvas::create(size, createFrame(*properties));
    return true;
}

bool Generator::prepareInstances(const InstanceList::CancelCheck& isCancelled, const InstanceList::WorkDone& workDone)
{
    // A copy without size would take room without being visible, and a canvas holding it could not be
    // read back: the list leaves such copies out.
    if (!m_instances.build(m_itemDefinitions, isCancelled, workDone)) {
        return false;
    }
    if (!m_instances.isEmpty()) {
        m_minimumFreeSpace = std::min(m_minimumFreeSpace, geo::Length(m_instances.smallestRadius()));
    }
    return true;
}

void Generator::cleanUp()
{
    releaseInBackground(std::move(m_instances));
    m_instances.clear();
    m_itemDefinitions.clear();
}

void Generator::setDocument(const std::shared_ptr<doc::Document>& document)
{
    m_document = document;
}

bool Generator::hasNextInstance() const noexcept
{
    return m_instances.hasNext();
}

Generator::Instance Generator::nextInstance()
{
    if (!hasNextInstance()) {
        throw std::out_of_range("Generator::nextInstance: no instance left");
    }
    const InstanceList::Entry& entry = m_instances.next();
    return Instance{m_instances.item(entry.item), geo::Length(entry.radius)};
}

geo::Normal1D Generator::getRandomNormal()
{
    std::lock_guard<std::mutex> lock(m_randomMutex);
    return geo::Normal1D(geo::zeroIfNaN(m_normalDistribution(m_randomEngine)));
}

geo::Angle Generator::getRandomAngle()
{
    std::lock_guard<std::mutex> lock(m_randomMutex);
    return geo::Angle::fromDegrees(m_angleDistribution(m_randomEngine));
}

void Generator::setRunStatus(RunStatus status, const QString& message)
{
    m_runStatus = status;
    m_runMessage = message;
}

void Generator::releaseCanvas() noexcept
{
    m_canvas.reset();
}
