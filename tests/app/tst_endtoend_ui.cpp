#include "app/ActionButton.h"
#include "app/ExportFrame.h"
#include "app/tst_fileio_support.h"
#include "canvas/Canvas.h"
#include "canvas/CanvasItem.h"
#include "doc/Color.h"
#include "doc/DynamicValue.h"
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
#include "shape/Manager.h"
#include "support/UserActions.h"
#include "support/WidgetTestMain.h"

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

namespace {

// What a user does with the window: keys, clicks, typed text and answers to dialogs.
class User
{
public:
    explicit User(AppFixture& app) : m_app(app), m_panel(app.window()->propertiesFrame()) {}

    void press(const QString& keys)
    {
        m_app.window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_app.window()));
        QTest::keySequence(m_app.window(), QKeySequence(keys));
    }

    // Types into the field and leaves it with Tab.
    static void type(QWidget* field, const QString& text)
    {
        field->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), field->window());
        field->setFocus();
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Tab);
    }

    static void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }

    static void showPage(QTabWidget* pages, const QString& title)
    {
        for (int index = 0; index < pages->count(); ++index) {
            if (pages->tabText(index) == title) {
                QTest::mouseClick(pages->tabBar(), Qt::LeftButton, {}, pages->tabBar()->tabRect(index).center());
            }
        }
        QCOMPARE(pages->tabText(pages->currentIndex()), title);
    }

    // Picks the colour entry at the position of the submenu from the preset menu of the button.
    static void choosePresetColor(QToolButton* presets, const QString& submenu, int position)
    {
        QString entry;
        for (const QAction* action : presets->menu()->actions()) {
            if (action->text() == submenu) {
                entry = action->menu()->actions().at(position)->text();
            }
        }
        QVERIFY(chooseMenuEntry([presets] { click(presets); }, {submenu, entry}));
    }

    void chooseFrame(const QString& frame)
    {
        QComboBox* box = m_panel->canvasTab()->frameShapeBox();
        box->setFocus();
        while (box->currentText() != frame) {
            QTest::keyClick(box, Qt::Key_Down);
        }
    }

    // Opens the shape selector of the chooser, creates a user shape of the type with "New", and takes it.
    void createShapeIn(ShapeWidget* chooser, const QString& shapeType, const QString& name)
    {
        ShapeSelectionDialog* selector = m_app.window()->shapeSelectionDialog();
        click(chooser->selectButton());
        QTRY_VERIFY(selector->isVisible());
        QVERIFY(chooseMenuEntry([selector] { click(selector->newButton()); }, {shapeType}));
        ShapeEditor* editor = m_app.window()->shapeEditor();
        QTRY_VERIFY(editor->isVisible());
        type(editor->nameField(), name);
        click(editor->buttonBox()->button(QDialogButtonBox::Save));
        QTRY_COMPARE(selector->selectedShape() != nullptr ? selector->selectedShape()->name() : QString(), name);
        click(selector->okButton());
        QTRY_COMPARE(chooser->nameLabel()->text(), name);
    }

    void pickTransition(TransitionBox* box, const QString& identifier)
    {
        TransitionSelectDialog* chooser = m_app.window()->transitionSelect();
        click(box);
        QTRY_VERIFY(chooser->isVisible());
        clickRow(chooser->functionList(), rowWithData(chooser->functionList(), identifier));
        click(chooser->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok));
        QTRY_COMPARE(box->value(), identifier);
    }

    void chooseFromItemMenu(int row, const QStringList& entry)
    {
        QTreeWidget* list = m_panel->itemsTab()->itemList();
        const QPoint position = list->visualItemRect(list->topLevelItem(row)).center();
        QVERIFY(chooseMenuEntry([list, position] { contextClick(list->viewport(), position); }, entry));
    }

    void removeRow(int row)
    {
        ItemsTab* tab = m_panel->itemsTab();
        const int rows = tab->itemList()->topLevelItemCount();
        clickIndex(tab->itemList(), tab->itemList()->model()->index(row, 1));
        click(tab->removeButton());
        QTRY_COMPARE(tab->itemList()->topLevelItemCount(), rows - 1);
    }

    // Answers the file dialog that the keys open by typing the path.
    void saveThroughDialog(const QString& keys, const QString& path)
    {
        ModalAnswerer answerer;
        answerer.answer(chooseFile(path));
        press(keys);
        QTRY_VERIFY(answerer.isDone());
        QTRY_VERIFY(QFileInfo::exists(path));
    }

    void waitForThePattern()
    {
        CanvasPreviewFrame* preview = m_app.window()->preview();
        QTRY_VERIFY_WITH_TIMEOUT(!m_app.window()->isGenerating() && preview->lastGeneratorResult() != nullptr
                                     && !preview->isOutOfDate() && !preview->svgData().isEmpty(),
                                 120000);
    }

    PropertiesFrame* panel() const { return m_panel; }

private:
    AppFixture& m_app;
    PropertiesFrame* m_panel;
};

} // namespace

class EndToEndUiTest : public QObject
{
    Q_OBJECT

private slots:
    void aPatternFromAnEmptyStartToItsExports()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        QVERIFY(QSettings().allKeys().isEmpty());
        const QString projectPath = folder.filePath("garden.mtfx");
        QJsonObject builtDocument;
        QByteArray shownSvg;
        {
            AppFixture app;
            app.window()->resize(1400, 900);
            User user(app);

            user.press("Ctrl+7");
            User::type(user.panel()->metaTab()->nameField(), "Garden");

            user.press("Ctrl+2");
            CanvasTab* canvas = user.panel()->canvasTab();
            User::type(canvas->widthBox(), "120");
            User::type(canvas->heightBox(), "80");
            user.chooseFrame("Ellipse");

            user.press("Ctrl+5");
            User::choosePresetColor(user.panel()->colorTab()->colorWidget()->preview()->presetsButton(), "Soft", 14);
            user.press("Ctrl+3");
            User::click(user.panel()->rotationTab()->valueWidget()->inputWidget()->button(doc::DynamicValueInput::PolarAngle));

            // Items: drop the two smallest, add a user-shaped item that shrinks along the run.
            user.press("Ctrl+6");
            user.removeRow(7);
            user.removeRow(6);
            User::click(user.panel()->itemsTab()->addButton());
            ItemEditDialog* dialog = user.panel()->itemsTab()->itemDialog();
            QTRY_VERIFY(dialog->isVisible());
            user.createShapeIn(dialog->shapeChooser(), "Star", "Petal");
            User::type(dialog->radiusBeginBox(), "3");
            user.pickTransition(dialog->transitionBox(), "linear");
            User::type(dialog->countBox(), "12");
            User::showPage(dialog->tabWidget(), "Color");
            User::choosePresetColor(dialog->colorWidget()->preview()->presetsButton(), "Lurid", 4);
            User::showPage(dialog->tabWidget(), "Rotation");
            User::click(dialog->rotationEditor()->inputWidget()->button(doc::DynamicValueInput::ItemIndex));
            User::click(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Close));
            user.chooseFromItemMenu(0, {"Count", "2"});

            user.press("Ctrl+R");
            user.waitForThePattern();
            user.saveThroughDialog("Ctrl+S", projectPath);
            QCOMPARE(app.window()->windowTitle(), QStringLiteral("garden.mtfx[*] – Motifex v2.6.0"));
            QVERIFY(!app.window()->isWindowModified());
            builtDocument = app.controller().document()->toJson();
            shownSvg = app.window()->preview()->svgData();
            QVERIFY(app.window()->close());
        }

        // Started again, the program shows the project as it was left.
        AppFixture app;
        User user(app);
        QCOMPARE(app.window()->fileIO()->currentPath(), projectPath);
        const auto document = app.controller().document();
        QCOMPARE(document->toJson(), builtDocument);
        QCOMPARE(document->properties()->name(), QStringLiteral("Garden"));
        QCOMPARE(document->properties()->canvasSize(), geo::Size::fromMillimeters(120, 80));
        QCOMPARE(document->properties()->canvasFrameShape(), frame::Shape::Ellipse);
        QCOMPARE(document->properties()->worldRotation()->input(), doc::DynamicValueInput::PolarAngle);
        QVERIFY(document->properties()->worldColor()->isStaticColor());
        const auto& items = document->items()->items();
        QCOMPARE(items.size(), 7);
        QCOMPARE(items.first()->count(), 2);
        const auto petal = items.last();
        QCOMPARE(shape::Manager::instance()->shape(petal->shapeId())->name(), QStringLiteral("Petal"));
        QCOMPARE(petal->radius(), geo::Length(3000000));
        QCOMPARE(petal->radiusTransition(), QStringLiteral("linear"));
        QCOMPARE(petal->radiusEnd(), geo::Length(2500000));
        QCOMPARE(petal->count(), 12);
        QVERIFY(petal->color()->isStaticColor());
        QCOMPARE(petal->rotation()->input(), doc::DynamicValueInput::ItemIndex);
        user.waitForThePattern();
        QCOMPARE(app.window()->preview()->svgData(), shownSvg);
        const auto& placed = app.window()->preview()->lastGeneratorResult()->items();
        QCOMPARE(std::count_if(placed.begin(), placed.end(), [&petal](const auto& item) { return item->itemId() == petal->itemId(); }),
                 12);

        user.saveThroughDialog("Ctrl+E", folder.filePath("garden.svg"));
        QCOMPARE(readAll(folder.filePath("garden.svg")), shownSvg);
        user.saveThroughDialog("Shift+Ctrl+E", folder.filePath("garden.png"));
        QImageReader reader(folder.filePath("garden.png"));
        QCOMPARE(reader.format(), QByteArray("png"));
        const QImage image = reader.read();
        QCOMPARE(image.size(), app.window()->exportFrame()->bitmapPixelSize());
        QVERIFY(image.width() > 400 && image.height() > 250);
    }
};

MOTIFEX_WIDGET_TEST_MAIN(EndToEndUiTest)
#include "tst_endtoend_ui.moc"
