#pragma once

#include "shape/Type.h"

#include "geo/Path.h"
#include "geo/Point2D.h"
#include "geo/Size.h"
#include "mod/Object.h"

#include <QByteArray>
#include <QColor>
#include <QSharedPointer>
#include <QString>
#include <QVariant>

#include <memory>

namespace svg {
class Node;
}

namespace canvas {
class CanvasItem;
}

namespace shape {

// A shape definition: a family (type), an identifier, a display name, the built-in flag and the values
// of the family's modifiers. It produces outlines in the unit square (1000000 = 1, centred on (0, 0)),
// the SVG that draws it, and its data map for shape files and project files.
class Base : public mod::Object
{
public:
    Base() = default;
    ~Base() override = default;

    virtual Type type() const = 0;
    // The element placed in the defs that the use elements refer to; none by default.
    virtual std::shared_ptr<svg::Node> createDefinition(const QString& id) const;
    virtual std::shared_ptr<svg::Node> createUse(const QString& id, const QSharedPointer<canvas::CanvasItem>& item,
                                                 const geo::Point2D& offset) const = 0;
    virtual bool hasComplexOutline() const;
    virtual geo::Path createComplexOutline(const QSharedPointer<canvas::CanvasItem>& item) const;
    virtual geo::Path createFramePath() const;

    const QString& identifier() const noexcept { return m_identifier; }
    void setIdentifier(const QString& identifier) { m_identifier = identifier; }
    const QString& name() const noexcept { return m_name; }
    void setName(const QString& name) { m_name = name; }
    bool isBuiltIn() const noexcept { return m_builtIn; }
    void makeBuiltIn() noexcept { m_builtIn = true; }

    // A new UUID text without braces.
    void setRandomIdentifier();
    // A random identifier, the family's label as name, every modifier at its default.
    void resetToDefaults();

    static bool isValidIdentifier(const QString& identifier);
    static bool isValidName(const QString& name);

    // Reads a shape data map into this shape and returns its stored index; throws err::Deserialize.
    // A failed read may leave identifier and name replaced: read into a fresh shape.
    int setFromDataOrThrow(const QVariant& data);
    QVariant toData(int index) const;

    // A stand-alone SVG document of the shape filling the size, in the colour (UTF-8).
    QByteArray toSvg(geo::Size size, const QColor& color) const;
    // The shape editor's picture: the shape over a grid (UTF-8 SVG).
    QByteArray toPreview() const;
    // A use element that scales the unit outline to the item and rotates it by the item's angle.
    std::shared_ptr<svg::Node> createTransformUse(const QString& id, const QSharedPointer<canvas::CanvasItem>& item,
                                                  const geo::Point2D& offset) const;

    // Same type, same name and the same modifier values (within 1e-6); identifiers are not compared.
    bool isVisuallyEqual(const std::shared_ptr<Base>& other) const;
    // A new, not built-in shape of the same type with a random identifier, the same name and values.
    std::shared_ptr<Base> copy() const;
    // A key for cached pictures of the shape: name, identifier, built-in flag and modifier values.
    QString visualFingerprint() const;

protected:
    virtual void loadModifiersOrThrow(const QVariantMap& map);
    virtual void saveModifiers(QVariantMap& map) const;

private:
    QString m_identifier;
    QString m_name;
    bool m_builtIn = false;
};

} // namespace shape
