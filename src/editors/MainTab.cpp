#include "editors/MainTab.h"

#include "app/ApplicationController.h"
#include "app/MainWindow.h"
#include "doc/Document.h"
#include "doc/Properties.h"
#include "editors/ClampingSpinBox.h"
#include "editors/Normal1DWidget.h"
#include "editors/ShapeWidget.h"
#include "generator/Generator.h"
#include "generator/GeneratorManager.h"
#include "geo/Length.h"
#include "geo/Precision.h"
#include "shape/Manager.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <array>

namespace {

constexpr int iconSize = 20;

struct PrecisionEntry {
    const char* text;
    int iconCodePoint;
};

// The combo box index is the precision level.
const std::array<PrecisionEntry, 3> precisionEntries{{
    {QT_TRANSLATE_NOOP("MainTab", "1 mm"), 0xE196},
    {QT_TRANSLATE_NOOP("MainTab", "0.1 mm"), 0xE195},
    {QT_TRANSLATE_NOOP("MainTab", "0.01 mm"), 0xE198},
}};

const QString keyGeneratorIdentifier = QStringLiteral("generatorIdentifier");
const QString keyAlgorithmIdentifier = QStringLiteral("algorithmIdentifier");
const QString keyPrecision = QStringLiteral("precision");
const QString keyItemSpacing = QStringLiteral("itemSpacing");
const QString keyItemOverlap = QStringLiteral("itemOverlap");
const QString keyWorldShape = QStringLiteral("worldShape");
const QString keyRandomPlacementAmount = QStringLiteral("randomPlacementAmount");
const QString keyRoundToPrecisionEnabled = QStringLiteral("roundToPrecisionEnabled");
const QString keySnapToFrameEnabled = QStringLiteral("snapToFrameEnabled");

ApplicationController* controller()
{
    return ApplicationController::instance();
}

QPixmap iconPixmap(int codePoint)
{
    return controller() != nullptr ? controller()->pixmapForIcon(codePoint, iconSize) : QPixmap();
}

} // namespace

MainTab::MainTab(QWidget* parent)
    : PropertyTab(parent)
{
    initializeUi();
}

void MainTab::initializeUi()
{
    setTitle(tr("Main Settings"));
    addGeneratorChooser();
    m_algorithmChooser = new QComboBox(this);
    m_algorithmChooser->setIconSize(QSize(iconSize, iconSize));
    addRow(tr("Algorithm:"), m_algorithmChooser);
    addPrecisionChooser();
    m_spacingField = addLengthField(tr("Spacing (mm):"));
    m_overlapField = addLengthField(tr("Overlapping (mm):"));
    m_defaultShapeChooser = new ShapeWidget(false, this);
    addRow(tr("Default Shape:"), m_defaultShapeChooser);
    m_randomPlacementEditor = new Normal1DWidget(Normal1DWidget::Mode::Percent, this);
    addRow(tr("Random Placement:"), m_randomPlacementEditor);
    addSwitches();
    addFinalStretch();
    addGalleryButton();
    updateAlgorithmList();
    // Only now: filling the controls above must write nothing into the document.
    connectControls();
}

void MainTab::addGeneratorChooser()
{
    m_generatorChooser = new QComboBox(this);
    const auto generators = controller() != nullptr ? controller()->generatorManager() : nullptr;
    if (generators != nullptr) {
        for (const auto& [name, identifier] : generators->nameList()) {
            m_generatorChooser->addItem(name, identifier);
        }
    }
    addRow(tr("Generator:"), m_generatorChooser);
}

void MainTab::addPrecisionChooser()
{
    m_precisionChooser = new QComboBox(this);
    m_precisionChooser->setIconSize(QSize(iconSize, iconSize));
    for (const PrecisionEntry& entry : precisionEntries) {
        m_precisionChooser->addItem(QIcon(iconPixmap(entry.iconCodePoint)), tr(entry.text));
    }
    addRow(tr("Precision:"), m_precisionChooser);
}

QDoubleSpinBox* MainTab::addLengthField(const QString& labelText)
{
    // Like every length box of the panel: a typed number is one edit, kept within the range.
    auto* field = new ClampingSpinBox(this);
    field->setMinimumHeight(24);
    field->setRange(0.0, 100.0);
    field->setSingleStep(0.1);
    addRow(labelText, field);
    return field;
}

void MainTab::addSwitches()
{
    m_roundPositionsCheck = new QCheckBox(tr("Round positions"), this);
    m_roundPositionsCheck->setToolTip(
        tr("After placing all elements on the canvas, round the position with the selected precision. This "
           "option makes only sense if you do postprocessing and require rounded positions."));
    addRow(QString(), m_roundPositionsCheck);
    m_snapToFrameCheck = new QCheckBox(tr("Snap to Frame"), this);
    m_snapToFrameCheck->setToolTip(tr("If an item is very close to the frame, so no other item can be placed "
                                      "there, place it as close to the frame as possible."));
    addRow(QString(), m_snapToFrameCheck);
}

void MainTab::addGalleryButton()
{
    m_galleryButton = new QPushButton(tr("Open Example Gallery..."), this);
    m_galleryButton->setFlat(true);
    mainLayout()->addWidget(m_galleryButton);
    connect(m_galleryButton, &QPushButton::clicked, this, [] {
        if (MainWindow* window = controller() != nullptr ? controller()->mainWindow() : nullptr) {
            window->showExampleGallery();
        }
    });
}

void MainTab::connectControls()
{
    connect(m_generatorChooser, &QComboBox::currentIndexChanged, this, &MainTab::writeGenerator);
    connect(m_algorithmChooser, &QComboBox::currentIndexChanged, this, &MainTab::writeAlgorithm);
    connect(m_precisionChooser, &QComboBox::currentIndexChanged, this, &MainTab::writePrecision);
    connect(m_spacingField, &QDoubleSpinBox::valueChanged, this, [this](double millimetres) {
        writeProperties([this, millimetres] { properties()->setItemSpacing(geo::Length::fromDouble(millimetres)); });
    });
    connect(m_overlapField, &QDoubleSpinBox::valueChanged, this, [this](double millimetres) {
        writeProperties([this, millimetres] { properties()->setItemOverlap(geo::Length::fromDouble(millimetres)); });
    });
    connect(m_defaultShapeChooser, &ShapeWidget::valueChanged, this, &MainTab::writeWorldShape);
    connect(m_randomPlacementEditor, &Normal1DWidget::valueChanged, this, [this] {
        writeProperties([this] { properties()->setRandomPlacementAmount(m_randomPlacementEditor->value()); });
    });
    connect(m_roundPositionsCheck, &QCheckBox::stateChanged, this, [this] {
        writeProperties([this] { properties()->setRoundToPrecisionEnabled(m_roundPositionsCheck->isChecked()); });
    });
    connect(m_snapToFrameCheck, &QCheckBox::stateChanged, this, [this] {
        writeProperties([this] { properties()->setSnapToFrameEnabled(m_snapToFrameCheck->isChecked()); });
    });
}

void MainTab::writeGenerator()
{
    if (m_generatorChooser->currentIndex() < 0) {
        return;
    }
    writeProperties([this] {
        properties()->setGeneratorIdentifier(m_generatorChooser->currentData().toString());
        // The tab hears no refresh of its own write, so it brings the algorithm list to the new generator
        // here and stores the algorithm the list now shows.
        updateAlgorithmList();
        if (m_algorithmChooser->currentIndex() >= 0) {
            properties()->setAlgorithmIdentifier(m_algorithmChooser->currentData().toString());
        }
    });
}

void MainTab::writeAlgorithm()
{
    if (m_algorithmChooser->currentIndex() < 0) {
        return;
    }
    writeProperties([this] { properties()->setAlgorithmIdentifier(m_algorithmChooser->currentData().toString()); });
}

void MainTab::writePrecision()
{
    const int level = m_precisionChooser->currentIndex();
    if (level < 0) {
        return;
    }
    writeProperties([this, level] { properties()->setPrecision(geo::Precision::fromLevel(level)); });
}

void MainTab::writeWorldShape()
{
    const auto* manager = shape::Manager::instance();
    const auto shape = manager != nullptr ? manager->shape(m_defaultShapeChooser->value()) : nullptr;
    // An identifier the database does not hold names no shape: the document keeps the one it has.
    if (shape == nullptr) {
        return;
    }
    writeProperties([this, &shape] { properties()->setWorldShape(shape); });
}

void MainTab::updateAlgorithmList()
{
    const auto generators = controller() != nullptr ? controller()->generatorManager() : nullptr;
    const auto generator =
        generators != nullptr ? generators->get(properties()->generatorIdentifier()) : QSharedPointer<Generator>();
    // Clearing and filling the list are no choices of the user: nothing may be written meanwhile.
    const QSignalBlocker blocker(m_algorithmChooser);
    m_algorithmChooser->clear();
    if (generator != nullptr) {
        for (const Generator::AlgorithmEntry& entry : generator->algorithmList()) {
            m_algorithmChooser->addItem(QIcon(iconPixmap(entry.icon)), entry.name, entry.identifier);
        }
    }
    refreshAlgorithm();
}

void MainTab::refreshProperty(const QString& key)
{
    if (key == keyGeneratorIdentifier) {
        refreshGenerator();
    } else if (key == keyAlgorithmIdentifier) {
        refreshAlgorithm();
    } else if (key == keyPrecision) {
        refreshPrecision();
    } else if (key == keyItemSpacing) {
        refreshSpacing();
    } else if (key == keyItemOverlap) {
        refreshOverlap();
    } else if (key == keyWorldShape) {
        refreshWorldShape();
    } else if (key == keyRandomPlacementAmount) {
        refreshRandomPlacement();
    } else if (key == keyRoundToPrecisionEnabled) {
        refreshRoundPositions();
    } else if (key == keySnapToFrameEnabled) {
        refreshSnapToFrame();
    }
}

void MainTab::refreshAll()
{
    refreshGenerator();
    refreshPrecision();
    refreshSpacing();
    refreshOverlap();
    refreshWorldShape();
    refreshRandomPlacement();
    refreshRoundPositions();
    refreshSnapToFrame();
}

void MainTab::refreshGenerator()
{
    m_generatorChooser->setCurrentIndex(m_generatorChooser->findData(properties()->generatorIdentifier()));
    updateAlgorithmList();
}

void MainTab::refreshAlgorithm()
{
    const int index = m_algorithmChooser->findData(properties()->algorithmIdentifier());
    m_algorithmChooser->setCurrentIndex(index >= 0 ? index : 0);
}

void MainTab::refreshPrecision()
{
    // Levels 3 to 6 have no entry: none is selected, and the level stays until the user picks one.
    const int level = properties()->precision().level();
    m_precisionChooser->setCurrentIndex(level < m_precisionChooser->count() ? level : -1);
}

void MainTab::refreshSpacing()
{
    m_spacingField->setValue(properties()->itemSpacing().toDouble());
}

void MainTab::refreshOverlap()
{
    m_overlapField->setValue(properties()->itemOverlap().toDouble());
}

void MainTab::refreshWorldShape()
{
    const auto worldShape = properties()->worldShape();
    m_defaultShapeChooser->setValue(worldShape != nullptr ? worldShape->identifier() : QString());
}

void MainTab::refreshRandomPlacement()
{
    m_randomPlacementEditor->setValue(properties()->randomPlacementAmount());
}

void MainTab::refreshRoundPositions()
{
    m_roundPositionsCheck->setChecked(properties()->isRoundToPrecisionEnabled());
}

void MainTab::refreshSnapToFrame()
{
    m_snapToFrameCheck->setChecked(properties()->isSnapToFrameEnabled());
}
