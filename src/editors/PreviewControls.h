#pragma once

#include "doc/DynamicValueInput.h"

class ActionButton;
class QGridLayout;
class QLabel;
class QWidget;

// What the colour, rotation and order previews share: a grid of controls over the picture, the label
// that names the value's inputs in its top-left corner, and the button that gives the value back to
// its parent.
namespace PreviewControls {

// Minimum width 200, fixed height 160, and a grid with margins 16 whose column 2 and row 2 stretch,
// so that the buttons keep to the corners.
QGridLayout* setUpPreview(QWidget* preview);
// The label with object name "previewInputLabel" at row 0, column 0, spanning 3 × 3 cells, top-left,
// with a black shadow that keeps it readable on light pictures.
QLabel* addInputLabel(QWidget* preview, QGridLayout* layout);
// The label's font: the preview's font at 10 pixels, bold.
void applyInputLabelFont(QLabel* label, const QWidget* preview);
// The input as a preview names it; nothing for "parent", which the checked parent button shows.
QString inputPreviewText(doc::DynamicValueInput input);
// A checkable, opaque parent button (glyph U+F345).
ActionButton* createParentButton(QWidget* preview, const QString& toolTip);
// An opaque button over the picture.
ActionButton* createOverlayButton(unsigned glyph, QWidget* preview, const QString& toolTip);

} // namespace PreviewControls
