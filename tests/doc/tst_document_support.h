#pragma once

#include "doc/Document.h"
#include "doc/DocumentChangeListener.h"
#include "doc/InputFunctions.h"
#include "err/Deserialize.h"
#include "frame/Manager.h"
#include "generator/GeneratorManager.h"
#include "shape/Manager.h"

#include <QJsonDocument>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>

namespace motifex::test {

// The registries a document needs, made in the application's start-up order: the shape database
// (loaded), the frame registry, the edited document and the generator's copy, then the generator
// registry for that copy. Members are released in reverse order.
struct CoreStartup {
    CoreStartup() { shapes->loadOrThrow(); }

    std::unique_ptr<shape::Manager> shapes = std::make_unique<shape::Manager>();
    std::unique_ptr<frame::Manager> frames = std::make_unique<frame::Manager>();
    std::shared_ptr<doc::Document> edited = std::make_shared<doc::Document>();
    std::shared_ptr<doc::Document> generatorCopy = std::make_shared<doc::Document>();
    std::unique_ptr<GeneratorManager> generators = std::make_unique<GeneratorManager>(generatorCopy);
};

// Writes each announcement as "property:<path>", "added:<name>", "removed:<name>" or "reset", and runs
// an optional action after each.
class Recorder : public doc::DocumentChangeListener
{
public:
    void onDocumentPropertyChanged(const QString& name, const doc::DocumentElement* element) override
    {
        lastElement = element;
        record(QStringLiteral("property:") + name);
    }
    void onDocumentElementAdded(const QString& name) override { record(QStringLiteral("added:") + name); }
    void onDocumentElementRemoved(const QString& name) override { record(QStringLiteral("removed:") + name); }
    void onDocumentElementReset() override { record(QStringLiteral("reset")); }

    QStringList events;
    const doc::DocumentElement* lastElement = nullptr;
    std::function<void()> action;

private:
    void record(const QString& event)
    {
        events.append(event);
        if (action) {
            action();
        }
    }
};

// Keeps a recorder on an element for one scope.
template<typename Element>
class Listening
{
public:
    explicit Listening(std::shared_ptr<Element> element) : m_element(std::move(element)) { m_element->addListener(&recorder); }
    ~Listening() { m_element->removeListener(&recorder); }

    Recorder recorder;

private:
    std::shared_ptr<Element> m_element;
};

// The data as a project file holds it: written as JSON text and read back.
inline QVariant throughJsonText(const QVariant& data)
{
    return QJsonDocument::fromJson(QJsonDocument::fromVariant(data).toJson()).toVariant();
}

inline std::shared_ptr<doc::InputFunction> step(const char* identifier,
                                                doc::InputFunctionOperator op = doc::InputFunctionOperator::Map,
                                                doc::InputFunctionSource source = doc::InputFunctionSource::Result)
{
    return doc::InputFunction::create(QString::fromUtf8(identifier), op, source);
}

// The reason of the err::Deserialize that the call raises; empty when it raises none.
inline QString deserializeError(const std::function<void()>& call)
{
    try {
        call();
    } catch (const err::Deserialize& error) {
        return error.reason();
    }
    return QString();
}

// A dynamic value's data whose chain names no registered function.
inline QVariantMap badChain()
{
    return QVariantMap{{"functions", QVariantList{QVariantMap{{"identifier", "no-such-function"}}}}};
}

} // namespace motifex::test
