#include "ShotContext.h"

#include "app/ApplicationController.h"
#include "app/MainWindow.h"
#include "doc/Document.h"
#include "doc/Properties.h"
#include "editors/PropertiesFrame.h"
#include "editors/ShapeEditor.h"
#include "editors/ShapeSelectionDialog.h"
#include "shape/Builder.h"
#include "shape/Manager.h"

#include <QTabWidget>

namespace {

QString addUserShape(shape::Type type, const QString& name, const std::vector<geo::Normal1D>& values)
{
    auto shape = shape::Builder::createShape(type);
    shape->setRandomIdentifier();
    shape->setName(name);
    shape->setModifierValues(values);
    return shape::Manager::instance()->add(shape);
}

} // namespace

void shootShapes(ShotContext& context)
{
    MainWindow* window = context.window();
    shape::Manager* shapes = shape::Manager::instance();
    // A few user shapes, so that the selector shows both kinds and the editor has something to edit.
    addUserShape(shape::Type::Heart, QStringLiteral("Round Heart"), {0.9, 0.3});
    const QString starId = addUserShape(shape::Type::Star, QStringLiteral("Sea Star"), {0.22, 0.3, 0.7});
    const QString leafId = addUserShape(shape::Type::Leaf, QStringLiteral("Veined Leaf"), {0.55, 0.6, 0.45, 0.35});
    addUserShape(shape::Type::Cross, QStringLiteral("Snow Cross"), {0.6, 0.15});

    PropertiesFrame* panel = window->propertiesFrame();
    panel->tabWidget()->setCurrentIndex(0);
    const auto properties = context.controller().document()->properties();
    const auto previousWorldShape = properties->worldShape();
    properties->setWorldShape(shapes->shape(starId));
    context.save(panel, QStringLiteral("shapes_maintab"));

    ShapeSelectionDialog* selector = window->shapeSelectionDialog();
    context.saveModal(
        [selector, &leafId] {
            selector->setAllowDefault(false);
            selector->setSelectedShapeId(leafId);
            selector->open();
        },
        QStringLiteral("shapes_selector"));
    context.saveModal(
        [selector] {
            selector->setAllowDefault(true);
            selector->setSelectedShapeId(QString());
            selector->open();
        },
        QStringLiteral("shapes_selector_default"));
    selector->setAllowDefault(false);

    ShapeEditor* editor = window->shapeEditor();
    context.saveModal(
        [editor] {
            editor->editNew(shape::Type::Star);
            editor->open();
        },
        QStringLiteral("shapes_editor_star"));
    context.saveModal(
        [editor, shapes, &leafId] {
            editor->editExisting(shapes->shape(leafId));
            editor->open();
        },
        QStringLiteral("shapes_editor_leaf"));

    properties->setWorldShape(previousWorldShape);
}
