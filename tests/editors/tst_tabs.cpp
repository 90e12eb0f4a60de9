#include "editors/CanvasTab.h"
#include "editors/FramePreviewWidget.h"
#include "editors/MainTab.h"
#include "editors/Normal1DWidget.h"
#include "editors/ShapeWidget.h"
#include "editors/StaticColorWidget.h"
#include "frame/Base.h"
#include "generator/Generator.h"
#include "generator/GeneratorManager.h"
#include "shape/Manager.h"
#include "support/EditorTesting.h"
#include "widgets/ActionButton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSlider>

#include <functional>

using namespace motifex::test;

namespace {

// A user's edit in one tab of the panel, which it shows first.
using PanelEdit = std::function<void(PropertiesFrame*)>;

template<typename Tab>
PanelEdit editIn(Tab* (PropertiesFrame::*tab)() const, const std::function<void(Tab*)>& edit)
{
    return [tab, edit](PropertiesFrame* panel) {
        panel->showTab((panel->*tab)());
        edit((panel->*tab)());
    };
}

PanelEdit mainEdit(const std::function<void(MainTab*)>& edit)
{
    return editIn(&PropertiesFrame::mainTab, edit);
}

PanelEdit canvasEdit(const std::function<void(CanvasTab*)>& edit)
{
    return editIn(&PropertiesFrame::canvasTab, edit);
}

// The labels of the value rows the tab shows; "mismatch" for a row whose label and editor disagree,
// "unlabelled" for a hidden row that kept its text.
QStringList shownValueRows(const CanvasTab* tab)
{
    QStringList labels;
    for (int index = 0; index < CanvasTab::frameValueCount; ++index) {
        const CanvasTab::FrameValueRow& row = tab->frameValueRow(index);
        if (row.label->isHidden() != row.editor->isHidden()) {
            labels << QStringLiteral("mismatch");
        } else if (!row.label->isHidden()) {
            labels << row.label->text();
        } else if (!row.label->text().isEmpty()) {
            labels << QStringLiteral("unlabelled");
        }
    }
    return labels;
}

QList<double> frameValues(const doc::Properties& properties)
{
    QList<double> values;
    for (std::size_t index = 0; index < 5; ++index) {
        values << properties.canvasFrameValue(index).value();
    }
    return values;
}

// Chooses the entry of a colour widget's preset menu.
void choosePreset(StaticColorWidget* widget, int submenu, int entry)
{
    widget->presetsButton()->menu()->actions().at(submenu)->menu()->actions().at(entry)->trigger();
}

QVariantMap size(qint64 width, qint64 height)
{
    return {{"width", width}, {"height", height}};
}

} // namespace

Q_DECLARE_METATYPE(PanelEdit)

// The main and canvas tabs.
class TabsTest : public QObject
{
    Q_OBJECT

private slots:
    void rows()
    {
        AppFixture app;
        MainTab* tab = app.window()->propertiesFrame()->mainTab();
        const auto generator = app.controller().generatorManager()->get("pointgrid");
        QCOMPARE(tab->generatorChooser()->count(), 1);
        QCOMPARE(tab->generatorChooser()->itemData(0).toString(), QStringLiteral("pointgrid"));
        QCOMPARE(tab->generatorChooser()->itemText(0), generator->name());
        QCOMPARE(tab->algorithmChooser()->count(), int(generator->algorithmList().size()));
        for (int index = 0; index < tab->algorithmChooser()->count(); ++index) {
            const Generator::AlgorithmEntry& entry = generator->algorithmList().at(std::size_t(index));
            QCOMPARE(tab->algorithmChooser()->itemText(index), entry.name);
            QCOMPARE(tab->algorithmChooser()->itemData(index).toString(), entry.identifier);
            QVERIFY(!tab->algorithmChooser()->itemIcon(index).isNull());
        }
        QCOMPARE(comboTexts(tab->precisionChooser()), (QStringList{"1 mm", "0.1 mm", "0.01 mm"}));
        QCOMPARE(tab->precisionChooser()->iconSize(), QSize(20, 20));
        QCOMPARE((QList<double>{tab->spacingField()->maximum(), tab->spacingField()->singleStep()}), (QList<double>{100, 0.1}));
        QVERIFY(!tab->defaultShapeChooser()->isDefaultAllowed());
        QCOMPARE(tab->roundPositionsCheck()->text(), QStringLiteral("Round positions"));
        QCOMPARE(tab->snapToFrameCheck()->text(), QStringLiteral("Snap to Frame"));
        QCOMPARE(tab->galleryButton()->text(), QStringLiteral("Open Example Gallery..."));
    }

    void changesFromOutsideAreShownAndNotWrittenBack()
    {
        AppFixture app;
        MainTab* tab = app.window()->propertiesFrame()->mainTab();
        const auto properties = propertiesOf(app);
        ChangeRecorder recorder(documentOf(app));
        properties->setAlgorithmIdentifier("closestToCenter");
        properties->setPrecision(geo::Precision::fromLevel(0));
        properties->setItemSpacing(geo::Length(2009999));
        properties->setItemOverlap(geo::Length(1250000));
        properties->setWorldShape(shape::Manager::instance()->shape("square"));
        properties->setRandomPlacementAmount(0.75);
        properties->setRoundToPrecisionEnabled(true);
        QCOMPARE(recorder.count(), 7);
        QCOMPARE(tab->algorithmChooser()->currentIndex(), 2);
        QCOMPARE(tab->precisionChooser()->currentIndex(), 0);
        QCOMPARE(tab->spacingField()->text(), QStringLiteral("2.01"));
        QCOMPARE(tab->overlapField()->value(), 1.25);
        QCOMPARE(tab->defaultShapeChooser()->value(), QStringLiteral("square"));
        QCOMPARE(tab->randomPlacementEditor()->spinBox()->value(), 75.0);
        QVERIFY(tab->roundPositionsCheck()->isChecked());
        // A precision level without entry shows none and stays until the user picks one.
        documentOf(app)->setFromDataOrThrow(QVariantMap{{"properties", QVariantMap{{"precision", 4}}}});
        QCOMPARE(tab->precisionChooser()->currentIndex(), -1);
        QCOMPARE(properties->precision().level(), 4);
        // An algorithm the generator does not list shows the first, without writing it.
        properties->setAlgorithmIdentifier("retired");
        QCOMPARE(tab->algorithmChooser()->currentIndex(), 0);
        QCOMPARE(properties->algorithmIdentifier(), QStringLiteral("retired"));
    }

    void choosingAGeneratorRefillsTheAlgorithms_data()
    {
        QTest::addColumn<QString>("algorithm");
        QTest::addColumn<QStringList>("changes");
        QTest::newRow("listed algorithm kept") << "largestSpace" << QStringList{"changed properties/generatorIdentifier"};
        QTest::newRow("unlisted algorithm replaced")
            << "retired" << QStringList{"changed properties/generatorIdentifier", "changed properties/algorithmIdentifier"};
    }

    void choosingAGeneratorRefillsTheAlgorithms()
    {
        QFETCH(QString, algorithm);
        AppFixture app;
        MainTab* tab = app.window()->propertiesFrame()->mainTab();
        const auto properties = propertiesOf(app);
        // A generator that is not registered (any more): no entry, no algorithms.
        properties->setGeneratorIdentifier("retired");
        properties->setAlgorithmIdentifier(algorithm);
        QCOMPARE(tab->generatorChooser()->currentIndex(), -1);
        QCOMPARE(tab->algorithmChooser()->count(), 0);

        ChangeRecorder recorder(documentOf(app));
        QStringList algorithmsWritten;
        QObject::connect(tab->algorithmChooser(), &QComboBox::currentIndexChanged, tab,
                         [&] { algorithmsWritten.append(properties->algorithmIdentifier()); });
        tab->generatorChooser()->setCurrentIndex(0);
        QCOMPARE(properties->generatorIdentifier(), QStringLiteral("pointgrid"));
        QTEST(recorder.records(), "changes");
        QCOMPARE(tab->algorithmChooser()->count(), 11);
        QCOMPARE(tab->algorithmChooser()->currentData().toString(), properties->algorithmIdentifier());
        QVERIFY(!properties->algorithmIdentifier().isEmpty() && properties->algorithmIdentifier() != "retired");
        QCOMPARE(algorithmsWritten, QStringList()); // refilling the list sends no change of its own
    }

    void defaultShapeOnlyNamesHeldShapes()
    {
        AppFixture app;
        MainTab* tab = app.window()->propertiesFrame()->mainTab();
        const auto before = propertiesOf(app)->worldShape();
        ChangeRecorder recorder(documentOf(app));
        tab->defaultShapeChooser()->setValue("no-such-shape");
        QCOMPARE(recorder.records(), QStringList());
        QCOMPARE(propertiesOf(app)->worldShape(), before);
        QCOMPARE(tab->defaultShapeChooser()->nameLabel()->text(), QStringLiteral("no-such-shape"));
    }
    void eachEditIsOneChange_data()
    {
        QTest::addColumn<PanelEdit>("edit");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("stored");
        QTest::newRow("algorithm") << mainEdit([](MainTab* t) { t->algorithmChooser()->setCurrentIndex(3); })
                                   << "algorithmIdentifier" << QVariant("leftToRight");
        QTest::newRow("precision") << mainEdit([](MainTab* t) { t->precisionChooser()->setCurrentIndex(2); })
                                   << "precision" << QVariant(2);
        // 2.01 × 1000000 lies just below 2010000 in double precision and is truncated.
        QTest::newRow("spacing 2.01 mm") << mainEdit([](MainTab* t) { typeInto(t->spacingField(), "2.01"); })
                                         << "itemSpacing" << QVariant(2009999);
        QTest::newRow("overlap above the range") << mainEdit([](MainTab* t) { typeInto(t->overlapField(), "150"); })
                                                 << "itemOverlap" << QVariant(100000000);
        QTest::newRow("default shape") << mainEdit([](MainTab* t) { t->defaultShapeChooser()->setValue("5_point_star"); })
                                       << "worldShape" << QVariant("5_point_star");
        QTest::newRow("random placement") << mainEdit([](MainTab* t) { t->randomPlacementEditor()->slider()->setValue(25); })
                                          << "randomPlacementAmount" << QVariant(0.25);
        QTest::newRow("round positions") << mainEdit([](MainTab* t) { QTest::mouseClick(t->roundPositionsCheck(), Qt::LeftButton); })
                                         << "roundToPrecisionEnabled" << QVariant(true);
        QTest::newRow("snap to frame") << mainEdit([](MainTab* t) { QTest::mouseClick(t->snapToFrameCheck(), Qt::LeftButton); })
                                       << "snapToFrameEnabled" << QVariant(false);
        QTest::newRow("width") << canvasEdit([](CanvasTab* t) { typeInto(t->widthBox(), "120.5"); }) << "canvasSize"
                               << QVariant(size(120500000, 52000000));
        QTest::newRow("height below 1 mm") << canvasEdit([](CanvasTab* t) { typeInto(t->heightBox(), "0.2"); })
                                           << "canvasSize" << QVariant(size(78000000, 1000000));
        QTest::newRow("margin") << canvasEdit([](CanvasTab* t) { typeInto(t->marginBox(), "2.25"); }) << "canvasMargin"
                                << QVariant(2250000);
        QTest::newRow("background colour")
            << canvasEdit([](CanvasTab* t) { choosePreset(t->canvasBackgroundWidget(), 0, 11); }) << "canvasBackgroundColor"
            << QVariant("#ffffff");
        QTest::newRow("background switch") << canvasEdit([](CanvasTab* t) { t->canvasBackgroundWidget()->visibilityButton()->click(); })
                                           << "canvasBackgroundEnabled" << QVariant(false);
        QTest::newRow("frame colour") << canvasEdit([](CanvasTab* t) { choosePreset(t->frameBackgroundWidget(), 0, 0); })
                                      << "canvasFrameColor" << QVariant("#000000");
        QTest::newRow("frame switch") << canvasEdit([](CanvasTab* t) { t->frameBackgroundWidget()->visibilityButton()->click(); })
                                      << "canvasFrameEnabled" << QVariant(false);
        QTest::newRow("ratio") << canvasEdit([](CanvasTab* t) { typeInto(t->frameRatioEditor()->spinBox(), "35"); })
                               << "canvasFrameRatio" << QVariant(0.35);
        QTest::newRow("value A") << canvasEdit([](CanvasTab* t) { typeInto(t->frameValueRow(0).editor->spinBox(), "25"); })
                                 << "canvasFrameValueA" << QVariant(0.25);
    }

    void eachEditIsOneChange()
    {
        QFETCH(PanelEdit, edit);
        QFETCH(QString, key);
        AppFixture app;
        ChangeRecorder recorder(documentOf(app));
        edit(app.window()->propertiesFrame());
        QCOMPARE(recorder.records(), QStringList("changed properties/" + key));
        QTEST(storedProperty(app, key), "stored");
    }

    // The boxes show 0.01 mm; the side the user did not type into keeps every digit the document has.
    void editingOneSideKeepsTheOther_data()
    {
        QTest::addColumn<QVariantMap>("loaded");
        QTest::addColumn<PanelEdit>("edit");
        QTest::addColumn<QVariantMap>("stored");
        QTest::newRow("height typed") << size(123456000, 77000000)
                                      << canvasEdit([](CanvasTab* t) { typeInto(t->heightBox(), "80"); })
                                      << size(123456000, 80000000);
        QTest::newRow("width typed") << size(120000000, 77123000)
                                     << canvasEdit([](CanvasTab* t) { typeInto(t->widthBox(), "90"); })
                                     << size(90000000, 77123000);
    }

    void editingOneSideKeepsTheOther()
    {
        QFETCH(QVariantMap, loaded);
        QFETCH(PanelEdit, edit);
        AppFixture app;
        documentOf(app)->setFromDataOrThrow(QVariantMap{{"properties", QVariantMap{{"canvasSize", loaded}}}});
        QCOMPARE(storedProperty(app, "canvasSize").toMap(), loaded);
        ChangeRecorder recorder(documentOf(app));
        edit(app.window()->propertiesFrame());
        QCOMPARE(recorder.records(), QStringList("changed properties/canvasSize"));
        QTEST(storedProperty(app, "canvasSize").toMap(), "stored");
    }

    void controlsShowTheDocument()
    {
        AppFixture app;
        CanvasTab* tab = showTab(app, &PropertiesFrame::canvasTab);
        QCOMPARE(tab->frameShapeBox()->count(), 9);
        QCOMPARE(tab->frameShapeBox()->itemData(8).toString(), QStringLiteral("polygon"));
        QCOMPARE(tab->frameShapeBox()->currentText(), QStringLiteral("Rectangle"));
        QCOMPARE((QList<double>{tab->widthBox()->value(), tab->heightBox()->value(), tab->marginBox()->value()}),
                 (QList<double>{78.0, 52.0, 1.0}));
        QCOMPARE(argb(tab->canvasBackgroundWidget()->color()), "#ff202040");
        QCOMPARE(argb(tab->frameBackgroundWidget()->color()), "#ff282848");
        QCOMPARE(tab->frameRatioEditor()->value(), geo::Normal1D(1.0));
        QCOMPARE(shownValueRows(tab), QStringList{"Rotation:"});
        QVERIFY(tab->findChild<FramePreviewWidget*>() != nullptr);
    }

    void frameShapeChoice_data()
    {
        QTest::addColumn<QString>("shape");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QList<double>>("values");
        QTest::newRow("polygon") << "Polygon" << QStringList{"Rotation:", "Corner Count:"} << QList<double>{0, 0.2, 0, 0, 0};
        QTest::newRow("ellipse") << "Ellipse" << QStringList{} << QList<double>{0, 0, 0, 0, 0};
        QTest::newRow("heart") << "Heart" << QStringList{"Bulge Angle:", "Bulge Ratio:", "Rotation:"}
                               << QList<double>{0.5, 0.5, 0, 0, 0};
    }

    // One edit: the shape and the defaults of all five values, the ratio untouched.
    void frameShapeChoice()
    {
        QFETCH(QString, shape);
        QFETCH(QList<double>, values);
        AppFixture app;
        CanvasTab* tab = showTab(app, &PropertiesFrame::canvasTab);
        const auto properties = propertiesOf(app);
        properties->setCanvasFrameRatio(0.4);
        for (std::size_t index = 0; index < 5; ++index) {
            properties->setCanvasFrameValue(index, 0.7);
        }
        ChangeRecorder recorder(documentOf(app));
        tab->frameShapeBox()->setCurrentIndex(tab->frameShapeBox()->findText(shape)); // as a pick from the list
        QCOMPARE(frame::shapeToString(properties->canvasFrameShape()), shape.toLower());
        QTEST(shownValueRows(tab), "rows");
        QCOMPARE(frameValues(*properties), values);
        QCOMPARE(recorder.changedPaths(), (QStringList{"properties/canvasFrameShape", "properties/canvasFrameValueA",
                                                      "properties/canvasFrameValueB", "properties/canvasFrameValueC",
                                                      "properties/canvasFrameValueD", "properties/canvasFrameValueE"}));
        QCOMPARE(properties->canvasFrameRatio(), geo::Normal1D(0.4));
        for (int index = 0; index < CanvasTab::frameValueCount; ++index) {
            QCOMPARE(tab->frameValueRow(index).editor->value(), geo::Normal1D(values.at(index)));
        }
    }

    void documentChangesRefreshWithoutWritingBack()
    {
        AppFixture app;
        CanvasTab* tab = showTab(app, &PropertiesFrame::canvasTab);
        const auto properties = propertiesOf(app);
        ChangeRecorder recorder(documentOf(app));
        properties->setCanvasSize(geo::Size(210000000, 297000000));
        properties->setCanvasMargin(geo::Length(0));
        properties->setCanvasFrameShape(frame::Shape::Star);
        properties->setCanvasFrameValueD(0.3);
        properties->setCanvasBackgroundEnabled(false);
        QCOMPARE(recorder.count(), 5);
        QCOMPARE(tab->widthBox()->value(), 210.0);
        QCOMPARE(tab->heightBox()->value(), 297.0);
        QCOMPARE(tab->marginBox()->text(), QStringLiteral("No Margin"));
        QCOMPARE(tab->frameShapeBox()->currentText(), QStringLiteral("Star"));
        QCOMPARE(shownValueRows(tab), (QStringList{"Rotation:", "Point Count:", "Valley Ratio:", "Valley Shift:"}));
        QCOMPARE(tab->frameValueRow(3).editor->value(), geo::Normal1D(0.3));
        QVERIFY(!tab->canvasBackgroundWidget()->isVisible());
    }

    // A shape the tab does not list (from a newer file, say) leaves the box without selection; the rows
    // and the preview treat it as the rectangle the core builds for it.
    void unknownFrameShape()
    {
        AppFixture app;
        CanvasTab* tab = showTab(app, &PropertiesFrame::canvasTab);
        auto* preview = tab->findChild<FramePreviewWidget*>();
        for (const int shape : {int(frame::Shape::NoShape), 42}) {
            propertiesOf(app)->setCanvasFrameShape(frame::Shape::Heart);
            propertiesOf(app)->setCanvasFrameShape(static_cast<frame::Shape>(shape));
            QCOMPARE(tab->frameShapeBox()->currentIndex(), -1);
            QCOMPARE(shownValueRows(tab), QStringList{"Rotation:"});
            QTRY_VERIFY(!preview->isRefreshPending());
            QCOMPARE(preview->frame()->shape(), frame::Shape::Rectangle);
            preview->grab();
        }
    }

    void previewRefreshesOnlyForWhatItDraws()
    {
        AppFixture app;
        FramePreviewWidget preview(nullptr);
        const auto properties = propertiesOf(app);
        properties->setName("Not drawn");
        properties->setCanvasBackgroundEnabled(false);
        QVERIFY(!preview.isRefreshPending());
        for (int step = 1; step <= 5; ++step) {
            properties->setCanvasFrameValueA(step / 10.0);
        }
        QVERIFY(preview.isRefreshPending() && preview.frame() == nullptr);
        QTRY_VERIFY(preview.frame() != nullptr);
        QCOMPARE(preview.frame()->valueA(), geo::Normal1D(0.5));
    }

    void previewPixels_data()
    {
        QTest::addColumn<QString>("background");
        QTest::addColumn<QString>("line");
        QTest::newRow("dark background") << "#ff202040" << "#ffffffff";
        QTest::newRow("light background") << "#ffe0e0c0" << "#ff000000";
    }

    void previewPixels()
    {
        QFETCH(QString, background);
        QFETCH(QString, line);
        AppFixture app;
        const auto properties = propertiesOf(app);
        properties->setCanvasSize(geo::Size(100000000, 50000000));
        properties->setCanvasMargin(geo::Length(0));
        properties->setCanvasFrameRatio(0.0); // a 50 mm square frame in the middle
        properties->setCanvasBackgroundColor(QColor(background));
        properties->setCanvasFrameColor(QColor("#40a060"));
        properties->setCanvasBackgroundEnabled(false); // the preview draws both colours anyway
        FramePreviewWidget preview(nullptr);
        preview.resize(216, 160);
        preview.updateFrame();
        // 2 pixels per millimetre: the canvas spans x 8..208 and y 30..130, the frame x 58..158.
        const QImage image = preview.grab().toImage();
        QCOMPARE(argb(image.pixelColor(30, 80)), background);
        QCOMPARE(argb(image.pixelColor(108, 80)), "#ff40a060");
        QCOMPARE(argb(image.pixelColor(108, 16)), background);
        for (const QPoint& edge : {QPoint(8, 80), QPoint(58, 80), QPoint(108, 30), QPoint(158, 100)}) {
            bool isLine = false;
            for (const QPoint& offset : {QPoint(-1, 0), QPoint(0, 0), QPoint(1, 0), QPoint(0, -1), QPoint(0, 1)}) {
                isLine |= argb(image.pixelColor(edge + offset)) == line;
            }
            QVERIFY2(isLine, qPrintable(QStringLiteral("no line at %1, %2").arg(edge.x()).arg(edge.y())));
        }
    }
};

MOTIFEX_WIDGET_TEST_MAIN(TabsTest)
#include "tst_tabs.moc"
