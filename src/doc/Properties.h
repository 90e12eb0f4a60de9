#pragma once

#include "doc/CompareResult.h"
#include "doc/DocumentChangeListener.h"
#include "doc/DocumentElement.h"
#include "frame/Shape.h"
#include "geo/Length.h"
#include "geo/Normal1D.h"
#include "geo/Precision.h"
#include "geo/Size.h"

#include <QColor>
#include <QString>
#include <QStringList>

#include <array>
#include <cstddef>
#include <map>
#include <memory>
#include <vector>

namespace shape {
class Base;
}

namespace doc {

class ChildResetRelay;
class Color;
class DynamicValue;

// The document-wide settings: generator and algorithm, canvas and frame, precision, spacing and overlap,
// the world values that items inherit, random placement, name and notes.
//
// A change of a world value is announced as "<worldRotation|worldOrderZ|worldColor>/<its path>", a reset
// of one (a colour preset loaded into it) as a change of its key alone.
class Properties : public DocumentElement, private DocumentChangeListener
{
public:
    // Shape identifier in the data → identifier under which the shape database holds it.
    using ShapeIdMap = std::map<QString, QString>;

    explicit Properties(Document* document);
    ~Properties() override;

    QVariant toData() const override;
    void setFromDataOrThrow(const QVariant& data) override;
    // Resets, then reads every key present. Plain values are clamped or fall back to their defaults;
    // only the world rotation, order and colour can throw, leaving what was read up to them.
    void setFromDataOrThrow(const QVariant& data, const ShapeIdMap& shapeIdMap);
    using DocumentElement::setFromDataOrThrowWithKey;
    void setFromDataOrThrowWithKey(const QString& key, const QVariant& data, const ShapeIdMap& shapeIdMap);

    // Writes the defaults without announcing them one by one (the world values announce their own
    // changes), then announces one reset.
    void resetToDefault();

    // RequiresRegenerate when a key of propertiesRequireRegenerate() differs, else Changed when
    // anything differs.
    CompareResult compare(const std::shared_ptr<Properties>& other) const;
    static QStringList propertiesRequireRegenerate();

    const QString& generatorIdentifier() const { return m_generatorIdentifier; }
    const QString& algorithmIdentifier() const { return m_algorithmIdentifier; }
    const geo::Size& canvasSize() const { return m_canvasSize; }
    geo::Length canvasMargin() const { return m_canvasMargin; }
    const QColor& canvasBackgroundColor() const { return m_canvasBackgroundColor; }
    bool canvasBackgroundEnabled() const { return m_canvasBackgroundEnabled; }
    const QColor& canvasFrameColor() const { return m_canvasFrameColor; }
    bool canvasFrameEnabled() const { return m_canvasFrameEnabled; }
    frame::Shape canvasFrameShape() const { return m_canvasFrameShape; }
    geo::Normal1D canvasFrameRatio() const { return m_canvasFrameRatio; }
    geo::Normal1D canvasFrameValueA() const { return m_canvasFrameValues[0]; }
    geo::Normal1D canvasFrameValueB() const { return m_canvasFrameValues[1]; }
    geo::Normal1D canvasFrameValueC() const { return m_canvasFrameValues[2]; }
    geo::Normal1D canvasFrameValueD() const { return m_canvasFrameValues[3]; }
    geo::Normal1D canvasFrameValueE() const { return m_canvasFrameValues[4]; }
    // A to E for 0 to 4; 0.0 for any other index.
    geo::Normal1D canvasFrameValue(std::size_t index) const;
    const geo::Precision& precision() const { return m_precision; }
    geo::Length itemSpacing() const { return m_itemSpacing; }
    geo::Length itemOverlap() const { return m_itemOverlap; }
    std::shared_ptr<DynamicValue> worldRotation() const { return m_worldRotation; }
    std::shared_ptr<DynamicValue> worldOrderZ() const { return m_worldOrderZ; }
    // Empty only when no shape database existed when it was set.
    std::shared_ptr<shape::Base> worldShape() const { return m_worldShape; }
    std::shared_ptr<Color> worldColor() const { return m_worldColor; }
    geo::Normal1D randomPlacementAmount() const { return m_randomPlacementAmount; }
    bool isRoundToPrecisionEnabled() const { return m_roundToPrecisionEnabled; }
    bool isSnapToFrameEnabled() const { return m_snapToFrameEnabled; }
    const QString& name() const { return m_name; }
    const QString& notes() const { return m_notes; }

    // Each stores and announces its key only when the value differs; none clamps or cleans.
    void setGeneratorIdentifier(const QString& identifier);
    void setAlgorithmIdentifier(const QString& identifier);
    void setCanvasSize(const geo::Size& size);
    void setCanvasMargin(geo::Length margin);
    void setCanvasBackgroundColor(const QColor& color);
    void setCanvasBackgroundEnabled(bool enabled);
    void setCanvasFrameColor(const QColor& color);
    void setCanvasFrameEnabled(bool enabled);
    void setCanvasFrameShape(frame::Shape shape);
    void setCanvasFrameRatio(geo::Normal1D ratio);
    void setCanvasFrameValueA(geo::Normal1D value);
    void setCanvasFrameValueB(geo::Normal1D value);
    void setCanvasFrameValueC(geo::Normal1D value);
    void setCanvasFrameValueD(geo::Normal1D value);
    void setCanvasFrameValueE(geo::Normal1D value);
    // A to E for 0 to 4; any other index changes nothing.
    void setCanvasFrameValue(std::size_t index, const geo::Normal1D& value);
    // Compares the level only.
    void setPrecision(const geo::Precision& precision);
    void setItemSpacing(geo::Length spacing);
    void setItemOverlap(geo::Length overlap);
    // Compares the shape pointer.
    void setWorldShape(const std::shared_ptr<shape::Base>& shape);
    void setRandomPlacementAmount(geo::Normal1D amount);
    void setRoundToPrecisionEnabled(bool enabled);
    void setSnapToFrameEnabled(bool enabled);
    void setName(const QString& name);
    void setNotes(const QString& notes);

    // The canvas grown by the margin on every side.
    geo::Size documentSize() const;

private:
    static constexpr std::size_t frameValueCount = 5;

    void onDocumentPropertyChanged(const QString& name, const DocumentElement* element) override;

    // The setter rule: store and announce the key only when the value differs.
    template<typename Field>
    void assignAnnounced(Field& field, const Field& value, const QString& key)
    {
        if (field == value) {
            return;
        }
        field = value;
        propertyChanged(key);
    }

    void readGeneratorAndCanvas(const QVariantMap& map);
    void readFrame(const QVariantMap& map);
    void readPlacement(const QVariantMap& map);
    void readWorldValuesOrThrow(const QVariantMap& map, const ShapeIdMap& shapeIdMap);
    void readSwitchesAndText(const QVariantMap& map);

    QString m_generatorIdentifier;
    QString m_algorithmIdentifier;
    geo::Size m_canvasSize;
    geo::Length m_canvasMargin;
    QColor m_canvasBackgroundColor;
    bool m_canvasBackgroundEnabled = true;
    QColor m_canvasFrameColor;
    bool m_canvasFrameEnabled = true;
    frame::Shape m_canvasFrameShape = frame::Shape::Rectangle;
    geo::Normal1D m_canvasFrameRatio;
    std::array<geo::Normal1D, frameValueCount> m_canvasFrameValues;
    geo::Precision m_precision;
    geo::Length m_itemSpacing;
    geo::Length m_itemOverlap;
    std::shared_ptr<DynamicValue> m_worldRotation;
    std::shared_ptr<DynamicValue> m_worldOrderZ;
    std::shared_ptr<shape::Base> m_worldShape;
    std::shared_ptr<Color> m_worldColor;
    geo::Normal1D m_randomPlacementAmount;
    bool m_roundToPrecisionEnabled = false;
    bool m_snapToFrameEnabled = true;
    QString m_name;
    QString m_notes;
    // Declared after the world values, so they leave the values' lists before the values go.
    std::vector<std::unique_ptr<ChildResetRelay>> m_worldValueResetRelays;
};

} // namespace doc
