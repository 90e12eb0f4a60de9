#include "app/ActionButton.h"
#include "doc/DynamicValue.h"
#include "editors/DynamicValueInputWidget.h"
#include "editors/DynamicValueWidget.h"
#include "editors/Normal1DWidget.h"
#include "editors/OrderPreviewWidget.h"
#include "editors/OrderTab.h"
#include "editors/RotationPreviewWidget.h"
#include "editors/RotationTab.h"
#include "support/EditorTesting.h"

#include <QAbstractButton>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QTransform>

#include <cmath>

using namespace motifex::test;

namespace {

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

class RotationOrderTest : public QObject
{
    Q_OBJECT

private slots:
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
        QTest::addColumn<doc::DynamicValueInput>("input");
        QTest::addColumn<double>("offset");
        QTest::addColumn<QList<int>>("columnDirections");
        QTest::newRow("a quarter turn") << doc::DynamicValueInput::Zero << 0.25 << QList<int>(5, 1);
        QTest::newRow("a quarter turn back") << doc::DynamicValueInput::Zero << -0.25 << QList<int>(5, 3);
        QTest::newRow("x through a full turn") << doc::DynamicValueInput::X << 0.0 << QList<int>{0, 1, 2, 3, 0};
    }

    void rotationArrows()
    {
        QFETCH(doc::DynamicValueInput, input);
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
        item->setInput(doc::DynamicValueInput::Y);
        preview->setValue(item);
        QVERIFY(preview->parentButton()->isVisible() && !preview->parentButton()->isChecked());
        QCOMPARE(preview->inputLabel()->text(), QStringLiteral("Y↓"));
        preview->parentButton()->click();
        QCOMPARE(item->input(), doc::DynamicValueInput::Parent);
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
        value->setInput(doc::DynamicValueInput::Parent);
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
        rotationTab->valueWidget()->inputWidget()->button(doc::DynamicValueInput::PolarAngle)->click();
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

MOTIFEX_WIDGET_TEST_MAIN(RotationOrderTest)
#include "tst_rotationorder.moc"
