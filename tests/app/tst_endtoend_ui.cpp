#include "app/ExportFrame.h"
#include "app/tst_fileio_support.h"
#include "canvas/Canvas.h"
#include "canvas/CanvasItem.h"
#include "doc/Color.h"
#include "doc/DynamicValue.h"
#include "doc/DynamicValueInput.h"
#include "doc/Item.h"
#include "doc/Items.h"
#include "editors/CanvasTab.h"
#include "editors/ColorPreviewWidget.h"
#include "editors/ColorTab.h"
#include "editors/ColorWidget.h"
#include "editors/DynamicValueInputWidget.h"
#include "editors/DynamicValueWidget.h"
#include "editors/ItemEditDialog.h"
#include "editors/ItemsTab.h"
#include "editors/MetaTab.h"
#include "editors/PropertiesFrame.h"
#include "editors/RotationTab.h"
#include "editors/ShapeEditor.h"
#include "editors/ShapeSelectionDialog.h"
#include "editors/ShapeWidget.h"
#include "editors/TransitionBox.h"
#include "editors/TransitionSelectDialog.h"
#include "frame/Shape.h"
#include "shape/Manager.h"
#include "support/UserActions.h"
#include "support/WidgetTestMain.h"
#include "widgets/ActionButton.h"

#include <QComboBox>
#include <QImageReader>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTabBar>
#include <QTreeWidget>

using namespace motifex::test;
using doc::DynamicValueInput;

namespace {

void click(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton);
}

void press(AppFixture& app, const QString& keys)
{
    app.window()->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), app.window());
    QTest::keySequence(app.window(), QKeySequence(keys));
}

// The colour at the position of the submenu of the button's preset menu.
void choosePreset(QToolButton* presets, const QString& submenu, int position)
{
    QString entry;
    for (const QAction* action : presets->menu()->actions()) {
        entry = action->text() == submenu ? action->menu()->actions().at(position)->text() : entry;
    }
    QVERIFY(chooseMenuEntry([presets] { click(presets); }, {submenu, entry}));
}

// A new user shape from the selector's "New", taken for the chooser.
void createShape(AppFixture& app, ShapeWidget* chooser, const QString& shapeType, const QString& name)
{
    ShapeSelectionDialog* selector = app.window()->shapeSelectionDialog();
    click(chooser->selectButton());
    QTRY_VERIFY(selector->isVisible());
    QVERIFY(chooseMenuEntry([selector] { click(selector->newButton()); }, {shapeType}));
    QTRY_VERIFY(app.window()->shapeEditor()->isVisible());
    typeAndLeave(app.window()->shapeEditor()->nameField(), name);
    click(app.window()->shapeEditor()->buttonBox()->button(QDialogButtonBox::Save));
    QTRY_VERIFY(selector->selectedShape() != nullptr && selector->selectedShape()->name() == name);
    click(selector->okButton());
    QTRY_COMPARE(chooser->nameLabel()->text(), name);
}

void pickTransition(AppFixture& app, TransitionBox* box, const QString& identifier)
{
    TransitionSelectDialog* chooser = app.window()->transitionSelect();
    click(box);
    QTRY_VERIFY(chooser->isVisible());
    clickRow(chooser->functionList(), rowWithData(chooser->functionList(), identifier));
    click(chooser->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok));
    QTRY_COMPARE(box->value(), identifier);
}

// Answers the file dialog that the keys open by typing the path.
void saveThroughDialog(AppFixture& app, const QString& keys, const QString& path)
{
    ModalAnswerer answerer;
    answerer.answer(chooseFile(path));
    press(app, keys);
    QTRY_VERIFY(answerer.isDone());
    QTRY_VERIFY(QFileInfo::exists(path));
}

void waitForThePattern(AppFixture& app)
{
    const CanvasPreviewFrame* preview = app.window()->preview();
    QTRY_VERIFY_WITH_TIMEOUT(!app.window()->isGenerating() && preview->lastGeneratorResult() != nullptr
                                 && !preview->isOutOfDate() && !preview->svgData().isEmpty(),
                             120000);
}

} // namespace

class EndToEndUiTest : public QObject
{
    Q_OBJECT

private slots:
    void aPatternFromAnEmptyStartToItsExports()
    {
        QTemporaryDir folder;
        QVERIFY(QSettings().allKeys().isEmpty());
        const QString projectPath = folder.filePath("garden.mtfx");
        QJsonObject builtDocument;
        QByteArray shownSvg;
        {
            AppFixture app;
            app.window()->resize(1400, 900);
            PropertiesFrame* panel = app.window()->propertiesFrame();
            press(app, "Ctrl+7");
            typeAndLeave(panel->metaTab()->nameField(), "Garden");
            press(app, "Ctrl+2");
            typeAndLeave(panel->canvasTab()->widthBox(), "120");
            typeAndLeave(panel->canvasTab()->heightBox(), "80");
            QComboBox* frames = panel->canvasTab()->frameShapeBox();
            while (frames->currentText() != QStringLiteral("Ellipse")) {
                QTest::keyClick(frames, Qt::Key_Down);
            }
            press(app, "Ctrl+5");
            choosePreset(panel->colorTab()->colorWidget()->preview()->presetsButton(), "Soft", 14);
            press(app, "Ctrl+3");
            click(panel->rotationTab()->valueWidget()->inputWidget()->button(DynamicValueInput::PolarAngle));

            // Items: a user-shaped item that shrinks along its copies joins the list.
            press(app, "Ctrl+6");
            ItemsTab* items = panel->itemsTab();
            click(items->addButton());
            ItemEditDialog* dialog = items->itemDialog();
            QTRY_VERIFY(dialog->isVisible());
            createShape(app, dialog->shapeChooser(), "Star", "Petal");
            typeAndLeave(dialog->radiusBeginBox(), "3");
            pickTransition(app, dialog->transitionBox(), "linear");
            typeAndLeave(dialog->countBox(), "12");
            QTest::mouseClick(dialog->tabWidget()->tabBar(), Qt::LeftButton, {}, dialog->tabWidget()->tabBar()->tabRect(1).center());
            choosePreset(dialog->colorWidget()->preview()->presetsButton(), "Lurid", 4);
            QTest::mouseClick(dialog->tabWidget()->tabBar(), Qt::LeftButton, {}, dialog->tabWidget()->tabBar()->tabRect(2).center());
            click(dialog->rotationEditor()->inputWidget()->button(DynamicValueInput::ItemIndex));
            click(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Close));
            items->itemList()->scrollToTop();
            const QPoint firstRow = items->itemList()->visualItemRect(items->itemList()->topLevelItem(0)).center();
            QVERIFY(chooseMenuEntry([items, firstRow] { contextClick(items->itemList()->viewport(), firstRow); },
                                    {"Count", "2"}));

            press(app, "Ctrl+R");
            waitForThePattern(app);
            saveThroughDialog(app, "Ctrl+S", projectPath);
            QCOMPARE(app.window()->windowTitle(), QStringLiteral("garden.mtfx[*] – Motifex v2.6.0"));
            QVERIFY(!app.window()->isWindowModified());
            builtDocument = app.controller().document()->toJson();
            shownSvg = app.window()->preview()->svgData();
            QVERIFY(app.window()->close());
        }

        // Started again, the program shows the project as it was left.
        AppFixture app;
        QCOMPARE(app.window()->fileIO()->currentPath(), projectPath);
        const auto document = app.controller().document();
        QCOMPARE(document->toJson(), builtDocument);
        const auto& definitions = document->items()->items();
        const auto petal = definitions.last();
        const QStringList built{document->properties()->name(),
                                QString::number(document->properties()->canvasSize().width()),
                                frame::shapeToString(document->properties()->canvasFrameShape()),
                                doc::dynamicValueInputToString(document->properties()->worldRotation()->input()),
                                QString::number(definitions.size()),
                                QString::number(definitions.first()->count()),
                                shape::Manager::instance()->shape(petal->shapeId())->name(),
                                ItemsTab::radiusText(*petal),
                                QString::number(petal->count()),
                                petal->color()->staticColour().name(),
                                doc::dynamicValueInputToString(petal->rotation()->input())};
        QCOMPARE(built, QStringList({"Garden", "120000000", "ellipse", "polar_angle", "9", "2", "Petal",
                                     "3.00\n↓ linear\n2.50", "12", QColor::fromHsvF(4 / 24.0f, 1, 1).name(), "item_index"}));
        waitForThePattern(app);
        QCOMPARE(app.window()->preview()->svgData(), shownSvg);
        const auto& placed = app.window()->preview()->lastGeneratorResult()->items();
        QCOMPARE(std::count_if(placed.begin(), placed.end(), [&petal](const auto& item) { return item->itemId() == petal->itemId(); }),
                 12);

        saveThroughDialog(app, "Ctrl+E", folder.filePath("garden.svg"));
        QCOMPARE(readAll(folder.filePath("garden.svg")), shownSvg);
        saveThroughDialog(app, "Shift+Ctrl+E", folder.filePath("garden.png"));
        QImageReader reader(folder.filePath("garden.png"));
        QCOMPARE(reader.format(), QByteArray("png"));
        const QImage image = reader.read();
        QCOMPARE(image.size(), app.window()->exportFrame()->bitmapPixelSize());
        QVERIFY(image.width() > 400 && image.height() > 250);
    }
};

MOTIFEX_WIDGET_TEST_MAIN(EndToEndUiTest)
#include "tst_endtoend_ui.moc"
