#include "editors/ColorPreviewWidget.h"

#include "doc/Color.h"
#include "doc/DynamicValue.h"
#include "editors/ColorPresetDialog.h"
#include "editors/PreviewControls.h"
#include "editors/StaticColorWidget.h"
#include "widgets/ActionButton.h"

#include <QAction>
#include <QColorDialog>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>

#include <array>
#include <cmath>

namespace {

constexpr unsigned glyphPresets = 0xF5C3;
constexpr unsigned glyphCustomColor = 0xF53F;
constexpr unsigned glyphColorPresets = 0xF187;
constexpr int refreshDelayMilliseconds = 100;
constexpr int pictureInset = 8;

double gridPosition(int index, int count)
{
    const double position = static_cast<double>(index) / static_cast<double>(count - 1);
    return std::isnan(position) ? 0.0 : position;
}

} // namespace

ColorPreviewWidget::ColorPreviewWidget(QWidget* parent)
    : FramedControl(parent)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(refreshDelayMilliseconds);
    connect(&m_timer, &QTimer::timeout, this, &ColorPreviewWidget::onColorChanged);
    initializeUi();
}

// The registrations leave the colour and the parent the preview joined.
ColorPreviewWidget::~ColorPreviewWidget() = default;

void ColorPreviewWidget::initializeUi()
{
    QGridLayout* layout = PreviewControls::setUpPreview(this);
    m_inputLabel = PreviewControls::addInputLabel(this, layout);

    m_presetsButton =
        PreviewControls::createOverlayButton(glyphPresets, this, tr("Select a static color from presets."));
    QMenu* menu = StaticColorWidget::createColorMenu(true, this, SLOT(onStaticColorSelected()));
    // The button does not own its menu.
    menu->setParent(m_presetsButton, menu->windowFlags());
    m_presetsButton->setMenu(menu);
    m_presetsButton->setPopupMode(QToolButton::InstantPopup);
    m_defaultEntry = menu->findChild<QAction*>(StaticColorWidget::defaultEntryObjectName);
    const QList<QAction*> entries = menu->actions();
    m_defaultSeparator = entries.at(entries.indexOf(m_defaultEntry) - 1);
    layout->addWidget(m_presetsButton, 0, 3);

    m_customColorButton =
        PreviewControls::createOverlayButton(glyphCustomColor, this, tr("Select a custom static color."));
    layout->addWidget(m_customColorButton, 0, 4);
    m_parentButton = PreviewControls::createParentButton(this, tr("Reset this color to use the parent color."));
    layout->addWidget(m_parentButton, 1, 4);
    m_colorPresetsButton =
        PreviewControls::createOverlayButton(glyphColorPresets, this, tr("Load or save color presets."));
    layout->addWidget(m_colorPresetsButton, 3, 0);

    connect(m_customColorButton, &QToolButton::clicked, this, &ColorPreviewWidget::chooseCustomColor);
    connect(m_parentButton, &QToolButton::clicked, this, &ColorPreviewWidget::useParentColor);
    connect(m_colorPresetsButton, &QToolButton::clicked, this, &ColorPreviewWidget::openColorPresets);

    showButtonsForColor();
    onColorChanged();
}

void ColorPreviewWidget::setColor(const std::shared_ptr<doc::Color>& color)
{
    if (color == m_color) {
        return;
    }
    m_colorRegistration.reset();
    m_parentRegistration.reset();
    m_color = color;
    if (m_color != nullptr) {
        m_colorRegistration = ListenerRegistration(m_color, this);
        m_parentRegistration = ListenerRegistration(m_color->parent(), this);
    } else {
        m_grid.clear();
    }
    showButtonsForColor();
    onColorChanged();
}

void ColorPreviewWidget::setEditable(bool isEditable)
{
    if (isEditable) {
        return;
    }
    m_isEditable = false;
    showButtonsForColor();
}

void ColorPreviewWidget::showButtonsForColor()
{
    // "Default" and the parent button give the colour to its parent; a colour without one (the world
    // colour) would become transparent black.
    const bool hasParent = m_color != nullptr && m_color->hasParent();
    m_defaultEntry->setVisible(hasParent);
    m_defaultSeparator->setVisible(hasParent);
    if (!m_isEditable) {
        for (ActionButton* button : {m_presetsButton, m_customColorButton, m_parentButton, m_colorPresetsButton}) {
            button->hide();
        }
        return;
    }
    if (m_color != nullptr) {
        m_parentButton->setVisible(hasParent);
    }
}

QRgba64 ColorPreviewWidget::gridColor(int column, int row) const
{
    const std::size_t index = static_cast<std::size_t>(column + gridColumns * row);
    return index < m_grid.size() ? m_grid[index] : QRgba64();
}

void ColorPreviewWidget::onColorChanged()
{
    if (m_color == nullptr) {
        return;
    }
    updateLabel();
    updateGrid();
    m_parentButton->setChecked(m_color->isParentColor());
    update();
}

void ColorPreviewWidget::updateLabel()
{
    const std::array<std::pair<QString, const doc::DynamicValue*>, 4> channels{{
        {tr("Hue"), m_color->hue().get()},
        {tr("Saturation"), m_color->saturation().get()},
        {tr("Value"), m_color->value().get()},
        {tr("Alpha"), m_color->alpha().get()},
    }};
    QString text;
    for (const auto& [name, channel] : channels) {
        text += tr("%1: %2\n").arg(name, PreviewControls::inputPreviewText(channel->input()));
    }
    m_inputLabel->setText(text);
    PreviewControls::applyInputLabelFont(m_inputLabel, this);
}

void ColorPreviewWidget::updateGrid()
{
    m_grid.resize(static_cast<std::size_t>(gridColumns * gridRows));
    for (int column = 0; column < gridColumns; ++column) {
        const double x = gridPosition(column, gridColumns);
        for (int row = 0; row < gridRows; ++row) {
            // Relative radius and index follow the column, as if larger items stood to the right.
            const doc::ItemStyleInput input{x, gridPosition(row, gridRows), x, x};
            m_grid[static_cast<std::size_t>(column + gridColumns * row)] = m_color->colorForInput(input).rgba64();
        }
    }
}

void ColorPreviewWidget::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    paintPanel(&painter, QColor::fromHsvF(0.0f, 0.0f, 0.1f, 1.0f));
    if (!isEnabled() || m_grid.empty()) {
        return;
    }
    const int width = this->width() - 2 * pictureInset;
    const int height = this->height() - 2 * pictureInset;
    for (int column = 0; column < gridColumns; ++column) {
        const int left = pictureInset + column * width / gridColumns;
        const int right = pictureInset - 1 + (column + 1) * width / gridColumns;
        for (int row = 0; row < gridRows; ++row) {
            const int top = pictureInset + row * height / gridRows;
            const int bottom = pictureInset - 1 + (row + 1) * height / gridRows;
            painter.fillRect(QRect(QPoint(left, top), QPoint(right, bottom)),
                             QColor(m_grid[static_cast<std::size_t>(column + gridColumns * row)]));
        }
    }
}

void ColorPreviewWidget::onStaticColorSelected()
{
    if (m_color == nullptr) {
        return;
    }
    const auto* action = qobject_cast<const QAction*>(sender());
    const QColor color = action != nullptr ? action->data().value<QColor>() : QColor();
    if (color.isValid()) {
        m_color->setStaticColor(color);
    } else if (m_color->hasParent()) {
        m_color->setParentColor();
    }
}

void ColorPreviewWidget::chooseCustomColor()
{
    if (m_color == nullptr) {
        return;
    }
    const QColor initial = m_color->isStaticColor() ? m_color->staticColour() : QColor(QStringLiteral("#e02060"));
    const QColor chosen = QColorDialog::getColor(initial, this, tr("Select Color"), QColorDialog::ShowAlphaChannel);
    // The dialog runs its own event loop: the colour may have been replaced meanwhile.
    if (chosen.isValid() && m_color != nullptr) {
        m_color->setStaticColor(chosen);
    }
}

void ColorPreviewWidget::useParentColor()
{
    if (m_color != nullptr && m_color->hasParent()) {
        m_color->setParentColor();
    }
    m_parentButton->setChecked(true);
}

void ColorPreviewWidget::openColorPresets()
{
    if (m_color == nullptr) {
        return;
    }
    if (m_colorPresetDialog == nullptr) {
        m_colorPresetDialog = new ColorPresetDialog(this);
    }
    m_colorPresetDialog->setEditColor(m_color);
    m_colorPresetDialog->open();
}

void ColorPreviewWidget::onDocumentPropertyChanged(const QString& /*path*/, const doc::DocumentElement* /*element*/)
{
    m_timer.start();
}

void ColorPreviewWidget::onDocumentElementReset()
{
    m_timer.start();
}
