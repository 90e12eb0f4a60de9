#pragma once

#include "doc/DocumentChangeListener.h"
#include "doc/DocumentElement.h"
#include "doc/DynamicValueInput.h"
#include "doc/ItemStyleInput.h"
#include "geo/Normal1D.h"
#include "geo/Normal2D.h"
#include "geo/NormalRange.h"

#include <functional>
#include <memory>

namespace doc {

class InputFunctions;

// One style quantity of a placed item (rotation, order, a colour channel), computed per item: an input
// is shaped by the chain of input functions, mapped into the range, shifted by the offset and brought
// into 0..1 by wrapping (cyclic quantities) or clamping.
class DynamicValue : public DocumentElement, public DocumentChangeListener
{
public:
    explicit DynamicValue(Document* document);
    DynamicValue(Document* document, DynamicValueInput input, geo::Normal1D offset, geo::NormalRange range,
                 geo::Normal2D center);
    ~DynamicValue() override;

    QVariant toData() const override;
    // Fails only on an unknown function in the chain; the input has then already been replaced, the
    // chain, offset, range and center keep their old values and no reset is announced.
    void setFromDataOrThrow(const QVariant& data) override;

    void onDocumentPropertyChanged(const QString& name, const DocumentElement* element) override;
    void onDocumentElementAdded(const QString& name) override;
    void onDocumentElementRemoved(const QString& name) override;
    void onDocumentElementReset() override;

    DynamicValueInput input() const { return m_input; }
    geo::Normal1D offset() const { return m_offset; }
    const geo::NormalRange& range() const { return m_range; }
    const geo::Normal2D& center() const { return m_center; }
    // Editors change the chain directly; its changes are announced here as "functions".
    const std::shared_ptr<InputFunctions>& functions() const { return m_functions; }
    const std::shared_ptr<DynamicValue>& parent() const { return m_parent; }

    void setInput(DynamicValueInput input);
    void setOffset(geo::Normal1D offset);
    void setRange(const geo::NormalRange& range);
    void setCenter(const geo::Normal2D& center);
    // Set by the owner; neither announced nor stored.
    void setParent(const std::shared_ptr<DynamicValue>& parent);

    void resetToDefaults();
    void resetToInheritFromParent();

    // The value for one item, within [0, 1]. Pass cyclic for rotation and hue.
    geo::Normal1D normal(const ItemStyleInput& in, bool cyclic) const;
    // The last step of normal: the fractional part (counted from 1 for negative values) when cyclic,
    // else the value clamped to [0, 1]; NaN gives 0.
    static geo::Normal1D wrappedOrClamped(double value, bool cyclic);

    // The next number of the process-wide random source, uniform in [0, 1). Thread-safe.
    static geo::Normal1D randomNormal();
    // One value of the device, or of the system's generator when the device fails by throwing.
    static quint64 randomSeed(const std::function<quint64()>& device);

    // A key for comparing and caching: "{input;chain;offset;begin-end;x,y}"; the parent is not part of it.
    QString toString() const;

private:
    void resetTo(DynamicValueInput input);
    double inputValue(const ItemStyleInput& in, bool cyclic) const;
    double polarAngle(const geo::Normal2D& point) const;
    double polarDistance(const geo::Normal2D& point) const;

    std::shared_ptr<DynamicValue> m_parent;
    DynamicValueInput m_input = DynamicValueInput::Zero;
    std::shared_ptr<InputFunctions> m_functions;
    geo::Normal1D m_offset;
    geo::NormalRange m_range{0.0, 1.0};
    geo::Normal2D m_center{0.5, 0.5};
};

} // namespace doc
