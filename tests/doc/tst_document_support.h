#pragma once

#include "doc/Document.h"
#include "doc/DocumentChangeListener.h"
#include "frame/Manager.h"
#include "generator/GeneratorManager.h"
#include "shape/Manager.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <QVariant>

#include <memory>

namespace motifex::test {

// The registries a document needs, made in the application's start-up order: the shape database
// (loaded), the frame registry, the edited document and the generator's copy, then the generator
// registry for that copy. Released in reverse order.
struct CoreStartup {
    CoreStartup()
    {
        shapes->loadOrThrow();
    }
    ~CoreStartup()
    {
        generators.reset();
        generatorCopy.reset();
        edited.reset();
        frames.reset();
        shapes.reset();
    }

    std::unique_ptr<shape::Manager> shapes = std::make_unique<shape::Manager>();
    std::unique_ptr<frame::Manager> frames = std::make_unique<frame::Manager>();
    std::shared_ptr<doc::Document> edited = std::make_shared<doc::Document>();
    std::shared_ptr<doc::Document> generatorCopy = std::make_shared<doc::Document>();
    std::unique_ptr<GeneratorManager> generators = std::make_unique<GeneratorManager>(generatorCopy);
};

// Writes each announcement as "property:<path>", "added:<name>", "removed:<name>" or "reset".
class Recorder : public doc::DocumentChangeListener
{
public:
    void onDocumentPropertyChanged(const QString& name, const doc::DocumentElement* element) override
    {
        events.append(QStringLiteral("property:") + name);
        lastElement = element;
    }
    void onDocumentElementAdded(const QString& name) override { events.append(QStringLiteral("added:") + name); }
    void onDocumentElementRemoved(const QString& name) override { events.append(QStringLiteral("removed:") + name); }
    void onDocumentElementReset() override { events.append(QStringLiteral("reset")); }

    QStringList events;
    const doc::DocumentElement* lastElement = nullptr;
};

// Keeps a recorder on an element for one scope.
template<typename Element>
class Listening
{
public:
    explicit Listening(const std::shared_ptr<Element>& element) : m_element(element) { m_element->addListener(&recorder); }
    ~Listening() { m_element->removeListener(&recorder); }
    Listening(const Listening&) = delete;
    Listening& operator=(const Listening&) = delete;

    Recorder recorder;

private:
    std::shared_ptr<Element> m_element;
};

// The data as a project file holds it: written as JSON text and read back.
inline QVariant throughJsonText(const QVariant& data)
{
    const QByteArray text = QJsonDocument(QJsonObject::fromVariantMap(data.toMap())).toJson();
    return QJsonDocument::fromJson(text).object().toVariantMap();
}

} // namespace motifex::test
