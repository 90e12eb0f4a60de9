#pragma once

#include "doc/DocumentChangeListener.h"
#include "editors/ListenerRegistration.h"
#include "widgets/FramedControl.h"

#include <QRgba64>
#include <QTimer>

#include <memory>
#include <vector>

class ActionButton;
class ColorPresetDialog;
class QAction;
class QLabel;

namespace doc {
class Color;
}

// A live picture of a document colour: a 100 × 100 grid of the colours items get across the unit
// square, with the inputs of the four channels named in a corner. Its buttons set a static colour from
// the preset menus or the colour dialog, give the colour back to its parent, and open the colour preset
// dialog. The buttons write straight into the colour; the editors beside it follow the colour.
class ColorPreviewWidget : public FramedControl, private doc::DocumentChangeListener
{
    Q_OBJECT

public:
    static constexpr int gridColumns = 100;
    static constexpr int gridRows = 100;

    explicit ColorPreviewWidget(QWidget* parent);
    ~ColorPreviewWidget() override;

    // Follows the colour and, when it has one, its parent (so an item colour's picture follows the
    // world colour). The same colour again changes nothing.
    void setColor(const std::shared_ptr<doc::Color>& color);
    const std::shared_ptr<doc::Color>& color() const { return m_color; }
    // false hides the four buttons for good; true changes nothing.
    void setEditable(bool isEditable);
    bool isEditable() const { return m_isEditable; }

    // The grid colour of column i and row j.
    QRgba64 gridColor(int column, int row) const;

    QLabel* inputLabel() const { return m_inputLabel; }
    ActionButton* presetsButton() const { return m_presetsButton; }
    ActionButton* customColorButton() const { return m_customColorButton; }
    ActionButton* parentButton() const { return m_parentButton; }
    ActionButton* colorPresetsButton() const { return m_colorPresetsButton; }
    // Null until the colour presets button was first clicked.
    ColorPresetDialog* colorPresetDialog() const { return m_colorPresetDialog; }

public slots:
    // Recomputes label, grid and parent button from the colour.
    void onColorChanged();
    // A preset menu entry was chosen.
    void onStaticColorSelected();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void onDocumentPropertyChanged(const QString& path, const doc::DocumentElement* element) override;
    void onDocumentElementReset() override;

    void initializeUi();
    void showButtonsForColor();
    void chooseCustomColor();
    void useParentColor();
    void openColorPresets();
    void updateLabel();
    void updateGrid();

    std::shared_ptr<doc::Color> m_color;
    ListenerRegistration m_colorRegistration;
    // The parent the preview joined, which stays the one it leaves.
    ListenerRegistration m_parentRegistration;
    QLabel* m_inputLabel = nullptr;
    ActionButton* m_presetsButton = nullptr;
    ActionButton* m_customColorButton = nullptr;
    ActionButton* m_parentButton = nullptr;
    ActionButton* m_colorPresetsButton = nullptr;
    // The "Default" entry of the presets menu and the separator before it.
    QAction* m_defaultEntry = nullptr;
    QAction* m_defaultSeparator = nullptr;
    ColorPresetDialog* m_colorPresetDialog = nullptr;
    QTimer m_timer;
    // Row by row: index = column + 100 × row.
    std::vector<QRgba64> m_grid;
    bool m_isEditable = true;
};
