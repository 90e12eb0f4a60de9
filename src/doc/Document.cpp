#include "doc/Document.h"

#include "doc/Items.h"
#include "doc/Properties.h"
#include "doc/UpdateScope.h"
#include "err/Deserialize.h"
#include "shape/Base.h"
#include "shape/Manager.h"

#include <QCoreApplication>
#include <QDebug>
#include <QThread>
#include <QVariantMap>

namespace doc {

namespace {

const QString keyShapes = QStringLiteral("shapes");
const QString keyProperties = QStringLiteral("properties");
const QString keyItems = QStringLiteral("items");
const QString keyDocument = QStringLiteral("document");
const QString loadErrorMessage = QStringLiteral("There was a problem while parsing the shape definitions in the document");

// The shape database takes no lock for its changes, so only the main thread may import into it: the
// thread of the application object. Without an application object there is no main loop whose work
// could overlap, and the caller counts as the main thread.
bool isMainThread()
{
    const QCoreApplication* application = QCoreApplication::instance();
    return application == nullptr || QThread::currentThread() == application->thread();
}

} // namespace

Document::Document()
    : DocumentElement(this)
{
    m_properties = std::make_shared<Properties>(this);
    m_properties->addListener(this);
    m_items = std::make_shared<Items>(this);
    m_items->addListener(this);
}

Document::~Document()
{
    m_items->removeListener(this);
    m_properties->removeListener(this);
}

QSet<QString> Document::shapeIds() const
{
    QSet<QString> identifiers = m_items->shapeIds();
    if (const std::shared_ptr<shape::Base> worldShape = m_properties->worldShape()) {
        identifiers.insert(worldShape->identifier());
    }
    return identifiers;
}

QVariant Document::toData() const
{
    const shape::Manager* shapes = shape::Manager::instance();
    QVariantMap map;
    map.insert(keyShapes, shapes != nullptr ? shapes->toData(shapeIds()) : QVariant(QVariantList{}));
    map.insert(keyProperties, m_properties->toData());
    map.insert(keyItems, m_items->toData());
    return map;
}

void Document::setFromDataOrThrow(const QVariant& data)
{
    loadOrThrow(data, LoadKind::Project);
}

bool Document::loadOrThrow(const QVariant& data, LoadKind kind)
{
    UpdateScope scope(this);
    if (!scope.beginDocumentUpdate()) {
        return false;
    }
    const QVariantMap map = data.toMap();
    try {
        shape::Manager* shapes = shape::Manager::instance();
        const QVariant shapeData = map.value(keyShapes);
        ShapeIdMap shapeIdMap = shapes != nullptr ? shapes->resolveDataOrThrow(shapeData) : ShapeIdMap{};
        // A trial read into a fresh document finds any error before this document or the shape database
        // changes. Reading the same data again below cannot fail: only the shape map differs.
        std::make_shared<Document>()->readPartsOrThrow(map, shapeIdMap, kind);
        if (shapes != nullptr && kind == LoadKind::Project && isMainThread()) {
            shapeIdMap = shapes->setFromDataOrThrow(shapeData);
        }
        readPartsOrThrow(map, shapeIdMap, kind);
    } catch (const err::Deserialize& inner) {
        throw err::Deserialize(loadErrorMessage, keyDocument, inner);
    }
    documentElementReset();
    return true;
}

void Document::readPartsOrThrow(const QVariantMap& map, const ShapeIdMap& shapeIdMap, LoadKind kind)
{
    m_properties->setFromDataOrThrowWithKey(keyProperties, map.value(keyProperties), shapeIdMap);
    m_items->setFromDataOrThrowWithKey(keyItems, map.value(keyItems), shapeIdMap,
                                       kind == LoadKind::Copy ? Items::EmptyList::Empty : Items::EmptyList::Defaults);
}

QJsonObject Document::toJson() const
{
    return QJsonObject::fromVariantMap(toData().toMap());
}

void Document::setFromJsonOrThrow(const QJsonObject& json)
{
    setFromDataOrThrow(QVariant(json.toVariantMap()));
}

void Document::setFromJsonWithoutShapeImportOrThrow(const QJsonObject& json)
{
    loadOrThrow(QVariant(json.toVariantMap()), LoadKind::ProjectWithoutShapeImport);
}

bool Document::setFromDocument(const std::shared_ptr<Document>& other)
{
    if (other == nullptr) {
        return false;
    }
    try {
        return loadOrThrow(other->toData(), LoadKind::Copy);
    } catch (const err::Deserialize& error) {
        qWarning().noquote() << "Could not copy the document, reset it to the defaults:" << error.reason();
        resetToDefault();
        return false;
    }
}

CompareResult Document::compare(const std::shared_ptr<Document>& other) const
{
    const CompareResult propertiesResult = m_properties->compare(other->m_properties);
    if (propertiesResult == CompareResult::RequiresRegenerate) {
        return propertiesResult;
    }
    const CompareResult itemsResult = m_items->compare(other->m_items);
    if (itemsResult == CompareResult::RequiresRegenerate) {
        return itemsResult;
    }
    return propertiesResult == CompareResult::Changed || itemsResult == CompareResult::Changed
        ? CompareResult::Changed
        : CompareResult::Equal;
}

void Document::resetToDefault()
{
    UpdateScope scope(this);
    if (!scope.beginDocumentUpdate()) {
        return;
    }
    m_properties->resetToDefault();
    m_items->resetToDefault();
    documentElementReset();
}

void Document::onDocumentPropertyChanged(const QString& name, const DocumentElement* element)
{
    if (element == m_properties.get()) {
        propertyChanged(keyProperties, name);
    } else if (element == m_items.get()) {
        propertyChanged(keyItems, name);
    } else {
        propertyChanged(QString());
    }
}

void Document::onDocumentElementAdded(const QString& name)
{
    documentElementAdded(keyItems + QLatin1Char('/') + name);
}

void Document::onDocumentElementRemoved(const QString& name)
{
    documentElementRemoved(keyItems + QLatin1Char('/') + name);
}

void Document::onDocumentElementReset()
{
    documentElementReset();
}

} // namespace doc
