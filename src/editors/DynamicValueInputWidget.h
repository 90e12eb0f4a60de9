#pragma once

#include "doc/DynamicValueInput.h"
#include "geo/Normal2D.h"

#include <QFrame>

class QAbstractButton;
class QButtonGroup;

class Normal2DWidget;

// Chooses the input of a dynamic value with one icon button per input, and edits the centre point of
// the two polar inputs. The checked button is the chosen input.
class DynamicValueInputWidget : public QFrame
{
    Q_OBJECT

public:
    explicit DynamicValueInputWidget(QWidget* parent = nullptr);

    // Checks the input's button when another input is shown; emits nothing.
    void setInputValue(doc::DynamicValueInput input);
    doc::DynamicValueInput inputValue() const;
    void setCenterValue(const geo::Normal2D& center);
    geo::Normal2D centerValue() const;
    // Whether the "parent" input can be chosen (values without a parent cannot use it).
    void setParentEnabled(bool isEnabled);

    QAbstractButton* button(doc::DynamicValueInput input) const;
    Normal2DWidget* centerEditor() const { return m_centerEditor; }

signals:
    // The user clicked an input button (reported from the event loop, after the click) or changed the
    // centre point.
    void valueChanged();

public slots:
    // Enables the centre editor exactly for the polar inputs.
    void onInputChanged();

private:
    void initializeUi();
    QFrame* createButtonFrame();

    QButtonGroup* m_buttonGroup = nullptr;
    Normal2DWidget* m_centerEditor = nullptr;
};
