#include "ShotContext.h"

#include "app/MainWindow.h"
#include "doc/Color.h"
#include "doc/DynamicValue.h"
#include "doc/InputFunctions.h"
#include "editors/DynamicValueInputWidget.h"
#include "editors/DynamicValueWidget.h"
#include "editors/FunctionBox.h"
#include "editors/MetaTab.h"
#include "editors/Normal2DFrame.h"
#include "editors/Normal2DWidget.h"
#include "editors/PropertiesFrame.h"
#include "editors/TransitionBox.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

// A small window that shows one editor the way the panel would, at the panel's width.
class HostWindow : public QWidget
{
public:
    HostWindow(const QString& caption, QWidget* content)
    {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(16, 16, 16, 16);
        layout->setSpacing(8);
        auto* label = new QLabel(caption, this);
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
        layout->addWidget(label);
        content->setParent(this);
        layout->addWidget(content);
        layout->addStretch();
        resize(480, 280);
        show();
    }
};

std::shared_ptr<doc::InputFunction> step(const QString& identifier, doc::InputFunctionOperator op,
                                         doc::InputFunctionSource source)
{
    return doc::InputFunction::create(identifier, op, source);
}

void shootTabs(ShotContext& context)
{
    PropertiesFrame* panel = context.window()->propertiesFrame();
    QTabWidget* tabs = panel->tabWidget();
    const QStringList names{"main", "canvas", "rotation", "order", "color", "items", "meta"};
    MetaTab* metaTab = panel->metaTab();
    const QString oldName = metaTab->nameField()->text();
    const QString oldNotes = metaTab->notesField()->toPlainText();
    metaTab->nameField()->setText(QStringLiteral("Garden Tiles"));
    metaTab->notesField()->setPlainText(QStringLiteral("Leaves and drops on a dark ground.\nTry it on 78 × 52 mm."));
    for (int index = 0; index < tabs->count(); ++index) {
        tabs->setCurrentIndex(index);
        context.save(panel, QStringLiteral("panel_tab%1_%2").arg(index + 1).arg(names.at(index)));
    }
    metaTab->nameField()->setText(oldName);
    metaTab->notesField()->setPlainText(oldNotes);
    tabs->setCurrentIndex(0);
}

void shootDynamicValueEditors(ShotContext& context)
{
    // Private values without a document: the shots leave the project untouched.
    auto rotation = std::make_shared<doc::DynamicValue>(nullptr);
    rotation->setInput(doc::DynamicValueInput::PolarAngle);
    rotation->setRange(geo::NormalRange(-0.25, 0.25));
    rotation->setOffset(0.125);
    rotation->setCenter(geo::Normal2D(0.3, 0.6));
    rotation->functions()->appendFunction(step("sine_02", doc::InputFunctionOperator::Map, doc::InputFunctionSource::Result));
    rotation->functions()->appendFunction(step("x^2", doc::InputFunctionOperator::Multiply, doc::InputFunctionSource::Input));
    auto* rotationEditor = new DynamicValueWidget(DynamicValueWidget::DisplayMode::Rotation, nullptr);
    rotationEditor->setDynamicValue(rotation);
    HostWindow rotationHost(QStringLiteral("Rotation"), rotationEditor);

    auto color = std::make_shared<doc::Color>(nullptr);
    color->hue()->setInput(doc::DynamicValueInput::X);
    color->hue()->setOffset(0.6);
    color->hue()->functions()->appendFunction(step("triangle_3", doc::InputFunctionOperator::Map, doc::InputFunctionSource::Result));
    auto* hueEditor = new DynamicValueWidget(DynamicValueWidget::DisplayMode::Hue, nullptr);
    hueEditor->setDynamicValue(color->hue());
    HostWindow hueHost(QStringLiteral("Hue"), hueEditor);

    color->saturation()->setInput(doc::DynamicValueInput::Random);
    auto* levelEditor = new DynamicValueWidget(DynamicValueWidget::DisplayMode::Level, nullptr);
    levelEditor->setDynamicValue(color->saturation());
    HostWindow levelHost(QStringLiteral("Saturation"), levelEditor);

    context.settle(200);
    context.save(&rotationHost, QStringLiteral("dynamic_value_rotation"));
    context.save(&hueHost, QStringLiteral("dynamic_value_hue"));
    context.save(&levelHost, QStringLiteral("dynamic_value_level"));

    Normal2DWidget* center = rotationEditor->inputWidget()->centerEditor();
    context.saveModal([center] { center->padDialog()->open(); }, QStringLiteral("pad_dialog"));

    FunctionBox* functionBox = rotationEditor->functionBox();
    context.saveModal([functionBox] { functionBox->onEditRequest(0); }, QStringLiteral("function_editor_edit"));
    context.saveModal([functionBox] { functionBox->onAddFunction(); }, QStringLiteral("function_editor_add"));
}

void shootTransition(ShotContext& context)
{
    auto* box = new TransitionBox(nullptr);
    box->setValue(QStringLiteral("log"));
    HostWindow host(QStringLiteral("Transition"), box);
    context.settle(100);
    context.save(&host, QStringLiteral("transition_box"));
    context.saveModal(
        [box] {
            const QPointF position(10, 10);
            QMouseEvent release(QEvent::MouseButtonRelease, position, box->mapToGlobal(position), Qt::LeftButton,
                                Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(box, &release);
        },
        QStringLiteral("transition_chooser"));
}

} // namespace

void shootPanel(ShotContext& context)
{
    shootTabs(context);
    shootDynamicValueEditors(context);
    shootTransition(context);
}
