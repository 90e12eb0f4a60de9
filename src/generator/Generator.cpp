#include "generator/Generator.h"

#include "canvas/Canvas.h"

#include <stdexcept>

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
    m_nextInstanceIndex = 0;
    m_canvas.reset();
    setRunStatus(RunStatus::NotRun);
}

void Generator::cleanUp()
{
    m_instances.clear();
    m_instances.shrink_to_fit();
}

void Generator::setDocument(const std::shared_ptr<doc::Document>& document)
{
    m_document = document;
}

bool Generator::hasNextInstance() const noexcept
{
    return m_nextInstanceIndex < m_instances.size();
}

Generator::Instance Generator::nextInstance()
{
    const Instance instance = m_instances.at(m_nextInstanceIndex);
    ++m_nextInstanceIndex;
    return instance;
}

geo::Normal1D Generator::getRandomNormal()
{
    std::lock_guard<std::mutex> lock(m_randomMutex);
    const double value = m_normalDistribution(m_randomEngine);
    return geo::Normal1D(geo::zeroIfNaN(value));
}

geo::Angle Generator::getRandomAngle()
{
    std::lock_guard<std::mutex> lock(m_randomMutex);
    return geo::Angle::fromDouble(m_angleDistribution(m_randomEngine));
}

void Generator::setRunStatus(RunStatus status, const QString& message)
{
    m_runStatus = status;
    m_runMessage = message;
}
