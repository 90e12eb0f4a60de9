#pragma once

#include "editors/PropertyTab.h"

#include <array>
#include <memory>

class Normal1DWidget;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class StaticColorWidget;

// The canvas tab: a preview of the frame above the canvas size and margin, the colours of background
// and frame with their switches, the frame shape, its ratio and the up to five values of the shape,
// each row labelled with the name the shape gives it.
class CanvasTab : public PropertyTab
{
    Q_OBJECT

public:
    static constexpr int frameValueCount = 5;

    // One value row of the frame: its label and its editor.
    struct FrameValueRow {
        QLabel* label = nullptr;
        Normal1DWidget* editor = nullptr;
    };

    explicit CanvasTab(QWidget* parent);

    // Labels, shows and hides the five value rows for the properties' frame shape.
    void updateValuesUi(const std::shared_ptr<doc::Properties>& properties);

    QComboBox* frameShapeBox() const { return m_frameShapeBox; }
    QDoubleSpinBox* widthBox() const { return m_widthBox; }
    QDoubleSpinBox* heightBox() const { return m_heightBox; }
    QDoubleSpinBox* marginBox() const { return m_marginBox; }
    StaticColorWidget* canvasBackgroundWidget() const { return m_canvasBackground; }
    StaticColorWidget* frameBackgroundWidget() const { return m_frameBackground; }
    Normal1DWidget* frameRatioEditor() const { return m_frameRatio; }
    const FrameValueRow& frameValueRow(int index) const { return m_frameValueRows.at(static_cast<std::size_t>(index)); }

protected:
    void refreshProperty(const QString& key) override;
    void refreshAll() override;

private:
    void initializeUi();
    void addSizeRow();
    void addMarginRow();
    void addFrameValueRows();
    void connectControls();
    QDoubleSpinBox* createMillimeterBox(double minimum);

    void writeFrameShape();
    void writeCanvasWidth(double width);
    void writeCanvasHeight(double height);
    void writeFrameValue(int index);

    void refreshFrameShape();
    void refreshCanvasSize();
    void refreshMargin();
    void refreshCanvasBackground();
    void refreshFrameBackground();
    void refreshFrameRatio();
    void refreshFrameValue(int index);

    QComboBox* m_frameShapeBox = nullptr;
    QDoubleSpinBox* m_widthBox = nullptr;
    QDoubleSpinBox* m_heightBox = nullptr;
    QDoubleSpinBox* m_marginBox = nullptr;
    StaticColorWidget* m_canvasBackground = nullptr;
    StaticColorWidget* m_frameBackground = nullptr;
    Normal1DWidget* m_frameRatio = nullptr;
    std::array<FrameValueRow, frameValueCount> m_frameValueRows;
};
