#pragma once

#include <QList>
#include <QPair>
#include <QSharedPointer>
#include <QString>

#include <memory>

namespace doc {
class Document;
}

class Generator;

// The registry of generators by identifier. One instance, made at start-up for the generator's copy of
// the document; built on the main thread and only read afterwards.
class GeneratorManager
{
public:
    explicit GeneratorManager(const std::shared_ptr<doc::Document>& document);
    ~GeneratorManager();
    GeneratorManager(const GeneratorManager&) = delete;
    GeneratorManager& operator=(const GeneratorManager&) = delete;

    // The registered manager; null before its construction and after its destruction.
    static GeneratorManager* instance() noexcept;

    // The first generator whose identifier equals the argument exactly; null when none does.
    QSharedPointer<Generator> get(const QString& identifier) const;
    bool hasGenerator(const QString& identifier) const;
    // (display name, identifier) of every generator in registration order.
    QList<QPair<QString, QString>> nameList() const;

private:
    static GeneratorManager* _instance;

    std::shared_ptr<doc::Document> m_document;
    QList<QSharedPointer<Generator>> m_generators;
};
