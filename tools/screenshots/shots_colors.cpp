#include "ShotContext.h"

#include "app/ApplicationController.h"
#include "app/MainWindow.h"
#include "doc/Color.h"
#include "doc/ColorManager.h"
#include "doc/Document.h"
#include "doc/DynamicValue.h"
#include "doc/Properties.h"
#include "editors/CanvasTab.h"
#include "editors/ColorPresetDialog.h"
#include "editors/ColorPreviewWidget.h"
#include "editors/ColorTab.h"
#include "editors/ColorWidget.h"
#include "editors/OrderTab.h"
#include "editors/PropertiesFrame.h"
#include "editors/RotationTab.h"
#include "widgets/ActionButton.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QTabWidget>

namespace {

// Puts the document's properties back as they were when the shots are done.
class PropertiesRestorer
{
public:
    explicit PropertiesRestorer(std::shared_ptr<doc::Properties> properties)
        : m_properties(std::move(properties)), m_data(m_properties->toData())
    {
    }
    ~PropertiesRestorer() { m_properties->setFromDataOrThrow(m_data); }
    PropertiesRestorer(const PropertiesRestorer&) = delete;
    PropertiesRestorer& operator=(const PropertiesRestorer&) = delete;

private:
    std::shared_ptr<doc::Properties> m_properties;
    QVariant m_data;
};

void showTab(PropertiesFrame* panel, PropertyTab* tab)
{
    panel->showTab(tab);
    ShotContext::settle(300);
}

// A colour that runs through the hues from left to right and darkens towards the bottom.
void makeRainbow(doc::Color& color)
{
    color.hue()->setInput(doc::DynamicValueInput::X);
    color.hue()->setRange(geo::NormalRange(0.0, 0.8));
    color.value()->setInput(doc::DynamicValueInput::Y);
    color.value()->setRange(geo::NormalRange(0.95, 0.45));
    color.value()->setOffset(0.0);
}

void shootColorTab(ShotContext& context, PropertiesFrame* panel)
{
    makeRainbow(*context.controller().document()->properties()->worldColor());
    showTab(panel, panel->colorTab());
    context.save(panel, QStringLiteral("colors_tab"));

    QMenu* menu = panel->colorTab()->colorWidget()->preview()->presetsButton()->menu();
    context.saveMenu(menu, QStringLiteral("colors_menu"));
    for (QAction* action : menu->actions()) {
        if (action->menu() != nullptr && action->text() == QStringLiteral("Regular")) {
            context.saveMenu(action->menu(), QStringLiteral("colors_menu_regular"));
        }
    }
}

void shootPresetDialog(ShotContext& context, PropertiesFrame* panel)
{
    doc::ColorManager* presets = context.controller().colorManager();
    QStringList added;
    doc::Color preset(nullptr);
    preset.setStaticColor(QColor(QStringLiteral("#e0a030")));
    added << presets->add(QStringLiteral("Amber"), preset.toData());
    makeRainbow(preset);
    added << presets->add(QStringLiteral("Rainbow Slope"), preset.toData());
    preset.setStaticColor(QColor(QStringLiteral("#306080")));
    preset.alpha()->setInput(doc::DynamicValueInput::Random);
    added << presets->add(QStringLiteral("Deep Sea"), preset.toData());

    ColorPreviewWidget* preview = panel->colorTab()->colorWidget()->preview();
    const QString selected = added.at(1);
    context.saveModal(
        [preview, selected] {
            preview->colorPresetsButton()->click();
            preview->colorPresetDialog()->selectIdentifier(selected);
        },
        QStringLiteral("colors_preset_dialog"));
    for (const QString& identifier : added) {
        presets->remove(identifier);
    }
}

void shootRotationAndOrder(ShotContext& context, PropertiesFrame* panel)
{
    const auto properties = context.controller().document()->properties();
    properties->worldRotation()->setInput(doc::DynamicValueInput::PolarAngle);
    properties->worldRotation()->setRange(geo::NormalRange(0.0, 1.0));
    showTab(panel, panel->rotationTab());
    context.save(panel, QStringLiteral("colors_rotation_tab"));

    properties->worldOrderZ()->setInput(doc::DynamicValueInput::PolarDistance);
    showTab(panel, panel->orderTab());
    context.save(panel, QStringLiteral("colors_order_tab"));
}

void shootCanvasTab(ShotContext& context, PropertiesFrame* panel)
{
    const auto properties = context.controller().document()->properties();
    CanvasTab* tab = panel->canvasTab();
    showTab(panel, tab);
    const QList<std::pair<frame::Shape, QString>> shapes{
        {frame::Shape::Heart, QStringLiteral("heart")},
        {frame::Shape::Star, QStringLiteral("star")},
        {frame::Shape::Polygon, QStringLiteral("polygon")},
    };
    properties->setCanvasFrameRatio(0.85);
    for (const auto& [shape, name] : shapes) {
        // As the user picks it, so the value rows take the shape's defaults.
        tab->frameShapeBox()->setCurrentIndex(tab->frameShapeBox()->findData(frame::shapeToString(shape)));
        if (shape == frame::Shape::Polygon) {
            properties->setCanvasFrameValueB(0.5);
        }
        ShotContext::settle(300);
        context.save(panel, QStringLiteral("colors_canvas_tab_%1").arg(name));
    }
}

} // namespace

void shootColors(ShotContext& context)
{
    PropertiesFrame* panel = context.window()->propertiesFrame();
    const PropertiesRestorer restorer(context.controller().document()->properties());
    shootColorTab(context, panel);
    shootPresetDialog(context, panel);
    shootRotationAndOrder(context, panel);
    shootCanvasTab(context, panel);
    panel->tabWidget()->setCurrentIndex(0);
}
