#pragma once

#include "doc/DocumentChangeListener.h"

#include <QFrame>

#include <memory>

namespace doc {
class DynamicValue;
}

class DynamicValueInputWidget;
class FunctionBox;
class Normal1DWidget;

// Edits one dynamic value: its input (with the polar centre), its function chain, the range the
// shaped input is mapped into, and the offset. It writes only outside document updates and follows
// the value's changes only outside editor updates, so an edit is never echoed back.
class DynamicValueWidget : public QFrame, private doc::DocumentChangeListener
{
    Q_OBJECT

public:
    // How the range and offset are shown.
    enum class DisplayMode : int {
        Rotation = 0, // degrees: world and item rotation
        Hue = 1,      // degrees: the hue of a colour
        Level = 2,    // signed percent: saturation, value, alpha and stacking order
    };

    DynamicValueWidget(DisplayMode displayMode, QWidget* parent);
    ~DynamicValueWidget() override;

    // Edits and follows the value from now on (null for none: the controls keep what they show).
    void setDynamicValue(const std::shared_ptr<doc::DynamicValue>& value);
    std::shared_ptr<doc::DynamicValue> dynamicValue() const { return m_value; }
    DisplayMode displayMode() const { return m_displayMode; }

    // Enables the range editors exactly for inputs that are mapped into the range.
    void updateStates();

    DynamicValueInputWidget* inputWidget() const { return m_inputWidget; }
    FunctionBox* functionBox() const { return m_functionBox; }
    Normal1DWidget* rangeStartEditor() const { return m_rangeStartEditor; }
    Normal1DWidget* rangeEndEditor() const { return m_rangeEndEditor; }
    Normal1DWidget* offsetEditor() const { return m_offsetEditor; }

private:
    void initializeUi();
    void onInputEdited();
    void onRangeStartEdited();
    void onRangeEndEdited();
    void onOffsetEdited();
    void refreshAll();

    void onDocumentPropertyChanged(const QString& path, const doc::DocumentElement* element) override;
    void onDocumentElementReset() override;

    DisplayMode m_displayMode;
    std::shared_ptr<doc::DynamicValue> m_value;
    DynamicValueInputWidget* m_inputWidget = nullptr;
    FunctionBox* m_functionBox = nullptr;
    Normal1DWidget* m_rangeStartEditor = nullptr;
    Normal1DWidget* m_rangeEndEditor = nullptr;
    Normal1DWidget* m_offsetEditor = nullptr;
};
