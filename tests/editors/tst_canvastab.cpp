#include "app/ActionButton.h"
#include "editors/CanvasTab.h"
#include "editors/FramePreviewWidget.h"
#include "editors/Normal1DWidget.h"
#include "editors/StaticColorWidget.h"
#include "frame/Base.h"
#include "support/EditorTesting.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QMenu>

#include <functional>

using namespace motifex::test;

namespace {

using TabEdit = std::function<void(CanvasTab*)>;

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

Q_DECLARE_METATYPE(TabEdit)

class CanvasTabTest : public QObject
{
    Q_OBJECT

private slots:
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

    void editsReachTheDocumentOnce_data()
    {
        QTest::addColumn<TabEdit>("edit");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("stored");
        QTest::newRow("width") << TabEdit([](CanvasTab* t) { typeInto(t->widthBox(), "120.5"); }) << "canvasSize"
                               << QVariant(size(120500000, 52000000));
        QTest::newRow("height below 1 mm") << TabEdit([](CanvasTab* t) { typeInto(t->heightBox(), "0.2"); })
                                           << "canvasSize" << QVariant(size(78000000, 1000000));
        QTest::newRow("margin") << TabEdit([](CanvasTab* t) { typeInto(t->marginBox(), "2.25"); }) << "canvasMargin"
                                << QVariant(2250000);
        QTest::newRow("background colour")
            << TabEdit([](CanvasTab* t) { choosePreset(t->canvasBackgroundWidget(), 0, 11); }) << "canvasBackgroundColor"
            << QVariant("#ffffff");
        QTest::newRow("background switch") << TabEdit([](CanvasTab* t) { t->canvasBackgroundWidget()->visibilityButton()->click(); })
                                           << "canvasBackgroundEnabled" << QVariant(false);
        QTest::newRow("frame colour") << TabEdit([](CanvasTab* t) { choosePreset(t->frameBackgroundWidget(), 0, 0); })
                                      << "canvasFrameColor" << QVariant("#000000");
        QTest::newRow("frame switch") << TabEdit([](CanvasTab* t) { t->frameBackgroundWidget()->visibilityButton()->click(); })
                                      << "canvasFrameEnabled" << QVariant(false);
        QTest::newRow("ratio") << TabEdit([](CanvasTab* t) { typeInto(t->frameRatioEditor()->spinBox(), "35"); })
                               << "canvasFrameRatio" << QVariant(0.35);
        QTest::newRow("value A") << TabEdit([](CanvasTab* t) { typeInto(t->frameValueRow(0).editor->spinBox(), "25"); })
                                 << "canvasFrameValueA" << QVariant(0.25);
    }

    void editsReachTheDocumentOnce()
    {
        QFETCH(TabEdit, edit);
        QFETCH(QString, key);
        AppFixture app;
        CanvasTab* tab = showTab(app, &PropertiesFrame::canvasTab);
        ChangeRecorder recorder(documentOf(app));
        edit(tab);
        QCOMPARE(recorder.records(), QStringList{"changed properties/" + key});
        QTEST(storedProperty(app, key), "stored");
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

MOTIFEX_WIDGET_TEST_MAIN(CanvasTabTest)
#include "tst_canvastab.moc"
