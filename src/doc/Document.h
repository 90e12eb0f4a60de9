#pragma once

#include "doc/CompareResult.h"
#include "doc/DocumentChangeListener.h"
#include "doc/DocumentElement.h"
#include "doc/UpdateState.h"

#include <QJsonObject>
#include <QSet>
#include <QString>

#include <map>
#include <memory>

namespace doc {

class Items;
class Properties;

// The root of a project: its properties and item definitions, converted to and from the data of a
// project file ("shapes", "properties", "items"). Always made with std::make_shared; its element part
// belongs to itself. Children's changes reach its listeners as paths beginning with "properties" or
// "items", with the document as element.
class Document : public DocumentElement,
                 public std::enable_shared_from_this<Document>,
                 private DocumentChangeListener
{
public:
    // Default properties and the default items. Create the shape database first: the default world
    // shape is its first shape.
    Document();
    ~Document() override;

    std::shared_ptr<Properties> properties() const { return m_properties; }
    std::shared_ptr<Items> items() const { return m_items; }

    // The update-state word; only doc::UpdateScope uses it.
    UpdateState* update() { return &m_updateState; }

    // The shapes of the items and the world shape.
    QSet<QString> shapeIds() const;

    QVariant toData() const override;
    // Does nothing while a control writes into the document. Otherwise reads the whole data first and
    // takes it only when all of it could be read, so a failure leaves the document as it was; then
    // announces one reset. On the main thread the data's shapes are imported into the shape database;
    // elsewhere they are only looked up, and the database is left alone.
    // Throws err::Deserialize "There was a problem while parsing the shape definitions in the document; …"
    // with a key path beginning "document".
    void setFromDataOrThrow(const QVariant& data) override;
    QJsonObject toJson() const;
    void setFromJsonOrThrow(const QJsonObject& json);
    // As setFromJsonOrThrow, but the data's shapes are only looked up in the shape database and never
    // added to it: for a document that is only looked at, such as an example before it is opened. Items
    // keep the identifiers of shapes the database does not hold; a renderer draws them when it is given
    // the data's own shapes (svg::Renderer::setOwnShapes).
    void setFromJsonWithoutShapeImportOrThrow(const QJsonObject& json);

    // Copies the other document through its data, without importing shapes; a document without items
    // is copied without items. When the data cannot be read the failure is logged and the document is
    // reset to its defaults, so it is usable either way.
    // True when the document now holds the copy; false after such a reset, when a control is writing
    // into the document (nothing is done then) or for an empty pointer.
    bool setFromDocument(const std::shared_ptr<Document>& other);

    // Changed when the documents differ only in ways a restyle of the canvas catches up with.
    CompareResult compare(const std::shared_ptr<Document>& other) const;

    // Does nothing while a control writes into the document.
    void resetToDefault();

private:
    // Project data brings its shapes and gets the default items for an empty list; a project that is
    // only looked at does not bring its shapes; a copy of another document neither imports nor fills in,
    // so that it equals its source.
    enum class LoadKind { Project, ProjectWithoutShapeImport, Copy };
    using ShapeIdMap = std::map<QString, QString>;

    // False when nothing was read because a control is writing into the document.
    bool loadOrThrow(const QVariant& data, LoadKind kind);
    void readPartsOrThrow(const QVariantMap& map, const ShapeIdMap& shapeIdMap, LoadKind kind);

    void onDocumentPropertyChanged(const QString& name, const DocumentElement* element) override;
    void onDocumentElementAdded(const QString& name) override;
    void onDocumentElementRemoved(const QString& name) override;
    void onDocumentElementReset() override;

    UpdateState m_updateState = UpdateState::Idle;
    std::shared_ptr<Properties> m_properties;
    std::shared_ptr<Items> m_items;
};

} // namespace doc
