#pragma once

#include <QDialog>
#include <QVariant>

#include <memory>

class ColorWidget;
class DynamicValueWidget;
class OrderPreviewWidget;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTabWidget;
class RotationPreviewWidget;
class ShapeWidget;
class TransitionBox;

namespace doc {
class Item;
}

// Edits one item definition on four pages: shape, count and radius with its transition; colour;
// rotation; stacking order. Every control writes into the item at once; closing keeps every edit, and
// "Reset to Original" puts the item back as it was when it was given to the dialog.
class ItemEditDialog : public QDialog
{
    Q_OBJECT

public:
    enum class Mode : int {
        New = 0,  // an item just added
        Edit = 1, // an existing item
    };

    explicit ItemEditDialog(QWidget* parent);
    ~ItemEditDialog() override;

    // The titles only.
    void setMode(Mode mode);
    Mode mode() const { return m_mode; }
    // Edits the item from now on and remembers its data for "Reset to Original".
    void setItem(const std::shared_ptr<doc::Item>& item);
    const std::shared_ptr<doc::Item>& item() const { return m_item; }

    QLabel* titleLabel() const { return m_titleLabel; }
    QTabWidget* tabWidget() const { return m_tabWidget; }
    ShapeWidget* shapeChooser() const { return m_shapeChooser; }
    QSpinBox* countBox() const { return m_countBox; }
    QDoubleSpinBox* radiusBeginBox() const { return m_radiusBeginBox; }
    TransitionBox* transitionBox() const { return m_transitionBox; }
    QDoubleSpinBox* radiusEndBox() const { return m_radiusEndBox; }
    ColorWidget* colorWidget() const { return m_colorWidget; }
    RotationPreviewWidget* rotationPreview() const { return m_rotationPreview; }
    DynamicValueWidget* rotationEditor() const { return m_rotationEditor; }
    OrderPreviewWidget* orderPreview() const { return m_orderPreview; }
    DynamicValueWidget* orderEditor() const { return m_orderEditor; }
    QPushButton* resetButton() const { return m_resetButton; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void initializeUi();
    QWidget* initializeMain();
    QWidget* initializeColor();
    QWidget* initializeRotation();
    QWidget* initializeOrder();
    void initializeButtons();
    void connectControls();

    // Shows the item's values in every control; writes nothing.
    void fillControls();
    void showRadiusEnd(bool hasTransition, double radiusEnd);

    // Runs write (setters of the item) as an editor update.
    template<typename Write>
    void writeItem(const Write& write);
    void onRadiusBeginChanged(double radiusBegin);
    void onTransitionChanged();
    void onResetToOriginal();

    Mode m_mode = Mode::New;
    std::shared_ptr<doc::Item> m_item;
    QVariant m_startingData;
    QLabel* m_titleLabel = nullptr;
    QTabWidget* m_tabWidget = nullptr;
    ShapeWidget* m_shapeChooser = nullptr;
    QSpinBox* m_countBox = nullptr;
    QDoubleSpinBox* m_radiusBeginBox = nullptr;
    TransitionBox* m_transitionBox = nullptr;
    QDoubleSpinBox* m_radiusEndBox = nullptr;
    ColorWidget* m_colorWidget = nullptr;
    RotationPreviewWidget* m_rotationPreview = nullptr;
    DynamicValueWidget* m_rotationEditor = nullptr;
    OrderPreviewWidget* m_orderPreview = nullptr;
    DynamicValueWidget* m_orderEditor = nullptr;
    QPushButton* m_resetButton = nullptr;
};
