#include "doc/Color.h"
#include "doc/DynamicValue.h"
#include "doc/InputFunctions.h"
#include "doc/Item.h"
#include "doc/Items.h"
#include "editors/DynamicValueInputWidget.h"
#include "editors/DynamicValueWidget.h"
#include "editors/FunctionBox.h"
#include "editors/Normal1DWidget.h"
#include "editors/Normal2DFrame.h"
#include "editors/Normal2DWidget.h"
#include "editors/OrderPreviewWidget.h"
#include "editors/OrderTab.h"
#include "editors/RotationPreviewWidget.h"
#include "editors/RotationTab.h"
#include "support/EditorTesting.h"
#include "widgets/ActionButton.h"

#include <QAbstractButton>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QTransform>

#include <cmath>

using namespace motifex::test;
using DisplayMode = DynamicValueWidget::DisplayMode;
using Input = doc::DynamicValueInput;
using Mode = Normal1DWidget::Mode;

namespace {

// A dynamic value editor in a window of its own, attached to a value, recording the value's changes.
struct EditorFixture {
    EditorFixture(DisplayMode mode, const std::shared_ptr<doc::DynamicValue>& value) : value(value), recorder(value)
    {
        widget = new DynamicValueWidget(mode, &window);
        widget->setDynamicValue(value);
        window.resize(520, 220);
        window.show();
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window)) {
            qWarning("The editor window did not become active.");
        }
    }

    QAbstractButton* button(Input input) const { return widget->inputWidget()->button(input); }
    QString text(Normal1DWidget* editor) const { return editor->spinBox()->text(); }

    std::shared_ptr<doc::DynamicValue> value;
    ChangeRecorder recorder;
    QWidget window;
    DynamicValueWidget* widget = nullptr;
};

using Cell = DynamicValuePreviewWidget::Cell;

const QRgb background = QColor::fromHsvF(0.0f, 0.0f, 0.1f).rgb();

std::shared_ptr<doc::DynamicValue> staticValue(double offset)
{
    auto value = std::make_shared<doc::DynamicValue>(nullptr);
    value->setOffset(offset);
    return value;
}

// The cells whose picture no label or button covers.
std::vector<Cell> openCells(const QWidget& preview)
{
    std::vector<Cell> cells;
    for (const Cell& cell : DynamicValuePreviewWidget::gridCells(preview.size())) {
        const QRect area(cell.center - QPoint(cell.size.width() / 2, cell.size.height() / 2), cell.size);
        const bool isCovered = std::any_of(preview.children().begin(), preview.children().end(), [&area](const QObject* child) {
            const auto* widget = qobject_cast<const QWidget*>(child);
            return widget != nullptr && !widget->isHidden() && widget->geometry().intersects(area);
        });
        if (!isCovered) {
            cells.push_back(cell);
        }
    }
    return cells;
}

// Where the arrow of the cell points: 0 up, 1 right, 2 down, 3 left; -1 when no direction fits. Points
// are given in the frame of an arrow that points up, in cell units.
int arrowDirection(const QImage& image, const Cell& cell)
{
    const QList<QPointF> inside{{0.0, -0.3}, {0.15, -0.15}, {-0.15, -0.15}, {0.0, 0.3}};
    const QList<QPointF> outside{{0.22, 0.22}, {-0.22, 0.22}, {0.3, -0.4}, {-0.3, -0.4}};
    for (int direction = 0; direction < 4; ++direction) {
        QTransform transform;
        transform.translate(cell.center.x(), cell.center.y());
        transform.scale(cell.size.width(), cell.size.height());
        transform.rotate(90.0 * direction);
        const auto isBackground = [&](const QPointF& point) {
            return image.pixelColor(transform.map(point).toPoint()).rgb() == background;
        };
        if (std::none_of(inside.begin(), inside.end(), isBackground) && std::all_of(outside.begin(), outside.end(), isBackground)) {
            return direction;
        }
    }
    return -1;
}

} // namespace

// The dynamic value editor, and the rotation and order tabs with their previews.
class DynamicValuesTest : public QObject
{
    Q_OBJECT

private slots:
    void aFreshWidget()
    {
        AppFixture app;
        const QList<std::pair<DisplayMode, Mode>> modes{{DisplayMode::Rotation, Mode::RotationDegrees},
                                                        {DisplayMode::Hue, Mode::HueDegrees},
                                                        {DisplayMode::Level, Mode::SignedPercent}};
        for (const auto& [displayMode, mode] : modes) {
            DynamicValueWidget widget(displayMode, nullptr);
            QCOMPARE(widget.rangeStartEditor()->mode(), mode);
            QCOMPARE(widget.rangeEndEditor()->mode(), mode);
            QCOMPARE(widget.offsetEditor()->mode(), mode);
        }
        DynamicValueWidget widget(DisplayMode::Rotation, nullptr);
        DynamicValueInputWidget* input = widget.inputWidget();
        QCOMPARE(input->inputValue(), Input::Zero);
        QVERIFY(input->button(Input::Zero)->isChecked());
        QVERIFY(!input->centerEditor()->isEnabled());
        QCOMPARE(input->centerEditor()->toolTip(), QStringLiteral("Polar center point"));
        QVERIFY(!widget.rangeStartEditor()->isEnabled() && !widget.rangeEndEditor()->isEnabled());
        auto* form = qobject_cast<QFormLayout*>(widget.layout());
        QStringList labels;
        for (int row = 0; row < form->rowCount(); ++row) {
            labels << qobject_cast<QLabel*>(form->itemAt(row, QFormLayout::LabelRole)->widget())->text();
        }
        QCOMPARE(labels, (QStringList{"Input:", "Functions:", "Range Start:", "Range End:", "Offset:"}));

        // Nine buttons in two rows of five: parent, zero, x, y, polar_angle; then the rest.
        auto* grid = input->findChild<QFrame*>("buttonFrame")->findChild<QGridLayout*>();
        const auto& entries = doc::dynamicValueInputList();
        QCOMPARE(entries.size(), std::size_t(9));
        for (std::size_t k = 0; k < entries.size(); ++k) {
            QAbstractButton* button = input->button(entries[k].value);
            QCOMPARE(button->objectName(), entries[k].identifier);
            QCOMPARE(button->toolTip(), entries[k].description);
            QCOMPARE(button->text(), QString(entries[k].glyph));
            QCOMPARE(button->size(), QSize(26, 22));
            int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
            grid->getItemPosition(grid->indexOf(button), &row, &column, &rowSpan, &columnSpan);
            QCOMPARE(QPoint(column, row), QPoint(int(k) % 5, int(k) / 5));
        }
    }

    void attachingShowsTheValue()
    {
        AppFixture app;
        std::shared_ptr<doc::Item> item = documentOf(app)->items()->itemAt(0);
        item->rotation()->setOffset(0.25);
        EditorFixture world(DisplayMode::Level, propertiesOf(app)->worldOrderZ());
        QCOMPARE(world.widget->inputWidget()->inputValue(), Input::ItemIndex);
        QVERIFY(!world.button(Input::Parent)->isEnabled());
        QVERIFY(world.widget->rangeStartEditor()->isEnabled());
        QCOMPARE(world.text(world.widget->rangeEndEditor()), QStringLiteral("100.00%"));
        QCOMPARE(world.widget->functionBox()->functions(), world.value->functions());

        EditorFixture itemRotation(DisplayMode::Rotation, item->rotation());
        QVERIFY(itemRotation.button(Input::Parent)->isEnabled());
        QCOMPARE(itemRotation.text(itemRotation.widget->offsetEditor()), QStringLiteral("90.00\u00BA"));
        QCOMPARE(world.recorder.records() + itemRotation.recorder.records(), QStringList());

        // Detached, and then destroyed, the widget follows the value no more.
        auto widget = std::make_unique<DynamicValueWidget>(DisplayMode::Rotation, nullptr);
        widget->setDynamicValue(item->rotation());
        widget->setDynamicValue(nullptr);
        QVERIFY(widget->functionBox()->functions() == nullptr);
        item->rotation()->setOffset(0.5);
        QCOMPARE(widget->offsetEditor()->spinBox()->text(), QStringLiteral("90.00\u00BA"));
        widget->setDynamicValue(item->rotation());
        widget.reset();
        item->rotation()->setOffset(0.75); // must not reach the destroyed widget
    }

    void clickingInputs_data()
    {
        QTest::addColumn<Input>("input");
        QTest::addColumn<bool>("isRangeEnabled");
        QTest::addColumn<bool>("isCenterEnabled");
        QTest::newRow("parent") << Input::Parent << false << false;
        QTest::newRow("x") << Input::X << true << false;
        QTest::newRow("polar_angle") << Input::PolarAngle << true << true;
        QTest::newRow("polar_distance") << Input::PolarDistance << true << true;
        QTest::newRow("random") << Input::Random << true << false;
    }

    void clickingInputs()
    {
        QFETCH(Input, input);
        QFETCH(bool, isRangeEnabled);
        AppFixture app;
        std::shared_ptr<doc::DynamicValue> itemRotation = documentOf(app)->items()->itemAt(0)->rotation();
        itemRotation->setInput(Input::Zero);
        EditorFixture fixture(DisplayMode::Rotation, itemRotation);
        QTest::mouseClick(fixture.button(input), Qt::LeftButton);
        QTRY_COMPARE(fixture.value->input(), input);
        QCOMPARE(fixture.recorder.records(), QStringList{"changed input"});
        QCOMPARE(fixture.widget->rangeStartEditor()->isEnabled(), isRangeEnabled);
        QCOMPARE(fixture.widget->rangeEndEditor()->isEnabled(), isRangeEnabled);
        QTEST(fixture.widget->inputWidget()->centerEditor()->isEnabled(), "isCenterEnabled");
    }

    // A colour's level ranges reach below zero; editing one end keeps the other exactly as stored.
    void rangesAreSignedAndKeepTheUntouchedEnd()
    {
        AppFixture app;
        EditorFixture saturation(DisplayMode::Level, propertiesOf(app)->worldColor()->saturation());
        QCOMPARE(saturation.text(saturation.widget->rangeStartEditor()), QStringLiteral("-10.00%"));
        QCOMPARE(saturation.text(saturation.widget->rangeEndEditor()), QStringLiteral("10.00%"));
        // The world colour #6070e0 has the saturation 128 / 224.
        QCOMPARE(saturation.text(saturation.widget->offsetEditor()), QStringLiteral("57.14%"));
        saturation.value->setInput(Input::X);
        saturation.recorder.clear();
        typeInto(saturation.widget->rangeStartEditor()->spinBox(), "-25");
        QCOMPARE(saturation.value->range(), geo::NormalRange(-0.25, 0.1));
        typeInto(saturation.widget->offsetEditor()->spinBox(), "50");
        QCOMPARE(saturation.value->offset(), geo::Normal1D(0.5));
        QCOMPARE(saturation.recorder.records(), (QStringList{"changed range", "changed offset"}));

        EditorFixture rotation(DisplayMode::Rotation, propertiesOf(app)->worldRotation());
        rotation.value->setInput(Input::PolarAngle);
        rotation.value->setRange(geo::NormalRange(0.1, 0.123456));
        typeInto(rotation.widget->rangeStartEditor()->spinBox(), "-90");
        QCOMPARE(rotation.value->range().end().value(), 0.123456);
        typeInto(rotation.widget->rangeEndEditor()->spinBox(), "180");
        QCOMPARE(rotation.value->range(), geo::NormalRange(-0.25, 0.5));
    }

    void changesFromOutsideAreShown()
    {
        AppFixture app;
        EditorFixture fixture(DisplayMode::Hue, propertiesOf(app)->worldColor()->hue());
        // Also after the user has clicked another input.
        QTest::mouseClick(fixture.button(Input::X), Qt::LeftButton);
        QTRY_COMPARE(fixture.value->input(), Input::X);
        fixture.recorder.clear();
        fixture.value->setInput(Input::Random);
        fixture.value->setRange(geo::NormalRange(-0.25, 0.75));
        fixture.value->setOffset(0.125);
        fixture.value->setCenter(geo::Normal2D(0.3, 0.9));
        QVERIFY(fixture.button(Input::Random)->isChecked());
        QCOMPARE(fixture.text(fixture.widget->rangeStartEditor()), QStringLiteral("-90.00\u00BA"));
        QCOMPARE(fixture.text(fixture.widget->rangeEndEditor()), QStringLiteral("270.00\u00BA"));
        QCOMPARE(fixture.text(fixture.widget->offsetEditor()), QStringLiteral("45.00\u00BA"));
        QCOMPARE(fixture.widget->inputWidget()->centerValue(), geo::Normal2D(0.3, 0.9));
        QVERIFY(!fixture.widget->inputWidget()->centerEditor()->isEnabled());
        QVERIFY(runQueuedCalls()); // each setter announced once; nothing was written back
        QCOMPARE(fixture.recorder.records(),
                 (QStringList{"changed input", "changed range", "changed offset", "changed center"}));
    }

    void whatIsNotShown()
    {
        AppFixture app;
        EditorFixture fixture(DisplayMode::Rotation, propertiesOf(app)->worldRotation());
        {
            // Written by another editor: this widget does not follow.
            doc::UpdateScope scope(fixture.value.get());
            scope.setState(doc::UpdateState::EditorUpdate);
            fixture.value->setOffset(0.5);
            fixture.value->setInput(Input::Y);
        }
        QCOMPARE(fixture.text(fixture.widget->offsetEditor()), QStringLiteral("0.00\u00BA"));
        // A change inside the chain is the function box's, and the same value again is no new value.
        fixture.value->functions()->appendFunction(
            doc::InputFunction::create("linear", doc::InputFunctionOperator::Map, doc::InputFunctionSource::Result));
        fixture.widget->setDynamicValue(fixture.value);
        QCOMPARE(fixture.text(fixture.widget->offsetEditor()), QStringLiteral("0.00\u00BA"));
        QCOMPARE(fixture.widget->inputWidget()->inputValue(), Input::Zero);

        fixture.value->resetToDefaults();
        fixture.value->setOffset(0.5);
        QCOMPARE(fixture.text(fixture.widget->offsetEditor()), QStringLiteral("180.00\u00BA"));
    }

    void aRefreshWritesNothing()
    {
        AppFixture app;
        EditorFixture fixture(DisplayMode::Level, propertiesOf(app)->worldOrderZ());
        {
            doc::UpdateScope scope(fixture.value.get());
            scope.setState(doc::UpdateState::DocumentUpdate);
            QTest::mouseClick(fixture.button(Input::Random), Qt::LeftButton);
            typeInto(fixture.widget->offsetEditor()->spinBox(), "30");
            QVERIFY(runQueuedCalls());
        }
        QCOMPARE(fixture.value->input(), Input::ItemIndex);
        QCOMPARE(fixture.value->offset(), geo::Normal1D(0.0));
        QCOMPARE(fixture.recorder.records(), QStringList());

        // Loading replaces the value; the widget shows it without writing anything back.
        const QVariantMap worldOrder{{"input", "random"}, {"offset", 0.2}, {"range", QVariantMap{{"begin", 0.1}, {"end", 0.9}}}};
        documentOf(app)->setFromDataOrThrow(QVariantMap{{"properties", QVariantMap{{"worldOrderZ", worldOrder}}}});
        QVERIFY(fixture.button(Input::Random)->isChecked());
        QCOMPARE(fixture.text(fixture.widget->offsetEditor()), QStringLiteral("20.00%"));
        QCOMPARE(fixture.text(fixture.widget->rangeStartEditor()), QStringLiteral("10.00%"));
        const QStringList loadRecords = fixture.recorder.records();
        QVERIFY(runQueuedCalls());
        QCOMPARE(fixture.recorder.records(), loadRecords);
        QVERIFY(!loadRecords.contains("changed offset"));
    }

    void movingTheCenter()
    {
        AppFixture app;
        EditorFixture fixture(DisplayMode::Rotation, propertiesOf(app)->worldRotation());
        QTest::mouseClick(fixture.button(Input::PolarDistance), Qt::LeftButton);
        QTRY_COMPARE(fixture.value->input(), Input::PolarDistance);
        fixture.recorder.clear();
        Normal2DWidget* center = fixture.widget->inputWidget()->centerEditor();
        QTest::mouseClick(center->compactPad(), Qt::LeftButton);
        QTRY_VERIFY(center->padDialog()->isVisible());
        QTest::mouseClick(center->largePad(), Qt::LeftButton, {}, center->largePad()->frameRect().topLeft());
        QTest::keyClick(center->padDialog(), Qt::Key_Escape);
        QCOMPARE(fixture.value->center(), geo::Normal2D(0, 0));
        QCOMPARE(fixture.recorder.records(), QStringList{"changed center"});
    }

    void gridSize_data()
    {
        QTest::addColumn<QSize>("widgetSize");
        QTest::addColumn<QSize>("grid");
        QTest::newRow("panel height, 216 wide") << QSize(216, 160) << QSize(10, 7);
        QTest::newRow("minimum width") << QSize(200, 160) << QSize(9, 7);
        QTest::newRow("one cell") << QSize(36, 36) << QSize(1, 1);
        QTest::newRow("too narrow: only the panel") << QSize(35, 160) << QSize();
        QTest::newRow("too low") << QSize(216, 35) << QSize();
    }

    void gridSize()
    {
        QFETCH(QSize, widgetSize);
        QFETCH(QSize, grid);
        QCOMPARE(DynamicValuePreviewWidget::gridSize(widgetSize), grid);
        QCOMPARE(int(DynamicValuePreviewWidget::gridCells(widgetSize).size()), grid.isEmpty() ? 0 : grid.width() * grid.height());
    }

    void gridCells()
    {
        const std::vector<Cell> cells = DynamicValuePreviewWidget::gridCells(QSize(216, 160));
        // Columns outer, rows inner; 144 pixels make rows of 20 and 21.
        QCOMPARE(cells.at(1).center, QPoint(17, 38));
        QCOMPARE(cells.at(1).size, QSize(20, 21));
        QCOMPARE(cells.at(7).center, QPoint(37, 17));
        QCOMPARE(cells.back().center, QPoint(197, 141));
        // Radius and index follow the column.
        const doc::ItemStyleInput& input = cells.at(7).input;
        QCOMPARE((QList<double>{input.x, input.y, input.radius, input.index}), (QList<double>{1.0 / 9, 0, 1.0 / 9, 1.0 / 9}));
    }

    void rotationArrows_data()
    {
        QTest::addColumn<Input>("input");
        QTest::addColumn<double>("offset");
        QTest::addColumn<QList<int>>("columnDirections");
        QTest::newRow("a quarter turn") << Input::Zero << 0.25 << QList<int>(5, 1);
        QTest::newRow("a quarter turn back") << Input::Zero << -0.25 << QList<int>(5, 3);
        QTest::newRow("x through a full turn") << Input::X << 0.0 << QList<int>{0, 1, 2, 3, 0};
    }

    void rotationArrows()
    {
        QFETCH(Input, input);
        QFETCH(double, offset);
        QFETCH(QList<int>, columnDirections);
        AppFixture app;
        RotationPreviewWidget preview(nullptr);
        const auto value = staticValue(offset);
        value->setInput(input);
        preview.setValue(value);
        preview.setMinimumWidth(0);
        preview.resize(116, 160); // five columns: x = 0, 0.25, 0.5, 0.75, 1
        QCOMPARE(DynamicValuePreviewWidget::gridSize(preview.size()), QSize(5, 7));
        const QImage image = preview.grab().toImage();
        const std::vector<Cell> cells = openCells(preview);
        QVERIFY(cells.size() >= 20);
        for (const Cell& cell : cells) {
            const int column = int(std::lround(cell.input.x * 4));
            QCOMPARE(arrowDirection(image, cell), columnDirections.at(column));
            const double turn = value->normal(cell.input, true).value();
            QCOMPARE(image.pixelColor(cell.center).rgb(), QColor::fromHsvF(float(turn), 0.7f, 0.7f).rgb());
        }
    }

    void orderSquares_data()
    {
        QTest::addColumn<double>("offset");
        QTest::addColumn<double>("side");
        QTest::addColumn<float>("hue");
        QTest::newRow("lowest") << 0.0 << 0.1 << 0.0f;
        QTest::newRow("middle") << 0.5 << 0.5 << 0.125f;
        QTest::newRow("highest") << 1.0 << 0.9 << 0.25f;
    }

    void orderSquares()
    {
        QFETCH(double, offset);
        QFETCH(double, side);
        QFETCH(float, hue);
        AppFixture app;
        OrderPreviewWidget preview(nullptr);
        preview.resize(216, 160);
        preview.setValue(staticValue(offset));
        const QImage image = preview.grab().toImage();
        const QRgb fill = QColor::fromHsvF(hue, 0.7f, 0.7f).rgb();
        const std::vector<Cell> cells = openCells(preview);
        QVERIFY(cells.size() >= 50);
        for (const Cell& cell : cells) {
            QCOMPARE(image.pixelColor(cell.center).rgb(), fill);
            // Just inside and just outside the square's right edge.
            const double halfSide = side * cell.size.width() / 2.0;
            QCOMPARE(image.pixelColor(cell.center + QPoint(int(halfSide) - 1, 0)).rgb(), fill);
            QCOMPARE(image.pixelColor(cell.center + QPoint(int(std::ceil(halfSide)) + 1, 0)).rgb(), background);
        }
    }

    void previewButtons_data()
    {
        QTest::addColumn<bool>("isRotation");
        QTest::addColumn<QString>("kind");
        QTest::newRow("rotation") << true << "rotation";
        QTest::newRow("order") << false << "order";
    }

    void previewButtons()
    {
        QFETCH(bool, isRotation);
        QFETCH(QString, kind);
        AppFixture app;
        std::unique_ptr<DynamicValuePreviewWidget> preview;
        preview.reset(isRotation ? static_cast<DynamicValuePreviewWidget*>(new RotationPreviewWidget(nullptr))
                                 : new OrderPreviewWidget(nullptr));
        preview->show();
        QCOMPARE(preview->loadPresetButton()->toolTip(), QStringLiteral("Load a %1 preset. (coming soon...)").arg(kind));
        QCOMPARE(preview->savePresetButton()->toolTip(), QStringLiteral("Save a %1 preset. (coming soon...)").arg(kind));
        QCOMPARE(preview->parentButton()->toolTip(), QStringLiteral("Reset this to use the parent values."));
        QCOMPARE(preview->inputLabel()->objectName(), QStringLiteral("previewInputLabel"));

        const auto world = staticValue(0.5);
        preview->setValue(world);
        QVERIFY(!preview->parentButton()->isVisible());
        QCOMPARE(preview->inputLabel()->text(), QStringLiteral("static"));

        const auto item = staticValue(0.1);
        item->setParent(world);
        item->setInput(Input::Y);
        preview->setValue(item);
        QVERIFY(preview->parentButton()->isVisible() && !preview->parentButton()->isChecked());
        QCOMPARE(preview->inputLabel()->text(), QStringLiteral("Y↓"));
        preview->parentButton()->click();
        QCOMPARE(item->input(), Input::Parent);
        QVERIFY(preview->parentButton()->isChecked());
        QTRY_COMPARE(preview->inputLabel()->text(), QString());
        QVERIFY(!preview->loadPresetButton()->isEnabled() && !preview->savePresetButton()->isEnabled());
    }

    // The preview follows the value's parent and leaves the parent it joined, even when the value has
    // been linked to another parent since.
    void previewLeavesTheParentItJoined()
    {
        AppFixture app;
        const auto firstParent = staticValue(0.0);
        const auto value = staticValue(0.0);
        value->setParent(firstParent);
        value->setInput(Input::Parent);
        {
            RotationPreviewWidget preview(nullptr);
            preview.resize(216, 160);
            preview.setValue(value);
            firstParent->setOffset(0.25);
            QTRY_COMPARE(arrowDirection(preview.grab().toImage(), openCells(preview).front()), 1);
            value->setParent(staticValue(0.0));
        }
        firstParent->setOffset(0.5); // a listener left behind would be called after its destruction
    }

    void tabsEditTheWorldValues()
    {
        AppFixture app;
        const auto rotation = propertiesOf(app)->worldRotation();
        RotationTab* rotationTab = showTab(app, &PropertiesFrame::rotationTab);
        QCOMPARE(rotationTab->preview()->value(), rotation);
        QCOMPARE(rotationTab->valueWidget()->dynamicValue(), rotation);
        QCOMPARE(rotationTab->valueWidget()->displayMode(), DynamicValueWidget::DisplayMode::Rotation);
        QVERIFY(!rotationTab->preview()->parentButton()->isVisible());
        ChangeRecorder recorder(documentOf(app));
        typeInto(rotationTab->valueWidget()->offsetEditor()->spinBox(), "90");
        QCOMPARE(recorder.records(), QStringList{"changed properties/worldRotation/offset"});
        const Cell cell = openCells(*rotationTab->preview()).front();
        QTRY_COMPARE(arrowDirection(rotationTab->preview()->grab().toImage(), cell), 1);
        rotationTab->valueWidget()->inputWidget()->button(Input::PolarAngle)->click();
        QTRY_COMPARE(rotationTab->preview()->inputLabel()->text(), QStringLiteral("angle→↓"));

        const auto order = propertiesOf(app)->worldOrderZ();
        OrderTab* orderTab = showTab(app, &PropertiesFrame::orderTab);
        QCOMPARE(orderTab->preview()->value(), order);
        QCOMPARE(orderTab->valueWidget()->dynamicValue(), order);
        QCOMPARE(orderTab->valueWidget()->displayMode(), DynamicValueWidget::DisplayMode::Level);
        QCOMPARE(orderTab->preview()->inputLabel()->text(), QStringLiteral("index→"));
        // A project load reaches the preview through the reset of the world order.
        order->setFromDataOrThrow(QVariantMap{{"input", "y"}});
        QTRY_COMPARE(orderTab->preview()->inputLabel()->text(), QStringLiteral("Y↓"));
    }
};

MOTIFEX_WIDGET_TEST_MAIN(DynamicValuesTest)
#include "tst_dynamicvalues.moc"
