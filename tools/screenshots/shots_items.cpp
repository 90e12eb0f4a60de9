#include "ShotContext.h"

#include "app/ApplicationController.h"
#include "app/CanvasPreviewFrame.h"
#include "app/MainWindow.h"
#include "editors/CanvasTab.h"
#include "editors/ColorPreviewWidget.h"
#include "editors/ColorTab.h"
#include "editors/ColorWidget.h"
#include "editors/DynamicValueInputWidget.h"
#include "editors/DynamicValueWidget.h"
#include "editors/ItemEditDialog.h"
#include "editors/ItemsTab.h"
#include "editors/MetaTab.h"
#include "editors/Normal1DWidget.h"
#include "editors/PropertiesFrame.h"
#include "editors/RotationTab.h"
#include "editors/ShapeEditor.h"
#include "editors/ShapeSelectionDialog.h"
#include "editors/ShapeWidget.h"
#include "editors/StaticColorWidget.h"
#include "editors/TransitionBox.h"
#include "editors/TransitionSelectDialog.h"
#include "widgets/ActionButton.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTreeWidget>

namespace {

using doc::DynamicValueInput;

// Every step below works a control the way a click or an entry does, so the pattern is made through
// the window's own editors, as a user makes it.

void showTab(PropertiesFrame* panel, PropertyTab* tab)
{
    panel->showTab(tab);
    ShotContext::settle(200);
}

// Chooses the colour at the position of the submenu of a preset colour menu.
void choosePreset(QMenu* menu, const QString& submenu, int position)
{
    for (QAction* action : menu->actions()) {
        if (action->text() == submenu) {
            action->menu()->actions().at(position)->trigger();
            return;
        }
    }
    qWarning("No preset colour menu %s", qPrintable(submenu));
}

void clickAt(QWidget* widget)
{
    const QPointF centre = QRectF(widget->rect()).center();
    const QPointF global = widget->mapToGlobal(centre);
    QMouseEvent press(QEvent::MouseButtonPress, centre, global, Qt::LeftButton, Qt::LeftButton, {});
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, centre, global, Qt::LeftButton, {}, {});
    QApplication::sendEvent(widget, &release);
}

// A dynamic value editor: the input, then range and offset in the units the editor shows.
void setDynamicValue(DynamicValueWidget* editor, DynamicValueInput input, double rangeStart, double rangeEnd)
{
    editor->inputWidget()->button(input)->click();
    ShotContext::settle(30);
    editor->rangeStartEditor()->spinBox()->setValue(rangeStart);
    editor->rangeEndEditor()->spinBox()->setValue(rangeEnd);
}

class PatternBuilder
{
public:
    explicit PatternBuilder(ShotContext& context)
        : m_context(context), m_window(context.window()), m_panel(context.window()->propertiesFrame())
    {
    }

    void nameProject()
    {
        showTab(m_panel, m_panel->metaTab());
        m_panel->metaTab()->nameField()->setText(QStringLiteral("Night Garden"));
    }

    void setUpCanvas()
    {
        CanvasTab* tab = m_panel->canvasTab();
        showTab(m_panel, tab);
        tab->widthBox()->setValue(180.0);
        tab->heightBox()->setValue(120.0);
        tab->marginBox()->setValue(4.0);
        tab->frameShapeBox()->setCurrentIndex(tab->frameShapeBox()->findText(QStringLiteral("Ellipse")));
        choosePreset(tab->canvasBackgroundWidget()->presetsButton()->menu(), QStringLiteral("Almost Black"), 15);
        choosePreset(tab->frameBackgroundWidget()->presetsButton()->menu(), QStringLiteral("Night"), 16);
        ShotContext::settle(100);
    }

    // Cyan in the middle to rose at the rim, brighter for larger items.
    void setUpWorldStyle()
    {
        ColorWidget* color = m_panel->colorTab()->colorWidget();
        showTab(m_panel, m_panel->colorTab());
        choosePreset(color->preview()->presetsButton()->menu(), QStringLiteral("Soft"), 12);
        setDynamicValue(color->channelEditor(0), DynamicValueInput::PolarDistance, 0.0, 160.0);
        setDynamicValue(color->channelEditor(2), DynamicValueInput::ItemRadius, -25.0, 10.0);
        showTab(m_panel, m_panel->rotationTab());
        setDynamicValue(m_panel->rotationTab()->valueWidget(), DynamicValueInput::PolarAngle, 0.0, 360.0);
        ShotContext::settle(150);
    }

    void removeAllItems()
    {
        ItemsTab* tab = m_panel->itemsTab();
        showTab(m_panel, tab);
        QTreeWidget* list = tab->itemList();
        while (list->topLevelItemCount() > 0) {
            const int rows = list->topLevelItemCount();
            list->setCurrentItem(list->topLevelItem(0));
            tab->removeButton()->click();
            ShotContext::waitFor([list, rows] { return list->topLevelItemCount() < rows; });
        }
    }

    // Adds an item through the item dialog; the dialog stays open for more edits until closeDialog.
    ItemEditDialog* addItem(double radius, double radiusEnd, int count, const QString& transition)
    {
        ItemsTab* tab = m_panel->itemsTab();
        tab->addButton()->click();
        ItemEditDialog* dialog = tab->itemDialog();
        ShotContext::waitFor([dialog] { return dialog->isVisible(); });
        dialog->radiusBeginBox()->setValue(radius);
        dialog->countBox()->setValue(count);
        if (!transition.isEmpty()) {
            pickTransition(dialog->transitionBox(), transition);
            dialog->radiusEndBox()->setValue(radiusEnd);
        }
        return dialog;
    }

    void pickTransition(TransitionBox* box, const QString& transition)
    {
        TransitionSelectDialog* chooser = m_window->transitionSelect();
        clickAt(box);
        ShotContext::waitFor([chooser] { return chooser->isVisible(); });
        chooser->setFunction(transition);
        ShotContext::settle(50);
        chooser->accept();
        ShotContext::waitFor([box, transition] { return box->value() == transition; });
    }

    void selectShape(ShapeWidget* chooser, const QString& identifier)
    {
        ShapeSelectionDialog* selector = m_window->shapeSelectionDialog();
        chooser->selectButton()->click();
        ShotContext::waitFor([selector] { return selector->isVisible(); });
        selector->setSelectedShapeId(identifier);
        selector->okButton()->click();
        ShotContext::waitFor([chooser, identifier] { return chooser->value() == identifier; });
    }

    // A sharp twelve-pointed star made with the shape editor through the selector's "New".
    void createPetal(ShapeWidget* chooser)
    {
        ShapeSelectionDialog* selector = m_window->shapeSelectionDialog();
        chooser->selectButton()->click();
        ShotContext::waitFor([selector] { return selector->isVisible(); });
        for (QAction* action : selector->newButton()->menu()->actions()) {
            if (action->text() == QStringLiteral("Star")) {
                action->trigger();
            }
        }
        ShapeEditor* editor = m_window->shapeEditor();
        ShotContext::waitFor([editor] { return editor->isVisible(); });
        editor->nameField()->setText(QStringLiteral("Petal"));
        editor->modifierEditor(0)->spinBox()->setValue(45.0);
        editor->modifierEditor(1)->spinBox()->setValue(30.0);
        ShotContext::settle(100);
        m_context.save(editor, QStringLiteral("items_new_shape"));
        editor->buttonBox()->button(QDialogButtonBox::Save)->click();
        ShotContext::waitFor([selector] { return selector->selectedShape() != nullptr; }, 2000);
        ShotContext::settle(300);
        selector->okButton()->click();
        ShotContext::waitFor([chooser] { return chooser->nameLabel()->text() == QStringLiteral("Petal"); });
    }

    void saveDialogPages(ItemEditDialog* dialog)
    {
        const QStringList pages{QStringLiteral("main"), QStringLiteral("color"), QStringLiteral("rotation"),
                                QStringLiteral("order")};
        for (int page = 0; page < pages.size(); ++page) {
            dialog->tabWidget()->setCurrentIndex(page);
            ShotContext::settle(250);
            m_context.save(dialog, QStringLiteral("items_dialog_") + pages.at(page));
        }
        dialog->tabWidget()->setCurrentIndex(0);
    }

    static void closeDialog(ItemEditDialog* dialog)
    {
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Close)->click();
        ShotContext::settle(100);
    }

    void addItems()
    {
        ItemEditDialog* petals = addItem(10.0, 6.0, 5, QStringLiteral("linear"));
        createPetal(petals->shapeChooser());
        choosePreset(petals->colorWidget()->preview()->presetsButton()->menu(), QStringLiteral("Intense"), 3);
        setDynamicValue(petals->rotationEditor(), DynamicValueInput::ItemIndex, 0.0, 72.0);
        saveDialogPages(petals);
        closeDialog(petals);

        ItemEditDialog* hearts = addItem(5.0, 3.0, 16, QStringLiteral("log"));
        selectShape(hearts->shapeChooser(), QStringLiteral("heart_1_0"));
        closeDialog(hearts);

        ItemEditDialog* circles = addItem(3.0, 1.2, 70, QStringLiteral("linear"));
        closeDialog(circles);

        ItemEditDialog* rings = addItem(1.8, 0.9, 150, QStringLiteral("linear"));
        selectShape(rings->shapeChooser(), QStringLiteral("ring_2"));
        closeDialog(rings);

        ItemEditDialog* dots = addItem(0.6, 0.3, 1200, QStringLiteral("linear"));
        choosePreset(dots->colorWidget()->preview()->presetsButton()->menu(), QStringLiteral("Pastels"), 2);
        closeDialog(dots);
        ShotContext::settle(200);
    }

    void generate()
    {
        m_window->generateAction()->trigger();
        CanvasPreviewFrame* preview = m_window->preview();
        if (!ShotContext::waitFor([this, preview] {
                return !m_window->isGenerating() && preview->lastGeneratorResult() != nullptr && !preview->isOutOfDate();
            }, 300000)) {
            qWarning("The pattern was not generated in time.");
        }
        ShotContext::settle(500);
    }

private:
    ShotContext& m_context;
    MainWindow* m_window;
    PropertiesFrame* m_panel;
};

void saveContextMenu(ShotContext& context, ItemsTab* tab)
{
    QTreeWidget* list = tab->itemList();
    list->setCurrentItem(list->topLevelItem(0));
    QMenu menu;
    menu.addActions(list->actions());
    context.saveMenu(&menu, QStringLiteral("items_context_menu"));
    for (QAction* action : list->actions()) {
        if (action->text() == QStringLiteral("Radius")) {
            context.saveMenu(action->menu(), QStringLiteral("items_context_menu_radius"));
        }
    }
}

} // namespace

void shootItems(ShotContext& context)
{
    PropertiesFrame* panel = context.window()->propertiesFrame();
    PatternBuilder builder(context);
    builder.nameProject();
    builder.setUpCanvas();
    builder.setUpWorldStyle();
    builder.removeAllItems();
    builder.addItems();

    showTab(panel, panel->itemsTab());
    context.save(panel, QStringLiteral("items_tab"));
    saveContextMenu(context, panel->itemsTab());

    builder.generate();
    context.save(context.window(), QStringLiteral("items_finished_pattern"));
    context.save(context.window(), QStringLiteral("finished-pattern"));
}
