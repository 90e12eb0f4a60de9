#include "app/FileIO.h"
#include "doc/Item.h"
#include "doc/Items.h"
#include "editors/MainTab.h"
#include "editors/Normal1DWidget.h"
#include "editors/ShapeEditor.h"
#include "editors/ShapeEditorPreview.h"
#include "editors/ShapeItemDelegate.h"
#include "editors/ShapeItemModel.h"
#include "editors/ShapePreviewWidget.h"
#include "editors/ShapeSelectionDialog.h"
#include "editors/ShapeWidget.h"
#include "shape/Builder.h"
#include "shape/Manager.h"
#include "support/EditorTesting.h"
#include "widgets/ActionButton.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPixmapCache>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QTemporaryDir>

using namespace motifex::test;

namespace {

const QStringList typeLabels{"Circle", "Ring", "Polygon", "Star", "Cross", "Heart or Drop", "Arrow", "Leaf"};

shape::Manager* shapes()
{
    return shape::Manager::instance();
}

std::shared_ptr<shape::Base> newShape(shape::Type type, const QString& name)
{
    auto shape = shape::Builder::createShape(type);
    shape->setRandomIdentifier();
    shape->setName(name);
    return shape;
}

QString addUserShape(const QString& name, shape::Type type = shape::Type::Star)
{
    return shapes()->add(newShape(type, name));
}

QString shapeFilePath(const QString& identifier)
{
    return QDir(shape::Manager::getShapeStorageDir()).filePath(QStringLiteral("shape_%1.json").arg(identifier));
}

QVariantMap readShapeFile(const QString& identifier)
{
    QFile file(shapeFilePath(identifier));
    return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).toVariant().toMap() : QVariantMap();
}

ShapeEditor* waitForEditor(AppFixture& app)
{
    ShapeEditor* editor = app.window()->shapeEditor();
    return QTest::qWaitFor([editor] { return editor->isVisible(); }) ? editor : nullptr;
}

void saveAs(ShapeEditor* editor, const QString& name)
{
    editor->nameField()->selectAll();
    QTest::keyClicks(editor->nameField(), name);
    QTest::mouseClick(editor->buttonBox()->button(QDialogButtonBox::Save), Qt::LeftButton);
}

// The captions of the modifier rows shown; a row whose caption and editor disagree shows as "?".
QStringList visibleCaptions(const ShapeEditor& editor)
{
    QStringList captions;
    for (int row = 0; row < ShapeEditor::modifierRowCount; ++row) {
        const bool isShown = editor.modifierCaption(row)->isVisibleTo(&editor);
        if (isShown != editor.modifierEditor(row)->isVisibleTo(&editor)) {
            captions.append(QStringLiteral("?"));
        } else if (isShown) {
            captions.append(editor.modifierCaption(row)->text());
        }
    }
    return captions;
}

// Nothing drawn: every pixel of the widget's own painting transparent.
bool isClear(QWidget* widget)
{
    QImage image(widget->size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QImage clear = image;
    widget->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image == clear;
}

} // namespace

class ShapesTest : public QObject
{
    Q_OBJECT

private slots:
    void editorRowsFollowTheShape_data()
    {
        QTest::addColumn<QString>("identifier");
        QTest::addColumn<QString>("typeLabel");
        QTest::addColumn<QStringList>("captions");
        QTest::newRow("circle") << "circle" << "Circle" << QStringList();
        QTest::newRow("star") << "5_point_star" << "Star" << QStringList{"Point Count:", "Valley Ratio:", "Valley Shift:"};
        QTest::newRow("leaf") << "leaf-1" << "Leaf" << QStringList{"Width:", "Radius:", "Vein Length:", "Vein Angle:"};
    }

    void editorRowsFollowTheShape()
    {
        QFETCH(QString, identifier);
        AppFixture app;
        const auto shape = shapes()->shape(identifier);
        ShapeEditor editor(nullptr);
        editor.editExisting(shape);
        QCOMPARE(editor.windowTitle(), QStringLiteral("Edit Shape"));
        QCOMPARE(editor.titleLabel()->text(), QStringLiteral("<h2>Edit Shape</h2>"));
        QCOMPARE(editor.mode(), ShapeEditor::Mode::Edit);
        QTEST(editor.typeChooser()->currentText(), "typeLabel");
        QVERIFY(!editor.typeChooser()->isEnabled());
        QTEST(visibleCaptions(editor), "captions");
        QCOMPARE(editor.nameField()->text(), shape->name());
        // A copy, not the database's shape.
        const auto& edited = editor.editedShape();
        QVERIFY(edited != shape && edited->identifier() != identifier && !edited->isBuiltIn());
        QVERIFY(edited->isVisuallyEqual(shape));
        QCOMPARE(editor.preview()->shape(), edited);
    }

    void editorTypes()
    {
        AppFixture app;
        // Opened before any run, the editor edits a circle.
        ShapeEditor editor(nullptr);
        QCOMPARE(editor.mode(), ShapeEditor::Mode::New);
        QCOMPARE(editor.editedShape()->type(), shape::Type::Circle);
        QCOMPARE(comboTexts(editor.typeChooser()), typeLabels);
        QCOMPARE(comboTexts(editor.typeChooser(), Qt::UserRole),
                 (QStringList{"Circle", "Ring", "SimplePolygon", "SimpleStar", "SimpleCross", "Heart", "Arrow", "Leaf"}));

        editor.editNew(shape::Type::Leaf);
        QCOMPARE(editor.windowTitle(), QStringLiteral("Create New Shape"));
        QCOMPARE(editor.titleLabel()->text(), QStringLiteral("<h2>Create New Shape</h2>"));
        QVERIFY(editor.typeChooser()->isEnabled());
        QCOMPARE(editor.typeChooser()->currentText(), QStringLiteral("Leaf"));
        QCOMPARE(editor.nameField()->text(), QStringLiteral("New Shape"));
        QVERIFY(shape::Base::isValidIdentifier(editor.editedShape()->identifier()));
        QCOMPARE(visibleCaptions(editor).size(), 4);
        // In a new run the type replaces the shape with the type's defaults; in an edit run it cannot.
        editor.typeChooser()->setCurrentIndex(editor.typeChooser()->findText("Heart or Drop"));
        QCOMPARE(editor.nameField()->text(), QStringLiteral("Heart or Drop"));
        QCOMPARE(editor.editedShape()->modifierValues(), (std::vector<geo::Normal1D>{0.5, 0.5}));
        QCOMPARE(visibleCaptions(editor), (QStringList{"Bulge Ratio:", "Bulge Angle:"}));
        QCOMPARE(editor.preview()->shape(), editor.editedShape());
        editor.editExisting(shapes()->shape("circle"));
        const auto edited = editor.editedShape();
        editor.typeChooser()->setCurrentIndex(3);
        QCOMPARE(editor.editedShape(), edited);
    }

    void editorEditsAndReset()
    {
        AppFixture app;
        auto star = newShape(shape::Type::Star, "Odd Star");
        // Values off the sliders' two-decimal grid: showing them must not round them.
        star->setModifierValues({0.333333, 0.123456, 0.987654});
        ShapeEditor editor(nullptr);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        editor.editExisting(star);
        editor.updateUiFromEditedShape();
        QCOMPARE(editor.editedShape()->modifierValues(), star->modifierValues());
        QCOMPARE(editor.modifierEditor(0)->spinBox()->value(), 33.33);
        const QImage startPicture = editor.preview()->grab().toImage();

        editor.nameField()->selectAll();
        QTest::keyClicks(editor.nameField(), "Even Star");
        editor.modifierEditor(0)->slider()->setValue(100);
        typeInto(editor.modifierEditor(1)->spinBox(), "0");
        QCOMPARE(editor.editedShape()->name(), QStringLiteral("Even Star"));
        QCOMPARE(editor.editedShape()->modifierValues().at(0), geo::Normal1D(1.0));
        QCOMPARE(editor.editedShape()->modifierValues().at(1), geo::Normal1D(0.0));
        QTRY_VERIFY(editor.preview()->grab().toImage() != startPicture);

        QTest::mouseClick(editor.buttonBox()->button(QDialogButtonBox::Reset), Qt::LeftButton);
        QCOMPARE(editor.nameField()->text(), QStringLiteral("Odd Star"));
        QCOMPARE(editor.editedShape()->modifierValues(), star->modifierValues());
        QTRY_COMPARE(editor.preview()->grab().toImage(), startPicture);
        QCOMPARE(star->name(), QStringLiteral("Odd Star")); // the database's shape was never touched

        // Names: at most 100 characters of letters, numbers, punctuation, symbols and spaces; empty is fine.
        QLineEdit* name = editor.nameField();
        name->clear();
        QCOMPARE(editor.editedShape()->name(), QString());
        QTest::keyClicks(name, QString(101, QLatin1Char('n')));
        QCOMPARE(name->text(), QString(100, QLatin1Char('n')));
        name->clear();
        name->insert("Two\tWords");
        QCOMPARE(name->text(), QString());
        name->insert("Two Words \u20AC");
        QCOMPARE(editor.editedShape()->name(), QStringLiteral("Two Words \u20AC"));

        editor.move(40, 30);
        editor.resize(editor.minimumSizeHint() + QSize(120, 60));
        QTRY_COMPARE(editor.size(), editor.minimumSizeHint() + QSize(120, 60));
        editor.saveSettings();
        QVERIFY(!QSettings().value("shapeeditor.geometry").toByteArray().isEmpty());
        ShapeEditor second(nullptr);
        second.loadSettings();
        QCOMPARE(second.size(), editor.size());
    }

    // The sliders show two decimals of a percent; an edit stores only the value edited, and the others
    // reach the shape list as they were.
    void editorWritesOnlyTheEditedValue_data()
    {
        QTest::addColumn<std::function<void(ShapeEditor*)>>("edit");
        QTest::addColumn<QString>("name");
        QTest::addColumn<std::vector<geo::Normal1D>>("values");
        QTest::newRow("rename") << std::function<void(ShapeEditor*)>([](ShapeEditor* editor) {
            editor->nameField()->selectAll();
            QTest::keyClicks(editor->nameField(), "Even Star");
        }) << "Even Star" << std::vector<geo::Normal1D>{0.333333, 0.123456, 0.987654};
        QTest::newRow("slider moved") << std::function<void(ShapeEditor*)>([](ShapeEditor* editor) {
            editor->modifierEditor(1)->slider()->setValue(50);
        }) << "Odd Star" << std::vector<geo::Normal1D>{0.333333, 0.5, 0.987654};
        QTest::newRow("value typed") << std::function<void(ShapeEditor*)>([](ShapeEditor* editor) {
            typeInto(editor->modifierEditor(2)->spinBox(), "25");
        }) << "Odd Star" << std::vector<geo::Normal1D>{0.333333, 0.123456, 0.25};
    }

    void editorWritesOnlyTheEditedValue()
    {
        QFETCH(std::function<void(ShapeEditor*)>, edit);
        QFETCH(std::vector<geo::Normal1D>, values);
        AppFixture app;
        auto star = newShape(shape::Type::Star, "Odd Star");
        star->setModifierValues({0.333333, 0.123456, 0.987654});
        const QString identifier = shapes()->add(star);
        ShapeSelectionDialog* dialog = app.window()->shapeSelectionDialog();
        ShapeWidget chooser(false, app.window());
        chooser.onSelectShape();
        QTRY_VERIFY(dialog->isVisible());
        dialog->setSelectedShapeId(identifier);
        QTest::mouseClick(dialog->editButton(), Qt::LeftButton);
        ShapeEditor* editor = waitForEditor(app);
        QVERIFY(editor != nullptr);
        edit(editor);
        QCOMPARE(editor->editedShape()->modifierValues(), values);
        QTest::mouseClick(editor->buttonBox()->button(QDialogButtonBox::Save), Qt::LeftButton);
        QTRY_VERIFY(!editor->isVisible());
        QVERIFY(runQueuedCalls());
        QTEST(shapes()->shape(identifier)->name(), "name");
        QCOMPARE(shapes()->shape(identifier)->modifierValues(), values);
        dialog->reject();
    }

    // A run of the shared dialog reaches only the chooser that opened it: cancelled from one chooser
    // (which offers the default shape), accepted from another (which does not).
    void choosersShareTheSelection()
    {
        AppFixture app;
        ShapeWidget first(true, app.window());
        ShapeWidget second(false, app.window());
        QCOMPARE(first.nameLabel()->text(), QStringLiteral("Use Default"));
        QVERIFY(!first.editButton()->isEnabled());
        QCOMPARE(first.selectButton()->toolTip(), QStringLiteral("Select a new shape"));
        QCOMPARE(first.editButton()->toolTip(), QStringLiteral("Edit this shape"));
        QSignalSpy firstChanges(&first, &ShapeWidget::valueChanged);
        ShapeSelectionDialog* dialog = app.window()->shapeSelectionDialog();
        QTest::mouseClick(first.selectButton(), Qt::LeftButton);
        QTRY_VERIFY(dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Shape Selector"));
        QCOMPARE(dialog->model()->rowCount(), int(shapes()->shapeCount()) + 1);
        QCOMPARE(dialog->model()->index(0).data(Qt::ToolTipRole).toString(), QStringLiteral("Use Default"));
        QCOMPARE(dialog->listView()->selectionModel()->selectedRows().value(0).row(), 0);
        QVERIFY(dialog->okButton()->isEnabled() && !dialog->editButton()->isEnabled());
        QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel), Qt::LeftButton);
        QTRY_VERIFY(!dialog->isVisible());

        second.onSelectShape();
        QTRY_VERIFY(dialog->isVisible());
        QCOMPARE(dialog->model()->rowCount(), int(shapes()->shapeCount()));
        QVERIFY(!dialog->okButton()->isEnabled());
        clickIndex(dialog->listView(), dialog->model()->indexForShapeId("5_point_star"));
        QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
        QTRY_COMPARE(second.value(), QStringLiteral("5_point_star"));
        QCOMPARE(second.nameLabel()->text(), QStringLiteral("5-Point Star"));
        QVERIFY(!second.editButton()->isEnabled());
        // A double click chooses as well; the dialog opens on the current value.
        QTest::mouseClick(second.thumbnail(), Qt::LeftButton);
        QTRY_VERIFY(dialog->isVisible());
        QCOMPARE(dialog->selectedShapeId(), QStringLiteral("5_point_star"));
        doubleClickIndex(dialog->listView(), dialog->model()->indexForShapeId("drop_2"));
        QTRY_COMPARE(second.value(), QStringLiteral("drop_2"));
        QVERIFY(runQueuedCalls());
        QCOMPARE(firstChanges.count(), 0);
    }

    void buttonStates_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("isEditEnabled");
        QTest::addColumn<bool>("isRemoveEnabled");
        QTest::newRow("built-in") << "built-in" << false << false;
        QTest::newRow("user") << "user" << true << true;
        QTest::newRow("user, used by an item") << "used by item" << true << false;
        QTest::newRow("user, the world shape") << "world shape" << true << false;
    }

    void buttonStates()
    {
        QFETCH(QString, kind);
        QFETCH(bool, isRemoveEnabled);
        AppFixture app;
        const QString identifier = kind == "built-in" ? QStringLiteral("circle") : addUserShape("Marked");
        if (kind == "used by item") {
            documentOf(app)->items()->itemAt(0)->setShapeId(identifier);
        } else if (kind == "world shape") {
            propertiesOf(app)->setWorldShape(shapes()->shape(identifier));
        }
        ShapeSelectionDialog* dialog = app.window()->shapeSelectionDialog();
        dialog->setSelectedShapeId(identifier);
        QCOMPARE(dialog->selectedShapeId(), identifier);
        QTEST(dialog->editButton()->isEnabled(), "isEditEnabled");
        QCOMPARE(dialog->removeButton()->isEnabled(), isRemoveEnabled);
        QVERIFY(dialog->okButton()->isEnabled());
        // Remove leaves built-in and used shapes alone even when asked.
        dialog->onButtonClicked(dialog->removeButton());
        QCOMPARE(shapes()->hasShapeId(identifier), !isRemoveEnabled);
        dialog->setSelectedShapeId("no-such-shape");
        QVERIFY(!dialog->okButton()->isEnabled() && !dialog->editButton()->isEnabled() && !dialog->removeButton()->isEnabled());
    }

    void userShapeCreatedEditedAndRemoved()
    {
        AppFixture app;
        ShapeSelectionDialog* dialog = app.window()->shapeSelectionDialog();
        ShapeWidget chooser(false, app.window());
        chooser.onSelectShape();
        QTRY_VERIFY(dialog->isVisible());
        const int rowsBefore = dialog->model()->rowCount();
        QCOMPARE(actionTexts(dialog->newButton()->menu()->actions()), typeLabels);
        dialog->newButton()->menu()->actions().at(3)->trigger();
        ShapeEditor* editor = waitForEditor(app);
        QVERIFY(editor != nullptr);
        QCOMPARE(editor->nameField()->text(), QStringLiteral("New Shape"));
        editor->modifierEditor(0)->slider()->setValue(100);
        saveAs(editor, "Sea Star");

        QTRY_COMPARE(dialog->model()->rowCount(), rowsBefore + 1);
        const QString identifier = shapes()->shape(shapes()->shapeCount() - 1)->identifier();
        QTRY_COMPARE(dialog->selectedShapeId(), identifier); // selected once the list has it
        const QVariantMap stored = readShapeFile(identifier);
        QCOMPARE(stored.value("name").toString(), QStringLiteral("Sea Star"));
        QCOMPARE(stored.value("type").toString(), QStringLiteral("SimpleStar"));
        QCOMPARE(stored.value("modifier").toMap().value("0").toDouble(), 1.0);
        QVERIFY(dialog->editButton()->isEnabled() && dialog->removeButton()->isEnabled());
        QPixmap thumbnail;
        const QString createdKey = shapes()->shape(identifier)->visualFingerprint();
        QTRY_VERIFY(QPixmapCache::find(createdKey, &thumbnail));

        QTest::mouseClick(dialog->editButton(), Qt::LeftButton);
        editor = waitForEditor(app);
        QVERIFY(editor != nullptr);
        QCOMPARE(editor->windowTitle(), QStringLiteral("Edit Shape"));
        saveAs(editor, "Sea Star Large");
        QTRY_COMPARE(shapes()->shape(identifier)->name(), QStringLiteral("Sea Star Large"));
        QCOMPARE(readShapeFile(identifier).value("name").toString(), QStringLiteral("Sea Star Large"));
        QCOMPARE(dialog->model()->rowCount(), rowsBefore + 1);
        // The changed shape is drawn again under its new fingerprint.
        const QString editedKey = shapes()->shape(identifier)->visualFingerprint();
        QVERIFY(editedKey != createdKey);
        QTRY_VERIFY(QPixmapCache::find(editedKey, &thumbnail));

        QTest::mouseClick(dialog->removeButton(), Qt::LeftButton);
        QCOMPARE(dialog->model()->rowCount(), rowsBefore);
        QVERIFY(!shapes()->hasShapeId(identifier) && !QFile::exists(shapeFilePath(identifier)));
        const auto neighbour = dialog->selectedShape();
        QCOMPARE(dialog->editButton()->isEnabled(), neighbour != nullptr && !neighbour->isBuiltIn());
        dialog->reject();
        QTRY_VERIFY(!dialog->isVisible());
        QCOMPARE(chooser.value(), QString());
    }

    void thumbnails_data()
    {
        QTest::addColumn<bool>("isBuiltIn");
        QTest::addColumn<QColor>("color");
        QTest::newRow("built-in") << true << QColor::fromHsvF(0, 0, 0.95f);
        QTest::newRow("user") << false << QColor::fromHsvF(0.75f, 0.4f, 0.98f);
    }

    void thumbnails()
    {
        QFETCH(bool, isBuiltIn);
        QFETCH(QColor, color);
        AppFixture app;
        const QString identifier = isBuiltIn ? QStringLiteral("circle") : addUserShape("Disc", shape::Type::Circle);
        const QPixmap pixmap = ShapeItemDelegate::pixmapForShape(identifier);
        QCOMPARE(pixmap.size(), QSize(64, 64));
        const QImage image = pixmap.toImage();
        QCOMPARE(image.pixelColor(32, 32), QColor(color.name()));
        QCOMPARE(image.pixelColor(32, 5), QColor(color.name()));
        // Corners and the margin of 4 pixels stay clear.
        for (const QPoint corner : {QPoint(0, 0), QPoint(63, 0), QPoint(0, 63), QPoint(63, 63), QPoint(8, 8), QPoint(32, 2)}) {
            QCOMPARE(qAlpha(image.pixel(corner)), 0);
        }
        QCOMPARE(ShapeItemDelegate::pixmapForShape(identifier).cacheKey(), pixmap.cacheKey());
    }

    void editingAUsedShapeMarksTheProjectUnsaved()
    {
        AppFixture app;
        MainWindow* window = app.window();
        auto leaf = newShape(shape::Type::Leaf, "Garden Leaf");
        leaf->setIdentifier("garden-leaf");
        QTemporaryDir folder;
        const QVariantMap project{{"shapes", QVariantList{leaf->toData(175)}},
                                  {"properties", QVariantMap{{"worldShape", "garden-leaf"}}}};
        window->fileIO()->onApplicationFileOpen(folder.filePath("garden.mtfx"), QJsonDocument::fromVariant(project).toJson());
        QTRY_VERIFY(documentOf(app)->shapeIds().contains("garden-leaf"));
        QTRY_VERIFY(!window->isWindowModified());

        ShapeWidget* chooser = window->propertiesFrame()->mainTab()->defaultShapeChooser();
        QCOMPARE(chooser->nameLabel()->text(), QStringLiteral("Garden Leaf"));
        QTest::mouseClick(chooser->editButton(), Qt::LeftButton);
        ShapeEditor* editor = waitForEditor(app);
        QVERIFY(editor != nullptr);
        saveAs(editor, "Autumn Leaf");
        QTRY_COMPARE(chooser->nameLabel()->text(), QStringLiteral("Autumn Leaf"));
        QCOMPARE(readShapeFile("garden-leaf").value("name").toString(), QStringLiteral("Autumn Leaf"));
        QCOMPARE(chooser->value(), QStringLiteral("garden-leaf"));
        QVERIFY(window->isWindowModified());
    }

    void aRemovedShapeStillNamedByTheDocument()
    {
        AppFixture app;
        const QString identifier = addUserShape("Passing Star");
        ShapeWidget* chooser = app.window()->propertiesFrame()->mainTab()->defaultShapeChooser();
        chooser->setValue(identifier);
        QCOMPARE(propertiesOf(app)->worldShape()->identifier(), identifier);
        QVERIFY(!isClear(chooser->thumbnail()));
        QTest::mouseClick(chooser->editButton(), Qt::LeftButton);

        // Removed behind the dialogs' back (which never offer it while the document uses it), just
        // after the click that asked to edit it.
        QVERIFY(shapes()->remove(identifier));
        QCOMPARE(chooser->value(), identifier);
        QCOMPARE(chooser->nameLabel()->text(), identifier);
        QVERIFY(!chooser->editButton()->isEnabled());
        QVERIFY(isClear(chooser->thumbnail()));
        QCOMPARE(qAlpha(ShapeItemDelegate::pixmapForShape(identifier).toImage().pixel(32, 32)), 0);
        QTRY_VERIFY(!chooser->isEditorOpenPending());
        QVERIFY(!app.window()->shapeEditor()->isVisible());

        ShapeSelectionDialog* dialog = app.window()->shapeSelectionDialog();
        chooser->onSelectShape();
        QTRY_VERIFY(dialog->isVisible());
        QVERIFY(dialog->selectedShape() == nullptr && !dialog->okButton()->isEnabled());
        dialog->reject();
        documentOf(app)->resetToDefault();
        QCOMPARE(chooser->value(), QStringLiteral("circle"));
    }
};

MOTIFEX_WIDGET_TEST_MAIN(ShapesTest)
#include "tst_shapes.moc"
