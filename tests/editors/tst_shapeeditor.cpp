#include "editors/Normal1DWidget.h"
#include "editors/ShapeEditor.h"
#include "editors/ShapeEditorPreview.h"
#include "shape/Builder.h"
#include "shape/Manager.h"
#include "support/UserActions.h"
#include "support/WidgetTestMain.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QtTest>

namespace {

QStringList visibleCaptions(const ShapeEditor& editor)
{
    QStringList captions;
    for (int row = 0; row < ShapeEditor::modifierRowCount; ++row) {
        const bool isCaptionShown = editor.modifierCaption(row)->isVisibleTo(&editor);
        if (isCaptionShown != editor.modifierEditor(row)->isVisibleTo(&editor)) {
            captions.append(QStringLiteral("<caption and editor disagree in row %1>").arg(row));
        } else if (isCaptionShown) {
            captions.append(editor.modifierCaption(row)->text());
        }
    }
    return captions;
}

std::shared_ptr<shape::Base> userStar()
{
    auto star = shape::Builder::createShape(shape::Type::Star);
    star->setRandomIdentifier();
    star->setName("Odd Star");
    // Values off the sliders' two-decimal grid: showing them must not round them.
    star->setModifierValues({0.333333, 0.123456, 0.987654});
    return star;
}

} // namespace

class ShapeEditorTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        m_shapes = std::make_unique<shape::Manager>();
    }

    void cleanupTestCase()
    {
        m_shapes.reset();
    }

    void rowsFollowTheShape_data()
    {
        QTest::addColumn<QString>("identifier");
        QTest::addColumn<QString>("typeLabel");
        QTest::addColumn<QStringList>("captions");
        QTest::newRow("circle") << "circle" << "Circle" << QStringList();
        QTest::newRow("star") << "5_point_star" << "Star"
                              << QStringList{"Point Count:", "Valley Ratio:", "Valley Shift:"};
        QTest::newRow("leaf") << "leaf-1" << "Leaf"
                              << QStringList{"Width:", "Radius:", "Vein Length:", "Vein Angle:"};
    }

    void rowsFollowTheShape()
    {
        QFETCH(QString, identifier);
        QFETCH(QString, typeLabel);
        QFETCH(QStringList, captions);
        const auto shape = m_shapes->shape(identifier);
        QVERIFY(shape != nullptr);
        ShapeEditor editor(nullptr);
        editor.editExisting(shape);
        QCOMPARE(editor.windowTitle(), QStringLiteral("Edit Shape"));
        QCOMPARE(editor.titleLabel()->text(), QStringLiteral("<h2>Edit Shape</h2>"));
        QCOMPARE(editor.mode(), ShapeEditor::Mode::Edit);
        QCOMPARE(editor.typeChooser()->currentText(), typeLabel);
        QVERIFY(!editor.typeChooser()->isEnabled());
        QCOMPARE(visibleCaptions(editor), captions);
        QCOMPARE(editor.nameField()->text(), shape->name());

        // A copy, not the database's shape.
        const auto& edited = editor.editedShape();
        QVERIFY(edited != shape);
        QVERIFY(edited->identifier() != identifier);
        QVERIFY(!edited->isBuiltIn());
        QVERIFY(edited->isVisuallyEqual(shape));
        QCOMPARE(editor.preview()->shape(), edited);
    }

    void showingAShapeChangesNothing()
    {
        const auto star = userStar();
        ShapeEditor editor(nullptr);
        editor.editExisting(star);
        QCOMPARE(editor.editedShape()->modifierValues(), star->modifierValues());
        QCOMPARE(editor.modifierEditor(0)->spinBox()->value(), 33.33);
        QCOMPARE(editor.modifierEditor(2)->slider()->value(), 98);
        editor.updateUiFromEditedShape();
        QCOMPARE(editor.editedShape()->modifierValues(), star->modifierValues());
        QCOMPARE(editor.editedShape()->name(), QStringLiteral("Odd Star"));
    }

    void newShapesAndTheirType()
    {
        // Opened before any run, the editor edits a circle.
        ShapeEditor editor(nullptr);
        QCOMPARE(editor.mode(), ShapeEditor::Mode::New);
        QCOMPARE(editor.editedShape()->type(), shape::Type::Circle);
        QCOMPARE(editor.typeChooser()->currentText(), QStringLiteral("Circle"));
        QStringList labels;
        QStringList identifiers;
        for (int index = 0; index < editor.typeChooser()->count(); ++index) {
            labels.append(editor.typeChooser()->itemText(index));
            identifiers.append(editor.typeChooser()->itemData(index).toString());
        }
        QCOMPARE(labels, (QStringList{"Circle", "Ring", "Polygon", "Star", "Cross", "Heart or Drop", "Arrow", "Leaf"}));
        QCOMPARE(identifiers, (QStringList{"Circle", "Ring", "SimplePolygon", "SimpleStar", "SimpleCross", "Heart",
                                           "Arrow", "Leaf"}));

        editor.editNew(shape::Type::Leaf);
        QCOMPARE(editor.windowTitle(), QStringLiteral("Create New Shape"));
        QCOMPARE(editor.titleLabel()->text(), QStringLiteral("<h2>Create New Shape</h2>"));
        QCOMPARE(editor.mode(), ShapeEditor::Mode::New);
        QVERIFY(editor.typeChooser()->isEnabled());
        QCOMPARE(editor.typeChooser()->currentText(), QStringLiteral("Leaf"));
        QCOMPARE(editor.nameField()->text(), QStringLiteral("New Shape"));
        QCOMPARE(editor.editedShape()->type(), shape::Type::Leaf);
        QVERIFY(shape::Base::isValidIdentifier(editor.editedShape()->identifier()));
        QCOMPARE(visibleCaptions(editor).size(), 4);

        // In a new run the type replaces the shape with the type's defaults.
        editor.typeChooser()->setCurrentIndex(editor.typeChooser()->findText("Heart or Drop"));
        QCOMPARE(editor.editedShape()->type(), shape::Type::Heart);
        QCOMPARE(editor.nameField()->text(), QStringLiteral("Heart or Drop"));
        QCOMPARE(editor.editedShape()->modifierValues(), (std::vector<geo::Normal1D>{0.5, 0.5}));
        QCOMPARE(visibleCaptions(editor), (QStringList{"Bulge Ratio:", "Bulge Angle:"}));
        QCOMPARE(editor.preview()->shape(), editor.editedShape());

        // In an edit run it cannot.
        editor.editExisting(m_shapes->shape("circle"));
        const auto edited = editor.editedShape();
        editor.typeChooser()->setCurrentIndex(3);
        QCOMPARE(editor.editedShape(), edited);
        QCOMPARE(editor.editedShape()->type(), shape::Type::Circle);
    }

    void editsAndReset()
    {
        const auto star = userStar();
        ShapeEditor editor(nullptr);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        editor.editExisting(star);
        const QImage startPicture = editor.preview()->grab().toImage();

        editor.nameField()->selectAll();
        QTest::keyClicks(editor.nameField(), "Even Star");
        editor.modifierEditor(0)->slider()->setValue(100);
        motifex::test::typeInto(editor.modifierEditor(1)->spinBox(), "0");
        QCOMPARE(editor.editedShape()->name(), QStringLiteral("Even Star"));
        QCOMPARE(editor.editedShape()->modifierValues().at(0), geo::Normal1D(1.0));
        QCOMPARE(editor.editedShape()->modifierValues().at(1), geo::Normal1D(0.0));
        QTRY_VERIFY(editor.preview()->grab().toImage() != startPicture);

        QTest::mouseClick(editor.buttonBox()->button(QDialogButtonBox::Reset), Qt::LeftButton);
        QCOMPARE(editor.editedShape()->name(), QStringLiteral("Odd Star"));
        QCOMPARE(editor.nameField()->text(), QStringLiteral("Odd Star"));
        QCOMPARE(editor.editedShape()->modifierValues(), star->modifierValues());
        QCOMPARE(editor.modifierEditor(0)->spinBox()->value(), 33.33);
        QTRY_COMPARE(editor.preview()->grab().toImage(), startPicture);
        // The database's shape was never touched.
        QCOMPARE(star->name(), QStringLiteral("Odd Star"));
    }

    void nameRules()
    {
        ShapeEditor editor(nullptr);
        editor.editNew(shape::Type::Circle);
        QLineEdit* name = editor.nameField();
        name->clear();
        QCOMPARE(editor.editedShape()->name(), QString());
        QTest::keyClicks(name, QString(101, QLatin1Char('n')));
        QCOMPARE(name->text(), QString(100, QLatin1Char('n')));
        // Pasted text passes the same rule: a control character is refused, symbols are welcome.
        name->clear();
        name->insert("Two\tWords");
        QCOMPARE(name->text(), QString());
        name->insert("Two Words \u20AC");
        QCOMPARE(name->text(), QStringLiteral("Two Words \u20AC"));
        QCOMPARE(editor.editedShape()->name(), QStringLiteral("Two Words \u20AC"));
    }

    void geometryIsKept()
    {
        ShapeEditor first(nullptr);
        first.show();
        QVERIFY(QTest::qWaitForWindowExposed(&first));
        first.move(40, 30);
        first.resize(first.minimumSizeHint() + QSize(120, 60));
        QTRY_COMPARE(first.size(), first.minimumSizeHint() + QSize(120, 60));
        first.saveSettings();
        QVERIFY(!QSettings().value("shapeeditor.geometry").toByteArray().isEmpty());

        ShapeEditor second(nullptr);
        second.loadSettings();
        QCOMPARE(second.size(), first.size());
    }

private:
    std::unique_ptr<shape::Manager> m_shapes;
};

MOTIFEX_WIDGET_TEST_MAIN(ShapeEditorTest)
#include "tst_shapeeditor.moc"
