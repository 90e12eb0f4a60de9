#include "editors/CanvasTab.h"

#include "doc/Document.h"
#include "doc/Properties.h"
#include "editors/ClampingSpinBox.h"
#include "editors/FramePreviewWidget.h"
#include "editors/Normal1DWidget.h"
#include "editors/StaticColorWidget.h"
#include "frame/Manager.h"
#include "frame/Shape.h"
#include "geo/Fixed.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr double maximumMillimeters = 1000.0;

const QString keyFrameShape = QStringLiteral("canvasFrameShape");
const QString keyCanvasSize = QStringLiteral("canvasSize");
const QString keyCanvasMargin = QStringLiteral("canvasMargin");
const QString keyBackgroundColor = QStringLiteral("canvasBackgroundColor");
const QString keyBackgroundEnabled = QStringLiteral("canvasBackgroundEnabled");
const QString keyFrameColor = QStringLiteral("canvasFrameColor");
const QString keyFrameEnabled = QStringLiteral("canvasFrameEnabled");
const QString keyFrameRatio = QStringLiteral("canvasFrameRatio");
const QString keyFrameValuePrefix = QStringLiteral("canvasFrameValue");

// The parameters of the shape; none without a frame registry.
const std::vector<frame::Parameter>& parametersOf(frame::Shape shape)
{
    static const std::vector<frame::Parameter> none;
    const frame::Manager* frames = frame::Manager::instance();
    return frames != nullptr ? frames->parameters(shape) : none;
}

// "canvasFrameValueA" .. "canvasFrameValueE" give 0 .. 4; anything else -1.
int frameValueIndex(const QString& key)
{
    if (!key.startsWith(keyFrameValuePrefix) || key.size() != keyFrameValuePrefix.size() + 1) {
        return -1;
    }
    const int index = key.back().unicode() - u'A';
    return index >= 0 && index < CanvasTab::frameValueCount ? index : -1;
}

} // namespace

CanvasTab::CanvasTab(QWidget* parent)
    : PropertyTab(parent)
{
    initializeUi();
}

void CanvasTab::initializeUi()
{
    setTitle(tr("Canvas"));
    mainLayout()->addWidget(new FramePreviewWidget(this));

    m_frameShapeBox = new QComboBox(this);
    for (const frame::ShapeListEntry& entry : frame::shapeList()) {
        m_frameShapeBox->addItem(entry.label, entry.identifier);
    }
    addRow(tr("Frame Shape:"), m_frameShapeBox);
    addSizeRow();
    addMarginRow();
    m_canvasBackground = new StaticColorWidget(this);
    addRow(tr("Canvas Background:"), m_canvasBackground);
    m_frameBackground = new StaticColorWidget(this);
    addRow(tr("Frame Background:"), m_frameBackground);
    m_frameRatio = new Normal1DWidget(Normal1DWidget::Mode::Percent, this);
    addRow(tr("Frame Ratio:"), m_frameRatio);
    addFrameValueRows();
    addFinalStretch();
    connectControls();
}

QDoubleSpinBox* CanvasTab::createMillimeterBox(double minimum)
{
    auto* box = new ClampingSpinBox(this);
    box->setMinimumHeight(24);
    box->setRange(minimum, maximumMillimeters);
    box->setSingleStep(0.1);
    box->setDecimals(2);
    return box;
}

void CanvasTab::addSizeRow()
{
    auto* sizeFrame = new QFrame(this);
    sizeFrame->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Preferred);
    auto* layout = new QHBoxLayout(sizeFrame);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    m_widthBox = createMillimeterBox(1.0);
    layout->addWidget(m_widthBox, 10);
    layout->addWidget(new QLabel(tr("x"), sizeFrame));
    m_heightBox = createMillimeterBox(1.0);
    layout->addWidget(m_heightBox, 10);
    addRow(tr("Size (mm):"), sizeFrame);
}

void CanvasTab::addMarginRow()
{
    m_marginBox = createMillimeterBox(0.0);
    m_marginBox->setSpecialValueText(tr("No Margin"));
    addRow(tr("Margin (mm):"), m_marginBox);
}

void CanvasTab::addFrameValueRows()
{
    for (int index = 0; index < frameValueCount; ++index) {
        FrameValueRow& row = m_frameValueRows[static_cast<std::size_t>(index)];
        row.editor = new Normal1DWidget(Normal1DWidget::Mode::Percent, this);
        row.label = addRow(tr("Value %1:").arg(index), row.editor);
        connect(row.editor, &Normal1DWidget::valueChanged, this, [this, index] { writeFrameValue(index); });
    }
}

void CanvasTab::connectControls()
{
    connect(m_frameShapeBox, &QComboBox::currentIndexChanged, this, &CanvasTab::writeFrameShape);
    connect(m_widthBox, &QDoubleSpinBox::valueChanged, this, &CanvasTab::writeCanvasWidth);
    connect(m_heightBox, &QDoubleSpinBox::valueChanged, this, &CanvasTab::writeCanvasHeight);
    connect(m_marginBox, &QDoubleSpinBox::valueChanged, this, [this](double margin) {
        writeProperties([this, margin] { properties()->setCanvasMargin(geo::Length(geo::fixedFromDouble(margin))); });
    });
    connect(m_canvasBackground, &StaticColorWidget::colorChanged, this, [this] {
        writeProperties([this] { properties()->setCanvasBackgroundColor(m_canvasBackground->color()); });
    });
    connect(m_canvasBackground, &StaticColorWidget::visibilityChanged, this, [this] {
        writeProperties([this] { properties()->setCanvasBackgroundEnabled(m_canvasBackground->isVisible()); });
    });
    connect(m_frameBackground, &StaticColorWidget::colorChanged, this, [this] {
        writeProperties([this] { properties()->setCanvasFrameColor(m_frameBackground->color()); });
    });
    connect(m_frameBackground, &StaticColorWidget::visibilityChanged, this, [this] {
        writeProperties([this] { properties()->setCanvasFrameEnabled(m_frameBackground->isVisible()); });
    });
    connect(m_frameRatio, &Normal1DWidget::valueChanged, this,
            [this] { writeProperties([this] { properties()->setCanvasFrameRatio(m_frameRatio->value()); }); });
}

void CanvasTab::writeFrameShape()
{
    // One edit: the shape, the defaults of its values and the rows that show them.
    writeProperties([this] {
        frame::Shape shape = frame::shapeFromString(m_frameShapeBox->currentData().toString());
        if (shape == frame::Shape::NoShape) {
            shape = frame::Shape::Rectangle;
        }
        const std::shared_ptr<doc::Properties> properties = this->properties();
        properties->setCanvasFrameShape(shape);
        const std::vector<frame::Parameter>& parameters = parametersOf(shape);
        for (int index = 0; index < frameValueCount; ++index) {
            const std::size_t position = static_cast<std::size_t>(index);
            const geo::Normal1D value = position < parameters.size() ? parameters[position].defaultValue() : geo::Normal1D(0.0);
            properties->setCanvasFrameValue(position, value);
            m_frameValueRows[position].editor->setValue(value);
        }
        updateValuesUi(properties);
    });
}

// The side the user did not touch comes from the document: its box shows it rounded to 0.01 mm, and
// writing that back would change it.
void CanvasTab::writeCanvasWidth(double width)
{
    writeProperties([this, width] {
        geo::Size size = properties()->canvasSize();
        size.setWidth(geo::fixedFromDouble(width));
        properties()->setCanvasSize(size);
    });
}

void CanvasTab::writeCanvasHeight(double height)
{
    writeProperties([this, height] {
        geo::Size size = properties()->canvasSize();
        size.setHeight(geo::fixedFromDouble(height));
        properties()->setCanvasSize(size);
    });
}

void CanvasTab::writeFrameValue(int index)
{
    writeProperties([this, index] {
        properties()->setCanvasFrameValue(static_cast<std::size_t>(index),
                                          m_frameValueRows[static_cast<std::size_t>(index)].editor->value());
    });
}

void CanvasTab::updateValuesUi(const std::shared_ptr<doc::Properties>& properties)
{
    const std::vector<frame::Parameter>& parameters = parametersOf(properties->canvasFrameShape());
    for (std::size_t index = 0; index < m_frameValueRows.size(); ++index) {
        const FrameValueRow& row = m_frameValueRows[index];
        const bool isUsed = index < parameters.size();
        row.label->setText(isUsed ? parameters[index].label() + QLatin1Char(':') : QString());
        row.label->setVisible(isUsed);
        row.editor->setVisible(isUsed);
    }
}

void CanvasTab::refreshProperty(const QString& key)
{
    if (key == keyFrameShape) {
        refreshFrameShape();
    } else if (key == keyCanvasSize) {
        refreshCanvasSize();
    } else if (key == keyCanvasMargin) {
        refreshMargin();
    } else if (key == keyBackgroundColor || key == keyBackgroundEnabled) {
        refreshCanvasBackground();
    } else if (key == keyFrameColor || key == keyFrameEnabled) {
        refreshFrameBackground();
    } else if (key == keyFrameRatio) {
        refreshFrameRatio();
    } else if (const int index = frameValueIndex(key); index >= 0) {
        refreshFrameValue(index);
    }
}

void CanvasTab::refreshAll()
{
    refreshFrameShape();
    refreshCanvasSize();
    refreshMargin();
    refreshCanvasBackground();
    refreshFrameBackground();
    refreshFrameRatio();
    for (int index = 0; index < frameValueCount; ++index) {
        refreshFrameValue(index);
    }
}

void CanvasTab::refreshFrameShape()
{
    const std::shared_ptr<doc::Properties> properties = this->properties();
    // A shape the box does not list (read from a newer program, say) leaves it without a selection.
    const QString identifier = frame::shapeToString(properties->canvasFrameShape());
    m_frameShapeBox->setCurrentIndex(identifier.isEmpty() ? -1 : m_frameShapeBox->findData(identifier));
    updateValuesUi(properties);
}

void CanvasTab::refreshCanvasSize()
{
    const geo::Size& size = properties()->canvasSize();
    m_widthBox->setValue(geo::fixedToDouble(size.width()));
    m_heightBox->setValue(geo::fixedToDouble(size.height()));
}

void CanvasTab::refreshMargin()
{
    m_marginBox->setValue(geo::fixedToDouble(properties()->canvasMargin().value()));
}

void CanvasTab::refreshCanvasBackground()
{
    m_canvasBackground->setColor(properties()->canvasBackgroundColor());
    m_canvasBackground->setVisibility(properties()->canvasBackgroundEnabled());
}

void CanvasTab::refreshFrameBackground()
{
    m_frameBackground->setColor(properties()->canvasFrameColor());
    m_frameBackground->setVisibility(properties()->canvasFrameEnabled());
}

void CanvasTab::refreshFrameRatio()
{
    m_frameRatio->setValue(properties()->canvasFrameRatio());
}

void CanvasTab::refreshFrameValue(int index)
{
    const std::size_t position = static_cast<std::size_t>(index);
    m_frameValueRows[position].editor->setValue(properties()->canvasFrameValue(position));
}
