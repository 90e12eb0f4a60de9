#include "editors/DynamicValuePreviewWidget.h"

#include "doc/DynamicValue.h"
#include "doc/DynamicValueInput.h"
#include "editors/PreviewControls.h"
#include "widgets/ActionButton.h"

#include <QGridLayout>
#include <QLabel>
#include <QPainter>

#include <cmath>

namespace {

constexpr unsigned glyphLoadPreset = 0xF574;
constexpr unsigned glyphSavePreset = 0xF56D;
constexpr int refreshDelayMilliseconds = 100;
constexpr int pictureInset = 8;
constexpr int cellPixels = 20;

// 0 for a single column or row.
double gridPosition(int index, int count)
{
    if (count < 2) {
        return 0.0;
    }
    const double position = static_cast<double>(index) / static_cast<double>(count - 1);
    return std::isnan(position) ? 0.0 : position;
}

} // namespace

DynamicValuePreviewWidget::DynamicValuePreviewWidget(const QString& loadPresetToolTip,
                                                     const QString& savePresetToolTip, QWidget* parent)
    : FramedControl(parent)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(refreshDelayMilliseconds);
    connect(&m_timer, &QTimer::timeout, this, &DynamicValuePreviewWidget::onValueChanged);
    initializeUi(loadPresetToolTip, savePresetToolTip);
}

// The registrations leave the value and the parent the preview joined.
DynamicValuePreviewWidget::~DynamicValuePreviewWidget() = default;

void DynamicValuePreviewWidget::initializeUi(const QString& loadPresetToolTip, const QString& savePresetToolTip)
{
    QGridLayout* layout = PreviewControls::setUpPreview(this);
    m_inputLabel = PreviewControls::addInputLabel(this, layout);
    m_parentButton = PreviewControls::createParentButton(this, tr("Reset this to use the parent values."));
    layout->addWidget(m_parentButton, 0, 4);
    // Presets of these values are not offered yet: the buttons only announce them.
    m_loadPresetButton = PreviewControls::createOverlayButton(glyphLoadPreset, this, loadPresetToolTip);
    m_loadPresetButton->setEnabled(false);
    layout->addWidget(m_loadPresetButton, 3, 0);
    m_savePresetButton = PreviewControls::createOverlayButton(glyphSavePreset, this, savePresetToolTip);
    m_savePresetButton->setEnabled(false);
    layout->addWidget(m_savePresetButton, 3, 1);

    connect(m_parentButton, &QToolButton::clicked, this, &DynamicValuePreviewWidget::useParentValue);
    onValueChanged();
}

void DynamicValuePreviewWidget::setValue(const std::shared_ptr<doc::DynamicValue>& value)
{
    if (value == m_value) {
        return;
    }
    m_valueRegistration.reset();
    m_parentRegistration.reset();
    m_value = value;
    if (m_value != nullptr) {
        m_valueRegistration = ListenerRegistration(m_value, this);
        m_parentRegistration = ListenerRegistration(m_value->parent(), this);
        m_parentButton->setVisible(m_value->parent() != nullptr);
    }
    onValueChanged();
}

void DynamicValuePreviewWidget::onValueChanged()
{
    if (m_value == nullptr) {
        return;
    }
    m_inputLabel->setText(PreviewControls::inputPreviewText(m_value->input()));
    m_parentButton->setChecked(m_value->input() == doc::DynamicValueInput::Parent);
    update();
}

void DynamicValuePreviewWidget::useParentValue()
{
    // The button shows only for a value with a parent; one without would evaluate to nothing.
    if (m_value != nullptr && m_value->parent() != nullptr) {
        m_value->setInput(doc::DynamicValueInput::Parent);
    }
    m_parentButton->setChecked(true);
}

QSize DynamicValuePreviewWidget::gridSize(const QSize& widgetSize)
{
    const int width = widgetSize.width() - 2 * pictureInset;
    const int height = widgetSize.height() - 2 * pictureInset;
    if (width < cellPixels || height < cellPixels) {
        return {};
    }
    return {width / cellPixels, height / cellPixels};
}

std::vector<DynamicValuePreviewWidget::Cell> DynamicValuePreviewWidget::gridCells(const QSize& widgetSize)
{
    const QSize grid = gridSize(widgetSize);
    const int columns = grid.width();
    const int rows = grid.height();
    const int width = widgetSize.width() - 2 * pictureInset;
    const int height = widgetSize.height() - 2 * pictureInset;
    std::vector<Cell> cells;
    cells.reserve(static_cast<std::size_t>(columns * rows));
    for (int column = 0; column < columns; ++column) {
        const int left = column * width / columns;
        const int right = (column + 1) * width / columns;
        const double x = gridPosition(column, columns);
        for (int row = 0; row < rows; ++row) {
            const int top = row * height / rows;
            const int bottom = (row + 1) * height / rows;
            const QPoint center(((left + pictureInset) + (right + pictureInset - 1)) / 2,
                                ((top + pictureInset) + (bottom + pictureInset - 1)) / 2);
            // Relative radius and index follow the column, as if larger items stood to the right.
            cells.push_back(Cell{center, QSize(right - left, bottom - top), {x, gridPosition(row, rows), x, x}});
        }
    }
    return cells;
}

void DynamicValuePreviewWidget::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    paintPanel(&painter, QColor::fromHsvF(0.0f, 0.0f, 0.1f, 1.0f));
    if (m_value == nullptr) {
        return;
    }
    painter.setPen(Qt::NoPen);
    for (const Cell& cell : gridCells(size())) {
        painter.save();
        painter.translate(cell.center);
        paintCell(&painter, cell, *m_value);
        painter.restore();
    }
}

void DynamicValuePreviewWidget::onDocumentPropertyChanged(const QString& /*path*/,
                                                          const doc::DocumentElement* /*element*/)
{
    m_timer.start();
}

void DynamicValuePreviewWidget::onDocumentElementReset()
{
    m_timer.start();
}
