#include "editors/StaticColorWidget.h"

#include "editors/StaticColorPreviewWidget.h"
#include "widgets/ActionButton.h"

#include <QAction>
#include <QColorDialog>
#include <QHBoxLayout>
#include <QMenu>
#include <QPainter>
#include <QPixmap>

#include <array>

namespace {

constexpr unsigned glyphHidden = 0xF070;
constexpr unsigned glyphVisible = 0xF06E;
constexpr unsigned glyphPresets = 0xF5C3;
constexpr unsigned glyphCustomColor = 0xF53F;

constexpr int iconSize = 24;
constexpr int grayCount = 12;
constexpr int hueCount = 24;

struct HueMenuEntry {
    const char* title; // empty for a separator
    float saturation;
    float value;
};

// In menu order.
const std::array<HueMenuEntry, 14> hueMenus{{
    {QT_TRANSLATE_NOOP("StaticColorWidget", "Regular"), 0.8f, 0.8f},
    {nullptr, 0.0f, 0.0f},
    {QT_TRANSLATE_NOOP("StaticColorWidget", "Pastels"), 0.35f, 1.0f},
    {QT_TRANSLATE_NOOP("StaticColorWidget", "Soft"), 0.5f, 1.0f},
    {QT_TRANSLATE_NOOP("StaticColorWidget", "Intense"), 0.75f, 1.0f},
    {QT_TRANSLATE_NOOP("StaticColorWidget", "Lurid"), 1.0f, 1.0f},
    {QT_TRANSLATE_NOOP("StaticColorWidget", "Shadow"), 1.0f, 0.75f},
    {QT_TRANSLATE_NOOP("StaticColorWidget", "Dark"), 1.0f, 0.5f},
    {QT_TRANSLATE_NOOP("StaticColorWidget", "Night"), 1.0f, 0.25f},
    {QT_TRANSLATE_NOOP("StaticColorWidget", "Washed Out"), 0.5f, 0.5f},
    {nullptr, 0.0f, 0.0f},
    {QT_TRANSLATE_NOOP("StaticColorWidget", "Almost White"), 0.2f, 1.0f},
    {QT_TRANSLATE_NOOP("StaticColorWidget", "Almost Gray"), 0.2f, 0.5f},
    {QT_TRANSLATE_NOOP("StaticColorWidget", "Almost Black"), 0.2f, 0.2f},
}};

// A ramp of one-pixel columns over a black square: column x shows columnColor(x / 23).
template<typename ColumnColor>
QIcon rampIcon(const ColumnColor& columnColor)
{
    QPixmap pixmap(iconSize, iconSize);
    pixmap.fill(Qt::black);
    QPainter painter(&pixmap);
    for (int x = 0; x < iconSize; ++x) {
        painter.fillRect(x, 0, 1, iconSize, columnColor(static_cast<float>(x) / float(iconSize - 1)));
    }
    return QIcon(pixmap);
}

QFont entryFont()
{
    QFont font(QStringLiteral("Menlo"), 16);
    // Where Menlo is missing, another fixed-width font keeps the hexadecimal codes in columns.
    font.setStyleHint(QFont::Monospace);
    return font;
}

void addColorEntry(QMenu* menu, const QColor& color, QObject* receiver, const char* slot)
{
    QPixmap swatch(iconSize, iconSize);
    swatch.fill(color);
    QAction* action = menu->addAction(QIcon(swatch), QStringLiteral(" %1").arg(color.name()));
    action->setFont(entryFont());
    action->setData(QVariant::fromValue(color));
    QObject::connect(action, SIGNAL(triggered()), receiver, slot);
}

void addGrayMenu(QMenu* menu, QObject* receiver, const char* slot)
{
    QMenu* grays = menu->addMenu(rampIcon([](float x) { return QColor::fromHsvF(0.0f, 0.0f, x, 1.0f); }),
                                 StaticColorWidget::tr("Grays"));
    for (int i = 0; i < grayCount; ++i) {
        // Squared steps give the dark end, where the eye tells greys apart best, more entries.
        const float step = static_cast<float>(i) / float(grayCount - 1);
        addColorEntry(grays, QColor::fromHsvF(0.0f, 0.0f, step * step, 1.0f), receiver, slot);
    }
}

void addHueMenu(QMenu* menu, const HueMenuEntry& entry, QObject* receiver, const char* slot)
{
    const float saturation = entry.saturation;
    const float value = entry.value;
    QMenu* hues = menu->addMenu(
        rampIcon([saturation, value](float x) { return QColor::fromHsvF(x, saturation, value, 1.0f); }),
        StaticColorWidget::tr(entry.title));
    for (int k = 0; k < hueCount; ++k) {
        addColorEntry(hues, QColor::fromHsvF(static_cast<float>(k) / float(hueCount), saturation, value, 1.0f),
                      receiver, slot);
    }
}

} // namespace

const QString StaticColorWidget::defaultEntryObjectName = QStringLiteral("defaultColorEntry");

StaticColorWidget::StaticColorWidget(QWidget* parent)
    : QFrame(parent)
{
    initializeUi();
}

void StaticColorWidget::initializeUi()
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);

    m_visibilityButton = new ActionButton(glyphHidden, glyphVisible, this);
    m_visibilityButton->setToolTip(tr("Change the visibility of this element."));
    m_visibilityButton->setChecked(true);
    layout->addWidget(m_visibilityButton);

    m_swatch = new StaticColorPreviewWidget(this);
    m_swatch->setFixedHeight(24);
    layout->addWidget(m_swatch);

    m_presetsButton = new ActionButton(glyphPresets, this);
    m_presetsButton->setToolTip(tr("Select a color from presets."));
    m_presetsButton->setPopupMode(QToolButton::InstantPopup);
    QMenu* menu = createColorMenu(false, this, SLOT(onColorSelected()));
    // The button does not own its menu.
    menu->setParent(m_presetsButton, menu->windowFlags());
    m_presetsButton->setMenu(menu);
    layout->addWidget(m_presetsButton);

    m_customColorButton = new ActionButton(glyphCustomColor, this);
    m_customColorButton->setToolTip(tr("Select a custom color."));
    layout->addWidget(m_customColorButton);

    connect(m_visibilityButton, &QToolButton::toggled, this, [this](bool isChecked) {
        // setVisibility stores the flag before it checks the switch: its toggle is no user's change.
        if (isChecked == m_isVisible) {
            return;
        }
        m_isVisible = isChecked;
        emit visibilityChanged();
    });
    connect(m_customColorButton, &QToolButton::clicked, this, &StaticColorWidget::chooseCustomColor);
}

void StaticColorWidget::setColor(const QColor& color)
{
    if (color == m_color) {
        return;
    }
    storeAndShow(color);
}

void StaticColorWidget::setVisibility(bool isVisible)
{
    if (isVisible == m_isVisible) {
        return;
    }
    m_isVisible = isVisible;
    m_visibilityButton->setChecked(isVisible);
}

void StaticColorWidget::onColorSelected()
{
    const auto* action = qobject_cast<const QAction*>(sender());
    const QColor color = action != nullptr ? action->data().value<QColor>() : QColor();
    if (color.isValid()) {
        storeAndShow(color);
    }
    emit colorChanged();
}

void StaticColorWidget::chooseCustomColor()
{
    const QColor color = QColorDialog::getColor(m_color, this, tr("Select Color"));
    if (color.isValid()) {
        storeAndShow(color);
    }
    emit colorChanged();
}

void StaticColorWidget::storeAndShow(const QColor& color)
{
    m_color = color;
    m_swatch->setColor(color);
}

QMenu* StaticColorWidget::createColorMenu(bool withDefault, QObject* receiver, const char* slot)
{
    auto* menu = new QMenu();
    addGrayMenu(menu, receiver, slot);
    for (const HueMenuEntry& entry : hueMenus) {
        if (entry.title == nullptr) {
            menu->addSeparator();
        } else {
            addHueMenu(menu, entry, receiver, slot);
        }
    }
    if (withDefault) {
        menu->addSeparator();
        QAction* defaultEntry = menu->addAction(tr("Default"));
        defaultEntry->setObjectName(defaultEntryObjectName);
        QObject::connect(defaultEntry, SIGNAL(triggered()), receiver, slot);
    }
    return menu;
}
