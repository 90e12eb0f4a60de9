#include "generator/GeneratorManager.h"

#include "generator/GeneratorPointGrid.h"

GeneratorManager* GeneratorManager::_instance = nullptr;

GeneratorManager::GeneratorManager(const std::shared_ptr<doc::Document>& document)
    : m_document(document)
{
    _instance = this;
    m_generators.append(QSharedPointer<Generator>(new GeneratorPointGrid()));
    for (const auto& generator : std::as_const(m_generators)) {
        generator->setDocument(m_document);
    }
}

GeneratorManager::~GeneratorManager()
{
    if (_instance == this) {
        _instance = nullptr;
    }
    m_generators.clear();
    m_document.reset();
}

GeneratorManager* GeneratorManager::instance() noexcept
{
    return _instance;
}

QSharedPointer<Generator> GeneratorManager::get(const QString& identifier) const
{
    for (const auto& generator : m_generators) {
        if (generator->identifier() == identifier) {
            return generator;
        }
    }
    return {};
}

bool GeneratorManager::hasGenerator(const QString& identifier) const
{
    return !get(identifier).isNull();
}

QList<QPair<QString, QString>> GeneratorManager::nameList() const
{
    QList<QPair<QString, QString>> names;
    names.reserve(m_generators.size());
    for (const auto& generator : m_generators) {
        names.append({generator->name(), generator->identifier()});
    }
    return names;
}
