#include "app/ActionButton.h"
#include "app/FileIO.h"
#include "app/MainWindow.h"
#include "doc/Document.h"
#include "doc/Item.h"
#include "doc/Items.h"
#include "doc/Properties.h"
#include "editors/MainTab.h"
#include "editors/Normal1DWidget.h"
#include "editors/PropertiesFrame.h"
#include "editors/ShapeEditor.h"
#include "editors/ShapeItemDelegate.h"
#include "editors/ShapeItemModel.h"
#include "editors/ShapePreviewWidget.h"
#include "editors/ShapeSelectionDialog.h"
#include "editors/ShapeWidget.h"
#include "shape/Builder.h"
#include "shape/Manager.h"
#include "support/AppFixture.h"
#include "support/UserActions.h"
#include "support/WidgetTestMain.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPixmapCache>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QtTest>

using motifex::test::AppFixture;
using motifex::test::clickIndex;
using motifex::test::doubleClickIndex;

namespace {

shape::Manager* shapes()
{
    return shape::Manager::instance();
}

QString addUserShape(const QString& name, shape::Type type = shape::Type::Star)
{
    auto shape = shape::Builder::createShape(type);
    shape->setRandomIdentifier();
    shape->setName(name);
    return shapes()->add(shape);
}

QString shapeFilePath(const QString& identifier)
{
    return QDir(shape::Manager::getShapeStorageDir()).filePath(QStringLiteral("shape_%1.json").arg(identifier));
}

QVariantMap readShapeFile(const QString& identifier)
{
    QFile file(shapeFilePath(identifier));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QJsonDocument::fromJson(file.readAll()).toVariant().toMap();
}

ShapeEditor* waitForEditor(AppFixture& app)
{
    ShapeEditor* editor = app.window()->shapeEditor();
    if (!QTest::qWaitFor([editor] { return editor->isVisible(); })) {
        return nullptr;
    }
    return editor;
}

void retypeName(ShapeEditor* editor, const QString& name)
{
    editor->nameField()->selectAll();
    QTest::keyClicks(editor->nameField(), name);
}

QImage drawnPixels(QWidget* widget)
{
    QImage image(widget->size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    widget->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

bool isClear(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) != 0) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

class ShapeSelectionTest : public QObject
{
    Q_OBJECT

private slots:
    void chooserWithDefault()
    {
        AppFixture app;
        ShapeWidget chooser(true, app.window());
        QCOMPARE(chooser.nameLabel()->text(), QStringLiteral("Use Default"));
        QVERIFY(!chooser.editButton()->isEnabled());
        QCOMPARE(chooser.selectButton()->toolTip(), QStringLiteral("Select a new shape"));
        QCOMPARE(chooser.editButton()->toolTip(), QStringLiteral("Edit this shape"));

        QSignalSpy changes(&chooser, &ShapeWidget::valueChanged);
        QTest::mouseClick(chooser.selectButton(), Qt::LeftButton);
        ShapeSelectionDialog* dialog = app.window()->shapeSelectionDialog();
        QTRY_VERIFY(dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Shape Selector"));
        QCOMPARE(dialog->model()->rowCount(), static_cast<int>(shapes()->shapeCount()) + 1);
        QCOMPARE(dialog->model()->index(0).data(Qt::ToolTipRole).toString(), QStringLiteral("Use Default"));
        QCOMPARE(dialog->listView()->selectionModel()->selectedRows().value(0).row(), 0);
        QCOMPARE(dialog->selectedShapeId(), QString());
        QVERIFY(dialog->okButton()->isEnabled());
        QVERIFY(!dialog->editButton()->isEnabled());

        QTest::keyClick(dialog, Qt::Key_Escape);
        QTRY_VERIFY(!dialog->isVisible());
        QCOMPARE(changes.count(), 0);
        QCOMPARE(chooser.value(), QString());
    }

    void aRunReachesOnlyItsOpener()
    {
        AppFixture app;
        ShapeWidget first(false, app.window());
        ShapeWidget second(false, app.window());
        QSignalSpy firstChanges(&first, &ShapeWidget::valueChanged);
        ShapeSelectionDialog* dialog = app.window()->shapeSelectionDialog();

        first.onSelectShape();
        QTRY_VERIFY(dialog->isVisible());
        QCOMPARE(dialog->model()->rowCount(), static_cast<int>(shapes()->shapeCount()));
        QVERIFY(!dialog->okButton()->isEnabled());
        QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel), Qt::LeftButton);
        QTRY_VERIFY(!dialog->isVisible());

        second.onSelectShape();
        QTRY_VERIFY(dialog->isVisible());
        clickIndex(dialog->listView(), dialog->model()->indexForShapeId("5_point_star"));
        QCOMPARE(dialog->selectedShapeId(), QStringLiteral("5_point_star"));
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
        QCOMPARE(firstChanges.count(), 0);
        QCOMPARE(first.value(), QString());
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
        QFETCH(bool, isEditEnabled);
        QFETCH(bool, isRemoveEnabled);
        AppFixture app;
        const auto document = app.controller().document();
        const QString identifier = kind == "built-in" ? QStringLiteral("circle") : addUserShape("Marked");
        if (kind == "used by item") {
            document->items()->itemAt(0)->setShapeId(identifier);
        } else if (kind == "world shape") {
            document->properties()->setWorldShape(shapes()->shape(identifier));
        }
        ShapeSelectionDialog* dialog = app.window()->shapeSelectionDialog();
        dialog->setSelectedShapeId(identifier);
        QCOMPARE(dialog->selectedShapeId(), identifier);
        QCOMPARE(dialog->editButton()->isEnabled(), isEditEnabled);
        QCOMPARE(dialog->removeButton()->isEnabled(), isRemoveEnabled);
        QVERIFY(dialog->okButton()->isEnabled());

        // Remove leaves built-in and used shapes alone even when asked.
        dialog->onButtonClicked(dialog->removeButton());
        QCOMPARE(shapes()->hasShapeId(identifier), !isRemoveEnabled);

        dialog->setSelectedShapeId("no-such-shape");
        QVERIFY(!dialog->okButton()->isEnabled());
        QVERIFY(!dialog->editButton()->isEnabled());
        QVERIFY(!dialog->removeButton()->isEnabled());
    }

    void userShapeCreatedEditedAndRemoved()
    {
        AppFixture app;
        ShapeSelectionDialog* dialog = app.window()->shapeSelectionDialog();
        ShapeWidget chooser(false, app.window());
        chooser.onSelectShape();
        QTRY_VERIFY(dialog->isVisible());
        const int rowsBefore = dialog->model()->rowCount();

        QStringList typeLabels;
        for (QAction* action : dialog->newButton()->menu()->actions()) {
            typeLabels.append(action->text());
        }
        QCOMPARE(typeLabels, (QStringList{"Circle", "Ring", "Polygon", "Star", "Cross", "Heart or Drop", "Arrow",
                                          "Leaf"}));
        dialog->newButton()->menu()->actions().at(3)->trigger();
        ShapeEditor* editor = waitForEditor(app);
        QVERIFY(editor != nullptr);
        QCOMPARE(editor->windowTitle(), QStringLiteral("Create New Shape"));
        QCOMPARE(editor->nameField()->text(), QStringLiteral("New Shape"));
        retypeName(editor, "Sea Star");
        editor->modifierEditor(0)->slider()->setValue(100);
        QTest::mouseClick(editor->buttonBox()->button(QDialogButtonBox::Save), Qt::LeftButton);

        QTRY_COMPARE(dialog->model()->rowCount(), rowsBefore + 1);
        const QString identifier = shapes()->shape(shapes()->shapeCount() - 1)->identifier();
        QTRY_COMPARE(dialog->selectedShapeId(), identifier);
        QVariantMap stored = readShapeFile(identifier);
        QCOMPARE(stored.value("name").toString(), QStringLiteral("Sea Star"));
        QCOMPARE(stored.value("type").toString(), QStringLiteral("SimpleStar"));
        QCOMPARE(stored.value("modifier").toMap().value("0").toDouble(), 1.0);
        QVERIFY(dialog->editButton()->isEnabled());
        QVERIFY(dialog->removeButton()->isEnabled());
        QPixmap thumbnail;
        const QString createdKey = shapes()->shape(identifier)->visualFingerprint();
        QTRY_VERIFY(QPixmapCache::find(createdKey, &thumbnail));

        QTest::mouseClick(dialog->editButton(), Qt::LeftButton);
        editor = waitForEditor(app);
        QVERIFY(editor != nullptr);
        QCOMPARE(editor->windowTitle(), QStringLiteral("Edit Shape"));
        QVERIFY(!editor->typeChooser()->isEnabled());
        QCOMPARE(editor->nameField()->text(), QStringLiteral("Sea Star"));
        QTest::keyClicks(editor->nameField(), " Large");
        QTest::mouseClick(editor->buttonBox()->button(QDialogButtonBox::Save), Qt::LeftButton);
        QTRY_COMPARE(shapes()->shape(identifier)->name(), QStringLiteral("Sea Star Large"));
        QCOMPARE(readShapeFile(identifier).value("name").toString(), QStringLiteral("Sea Star Large"));
        QCOMPARE(dialog->model()->rowCount(), rowsBefore + 1);
        // The changed shape is drawn again under its new fingerprint.
        const QString editedKey = shapes()->shape(identifier)->visualFingerprint();
        QVERIFY(editedKey != createdKey);
        QTRY_VERIFY(QPixmapCache::find(editedKey, &thumbnail));

        QTest::mouseClick(dialog->removeButton(), Qt::LeftButton);
        QCOMPARE(dialog->model()->rowCount(), rowsBefore);
        QVERIFY(!shapes()->hasShapeId(identifier));
        QVERIFY(!QFile::exists(shapeFilePath(identifier)));
        QVERIFY(dialog->selectedShapeId() != identifier);
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
        for (const QPoint corner : {QPoint(0, 0), QPoint(63, 0), QPoint(0, 63), QPoint(63, 63), QPoint(8, 8)}) {
            QCOMPARE(qAlpha(image.pixel(corner)), 0);
        }
        // The margin of 4 pixels stays clear.
        QCOMPARE(qAlpha(image.pixel(32, 2)), 0);
        QCOMPARE(ShapeItemDelegate::pixmapForShape(identifier).cacheKey(), pixmap.cacheKey());
        QVERIFY(isClear(ShapeItemDelegate::pixmapForShape("no-such-shape").toImage()));
    }

    void editingAUsedShapeMarksTheProjectUnsaved()
    {
        AppFixture app;
        MainWindow* window = app.window();
        auto leaf = shape::Builder::createShape(shape::Type::Leaf);
        leaf->setIdentifier("garden-leaf");
        leaf->setName("Garden Leaf");
        QTemporaryDir folder;
        const QString path = folder.filePath("garden.mtfx");
        QVariantMap project{{"shapes", QVariantList{leaf->toData(175)}},
                            {"properties", QVariantMap{{"worldShape", "garden-leaf"}}}};
        window->fileIO()->onApplicationFileOpen(path, QJsonDocument::fromVariant(project).toJson());
        const auto document = app.controller().document();
        QTRY_VERIFY(document->shapeIds().contains("garden-leaf"));
        QTRY_VERIFY(!window->isWindowModified());
        QVERIFY(window->windowTitle().contains("[*]"));

        ShapeWidget* chooser = window->propertiesFrame()->mainTab()->defaultShapeChooser();
        QCOMPARE(chooser->value(), QStringLiteral("garden-leaf"));
        QCOMPARE(chooser->nameLabel()->text(), QStringLiteral("Garden Leaf"));
        QVERIFY(chooser->editButton()->isEnabled());
        QTest::mouseClick(chooser->editButton(), Qt::LeftButton);
        ShapeEditor* editor = waitForEditor(app);
        QVERIFY(editor != nullptr);
        retypeName(editor, "Autumn Leaf");
        QTest::mouseClick(editor->buttonBox()->button(QDialogButtonBox::Save), Qt::LeftButton);

        QTRY_COMPARE(chooser->nameLabel()->text(), QStringLiteral("Autumn Leaf"));
        QCOMPARE(shapes()->shape("garden-leaf")->name(), QStringLiteral("Autumn Leaf"));
        QCOMPARE(readShapeFile("garden-leaf").value("name").toString(), QStringLiteral("Autumn Leaf"));
        QCOMPARE(chooser->value(), QStringLiteral("garden-leaf"));
        QVERIFY(window->isWindowModified());
    }

    void aRemovedShapeStillNamedByTheDocument()
    {
        AppFixture app;
        const auto document = app.controller().document();
        const QString identifier = addUserShape("Passing Star");
        ShapeWidget* chooser = app.window()->propertiesFrame()->mainTab()->defaultShapeChooser();
        chooser->setValue(identifier);
        QCOMPARE(document->properties()->worldShape()->identifier(), identifier);
        QVERIFY(chooser->editButton()->isEnabled());
        QVERIFY(!isClear(drawnPixels(chooser->thumbnail())));

        // Removed behind the dialogs' back, which never offer it while the document uses it.
        QVERIFY(shapes()->remove(identifier));
        QCOMPARE(chooser->value(), identifier);
        QCOMPARE(chooser->nameLabel()->text(), identifier);
        QVERIFY(!chooser->editButton()->isEnabled());
        QVERIFY(isClear(drawnPixels(chooser->thumbnail())));
        QVERIFY(isClear(ShapeItemDelegate::pixmapForShape(identifier).toImage()));

        ShapeSelectionDialog* dialog = app.window()->shapeSelectionDialog();
        chooser->onSelectShape();
        QTRY_VERIFY(dialog->isVisible());
        QVERIFY(!dialog->listView()->selectionModel()->hasSelection());
        QVERIFY(dialog->selectedShape() == nullptr);
        QVERIFY(!dialog->okButton()->isEnabled());
        dialog->reject();
        QTRY_VERIFY(!dialog->isVisible());

        // Asked to edit anyway, nothing opens once the editor's delay has passed.
        chooser->onEditShape();
        bool isDelayOver = false;
        QTimer::singleShot(100, this, [&isDelayOver] { isDelayOver = true; });
        QTRY_VERIFY(isDelayOver);
        QVERIFY(!app.window()->shapeEditor()->isVisible());
        document->resetToDefault();
        QCOMPARE(chooser->value(), QStringLiteral("circle"));
    }
};

MOTIFEX_WIDGET_TEST_MAIN(ShapeSelectionTest)
#include "tst_shapeselection.moc"
