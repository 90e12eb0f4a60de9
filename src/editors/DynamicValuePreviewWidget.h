#pragma once

#include "doc/DocumentChangeListener.h"
#include "doc/ItemStyleInput.h"
#include "editors/ListenerRegistration.h"
#include "widgets/FramedControl.h"

#include <QTimer>

#include <memory>
#include <vector>

class ActionButton;
class QLabel;

namespace doc {
class DynamicValue;
}

// The base of the rotation and order previews: a grid of cells over the unit square, each drawn as if
// an item stood in it, with the value's input named in a corner, a button that gives the value back to
// its parent, and two preset buttons that are not offered yet.
class DynamicValuePreviewWidget : public FramedControl, private doc::DocumentChangeListener
{
    Q_OBJECT

public:
    // One cell of the grid, in widget pixels, and the item that stands in it.
    struct Cell {
        QPoint center;
        QSize size;
        doc::ItemStyleInput input;
    };

    ~DynamicValuePreviewWidget() override;

    // Follows the value and, when it has one, its parent. The same value again changes nothing.
    void setValue(const std::shared_ptr<doc::DynamicValue>& value);
    const std::shared_ptr<doc::DynamicValue>& value() const { return m_value; }

    // Columns and rows of the grid in a widget of the size: one per 20 pixels inside an 8 pixel inset;
    // empty when either would be below one.
    static QSize gridSize(const QSize& widgetSize);
    // The cells in painting order, columns outer and rows inner.
    static std::vector<Cell> gridCells(const QSize& widgetSize);

    QLabel* inputLabel() const { return m_inputLabel; }
    ActionButton* parentButton() const { return m_parentButton; }
    ActionButton* loadPresetButton() const { return m_loadPresetButton; }
    ActionButton* savePresetButton() const { return m_savePresetButton; }

public slots:
    // Shows the value's input in the label and on the parent button, and repaints.
    void onValueChanged();

protected:
    DynamicValuePreviewWidget(const QString& loadPresetToolTip, const QString& savePresetToolTip, QWidget* parent);

    void paintEvent(QPaintEvent* event) override;
    // Fills the shape of one cell; the painter's origin is the cell centre.
    virtual void paintCell(QPainter* painter, const Cell& cell, const doc::DynamicValue& value) = 0;

private:
    void onDocumentPropertyChanged(const QString& path, const doc::DocumentElement* element) override;
    void onDocumentElementReset() override;

    void initializeUi(const QString& loadPresetToolTip, const QString& savePresetToolTip);
    void useParentValue();

    std::shared_ptr<doc::DynamicValue> m_value;
    ListenerRegistration m_valueRegistration;
    // The parent the preview joined, which stays the one it leaves.
    ListenerRegistration m_parentRegistration;
    QLabel* m_inputLabel = nullptr;
    ActionButton* m_parentButton = nullptr;
    ActionButton* m_loadPresetButton = nullptr;
    ActionButton* m_savePresetButton = nullptr;
    QTimer m_timer;
};
