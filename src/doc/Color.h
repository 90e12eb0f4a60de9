#pragma once

#include "doc/DocumentChangeListener.h"
#include "doc/DocumentElement.h"
#include "doc/ItemStyleInput.h"
#include "geo/Normal2D.h"
#include "geo/NormalRange.h"

#include <QColor>

#include <array>
#include <memory>

namespace doc {

class DynamicValue;

// A colour evaluated per placed item: hue, saturation, value and alpha are each a dynamic value. A
// change of a channel is announced as "<channel>/<key>", for example "hue/functions".
class Color : public DocumentElement, public std::enable_shared_from_this<Color>, private DocumentChangeListener
{
public:
    // The spread an editor starts from when a channel leaves a constant input; the range is added
    // around the offset. A growing input lowers the alpha.
    static const geo::NormalRange dHueRange;
    static const geo::NormalRange dSaturationRange;
    static const geo::NormalRange dValueRange;
    static const geo::NormalRange dAlphaRange;
    static const geo::Normal2D dHueCenter;
    static const geo::Normal2D dSaturationCenter;
    static const geo::Normal2D dValueCenter;
    static const geo::Normal2D dAlphaCenter;

    // The static colour hue 0, saturation 0.8, value 0.8, opaque.
    explicit Color(Document* document);
    ~Color() override;

    QVariant toData() const override;
    // Reads the channels in the order hue, saturation, value, alpha; an error carries the channel's key
    // in front of its key path, and the channels after the failing one keep their old state.
    void setFromDataOrThrow(const QVariant& data) override;

    const std::shared_ptr<DynamicValue>& hue() const { return m_hue; }
    const std::shared_ptr<DynamicValue>& saturation() const { return m_saturation; }
    const std::shared_ptr<DynamicValue>& value() const { return m_value; }
    const std::shared_ptr<DynamicValue>& alpha() const { return m_alpha; }
    const std::shared_ptr<Color>& parent() const { return m_parent; }
    bool hasParent() const { return m_parent != nullptr; }

    // Links each channel to the parent's matching channel; neither announced nor stored.
    void setParent(const std::shared_ptr<Color>& parent);

    // Hue wraps, the other channels are clamped.
    QColor colorForInput(const ItemStyleInput& in) const;

    // Every channel constant at the colour's component; a grey's undefined hue becomes 0.
    void setStaticColor(const QColor& color);
    bool isStaticColor() const;
    // The colour every item gets when static (offsets wrapped or clamped as in evaluation); otherwise
    // an invalid colour.
    QColor staticColour() const;

    // Every channel inherits its parent channel unchanged.
    void setParentColor();
    bool isParentColor() const;

    // "Color{<parent or {}>;<hue>;<saturation>;<value>;<alpha>}", a key for comparing and caching.
    QString toString() const;

private:
    void onDocumentPropertyChanged(const QString& name, const DocumentElement* element) override;

    struct Channel
    {
        const char* key;
        DynamicValue* value;
        const geo::NormalRange* range;
        const geo::Normal2D* center;
    };
    // The four channels in the order hue, saturation, value, alpha.
    std::array<Channel, 4> channels() const;

    std::shared_ptr<Color> m_parent;
    std::shared_ptr<DynamicValue> m_hue;
    std::shared_ptr<DynamicValue> m_saturation;
    std::shared_ptr<DynamicValue> m_value;
    std::shared_ptr<DynamicValue> m_alpha;
};

} // namespace doc
