#pragma once

#include "editors/PropertyTab.h"

class Normal1DWidget;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QPushButton;
class ShapeWidget;

// The first tab, "Main Settings": generator and placement algorithm, rounding precision, spacing and
// overlap, the default shape, random placement, the two placement switches, and a button that opens
// the example gallery.
class MainTab : public PropertyTab
{
    Q_OBJECT

public:
    explicit MainTab(QWidget* parent);

    // Refills the algorithm list for the document's generator and selects the document's algorithm
    // (the first one when the generator does not list it). Writes nothing.
    void updateAlgorithmList();

    QComboBox* generatorChooser() const { return m_generatorChooser; }
    QComboBox* algorithmChooser() const { return m_algorithmChooser; }
    QComboBox* precisionChooser() const { return m_precisionChooser; }
    QDoubleSpinBox* spacingField() const { return m_spacingField; }
    QDoubleSpinBox* overlapField() const { return m_overlapField; }
    ShapeWidget* defaultShapeChooser() const { return m_defaultShapeChooser; }
    Normal1DWidget* randomPlacementEditor() const { return m_randomPlacementEditor; }
    QCheckBox* roundPositionsCheck() const { return m_roundPositionsCheck; }
    QCheckBox* snapToFrameCheck() const { return m_snapToFrameCheck; }
    QPushButton* galleryButton() const { return m_galleryButton; }

protected:
    void refreshProperty(const QString& key) override;
    void refreshAll() override;

private:
    void initializeUi();
    void addGeneratorChooser();
    void addPrecisionChooser();
    QDoubleSpinBox* addLengthField(const QString& labelText);
    void addSwitches();
    void addGalleryButton();
    void connectControls();

    void writeGenerator();
    void writeAlgorithm();
    void writePrecision();
    void writeWorldShape();

    void refreshGenerator();
    void refreshAlgorithm();
    void refreshPrecision();
    void refreshSpacing();
    void refreshOverlap();
    void refreshWorldShape();
    void refreshRandomPlacement();
    void refreshRoundPositions();
    void refreshSnapToFrame();

    QComboBox* m_generatorChooser = nullptr;
    QComboBox* m_algorithmChooser = nullptr;
    QComboBox* m_precisionChooser = nullptr;
    QDoubleSpinBox* m_spacingField = nullptr;
    QDoubleSpinBox* m_overlapField = nullptr;
    ShapeWidget* m_defaultShapeChooser = nullptr;
    Normal1DWidget* m_randomPlacementEditor = nullptr;
    QCheckBox* m_roundPositionsCheck = nullptr;
    QCheckBox* m_snapToFrameCheck = nullptr;
    QPushButton* m_galleryButton = nullptr;
};
