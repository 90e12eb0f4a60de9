#include "doc/Color.h"
#include "doc/Document.h"
#include "doc/DynamicValue.h"
#include "doc/InputFunctions.h"
#include "doc/Item.h"
#include "doc/Items.h"
#include "doc/Properties.h"
#include "doc/UpdateScope.h"
#include "editors/CoordinateWidget.h"
#include "editors/DynamicValueInputWidget.h"
#include "editors/DynamicValueWidget.h"
#include "editors/FunctionBox.h"
#include "editors/Normal1DWidget.h"
#include "editors/Normal2DFrame.h"
#include "editors/Normal2DWidget.h"
#include "support/AppFixture.h"
#include "support/ChangeRecorder.h"
#include "support/UserActions.h"
#include "support/WidgetTestMain.h"

#include <QAbstractButton>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

using motifex::test::AppFixture;
using motifex::test::ChangeRecorder;
using DisplayMode = DynamicValueWidget::DisplayMode;
using Input = doc::DynamicValueInput;
using Mode = Normal1DWidget::Mode;

Q_DECLARE_METATYPE(DynamicValueWidget::DisplayMode)
Q_DECLARE_METATYPE(Normal1DWidget::Mode)

using motifex::test::typeInto;
using motifex::test::runQueuedCalls;

namespace {

// A dynamic value editor in a window of its own, attached to a value, recording the value's changes.
struct EditorFixture {
    EditorFixture(DisplayMode mode, const std::shared_ptr<doc::DynamicValue>& value)
        : value(value), recorder(value)
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

    std::shared_ptr<doc::DynamicValue> value;
    ChangeRecorder recorder;
    QWidget window;
    DynamicValueWidget* widget = nullptr;
};

std::shared_ptr<doc::Properties> propertiesOf(AppFixture& app)
{
    return app.controller().document()->properties();
}

} // namespace

class DynamicValueWidgetTest : public QObject
{
    Q_OBJECT

private slots:
    void aFreshWidget()
    {
        AppFixture app;
        DynamicValueWidget widget(DisplayMode::Rotation, nullptr);
        DynamicValueInputWidget* input = widget.inputWidget();
        QCOMPARE(input->inputValue(), Input::Zero);
        QVERIFY(input->button(Input::Zero)->isChecked());
        QVERIFY(!input->centerEditor()->isEnabled());
        QCOMPARE(input->centerEditor()->toolTip(), QStringLiteral("Polar center point"));
        QVERIFY(!widget.rangeStartEditor()->isEnabled());
        QVERIFY(!widget.rangeEndEditor()->isEnabled());
        QVERIFY(widget.offsetEditor()->isEnabled());

        auto* form = qobject_cast<QFormLayout*>(widget.layout());
        const QStringList labels{"Input:", "Functions:", "Range Start:", "Range End:", "Offset:"};
        for (int row = 0; row < labels.size(); ++row) {
            auto* label = qobject_cast<QLabel*>(form->itemAt(row, QFormLayout::LabelRole)->widget());
            QCOMPARE(label->text(), labels.at(row));
        }
    }

    void inputButtons()
    {
        AppFixture app;
        DynamicValueInputWidget input;
        auto* grid = input.findChild<QFrame*>("buttonFrame")->findChild<QGridLayout*>();
        const auto& entries = doc::dynamicValueInputList();
        QCOMPARE(entries.size(), std::size_t(9));
        for (std::size_t k = 0; k < entries.size(); ++k) {
            QAbstractButton* button = input.button(entries[k].value);
            QCOMPARE(button->objectName(), entries[k].identifier);
            QCOMPARE(button->toolTip(), entries[k].description);
            QCOMPARE(button->text(), QString(entries[k].glyph));
            QCOMPARE(button->size(), QSize(26, 22));
            int row = 0;
            int column = 0;
            int rowSpan = 0;
            int columnSpan = 0;
            grid->getItemPosition(grid->indexOf(button), &row, &column, &rowSpan, &columnSpan);
            QCOMPARE(row, int(k) / 5);
            QCOMPARE(column, int(k) % 5);
        }
    }

    void displayModes_data()
    {
        QTest::addColumn<DisplayMode>("displayMode");
        QTest::addColumn<Mode>("rangeMode");
        QTest::addColumn<Mode>("offsetMode");
        QTest::newRow("rotation") << DisplayMode::Rotation << Mode::RotationDegrees << Mode::RotationDegrees;
        QTest::newRow("hue") << DisplayMode::Hue << Mode::HueDegrees << Mode::HueDegrees;
        QTest::newRow("level") << DisplayMode::Level << Mode::SignedPercent << Mode::SignedPercent;
    }

    void displayModes()
    {
        QFETCH(DisplayMode, displayMode);
        QFETCH(Mode, rangeMode);
        QFETCH(Mode, offsetMode);
        AppFixture app;
        DynamicValueWidget widget(displayMode, nullptr);
        QCOMPARE(widget.rangeStartEditor()->mode(), rangeMode);
        QCOMPARE(widget.rangeEndEditor()->mode(), rangeMode);
        QCOMPARE(widget.offsetEditor()->mode(), offsetMode);
    }

    void attachingShowsTheValue()
    {
        AppFixture app;
        std::shared_ptr<doc::Item> item = app.controller().document()->items()->itemAt(0);
        QVERIFY(item != nullptr);
        item->rotation()->setOffset(0.25);
        EditorFixture world(DisplayMode::Level, propertiesOf(app)->worldOrderZ());
        QCOMPARE(world.widget->inputWidget()->inputValue(), Input::ItemIndex);
        QVERIFY(!world.button(Input::Parent)->isEnabled());
        QVERIFY(world.widget->rangeStartEditor()->isEnabled());
        QCOMPARE(world.widget->rangeEndEditor()->spinBox()->text(), QStringLiteral("100.00%"));
        QCOMPARE(world.widget->functionBox()->functions(), world.value->functions());

        EditorFixture itemRotation(DisplayMode::Rotation, item->rotation());
        QVERIFY(itemRotation.button(Input::Parent)->isEnabled());
        QCOMPARE(itemRotation.widget->offsetEditor()->spinBox()->text(), QStringLiteral("90.00\u00BA"));
        QCOMPARE(world.recorder.records(), QStringList());
        QCOMPARE(itemRotation.recorder.records(), QStringList());
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
        QFETCH(bool, isCenterEnabled);
        AppFixture app;
        std::shared_ptr<doc::DynamicValue> itemRotation = app.controller().document()->items()->itemAt(0)->rotation();
        itemRotation->setInput(Input::Zero);
        EditorFixture fixture(DisplayMode::Rotation, itemRotation);
        QTest::mouseClick(fixture.button(input), Qt::LeftButton);
        QTRY_COMPARE(fixture.value->input(), input);
        QCOMPARE(fixture.recorder.records(), QStringList{"changed input"});
        QCOMPARE(fixture.widget->rangeStartEditor()->isEnabled(), isRangeEnabled);
        QCOMPARE(fixture.widget->rangeEndEditor()->isEnabled(), isRangeEnabled);
        QCOMPARE(fixture.widget->inputWidget()->centerEditor()->isEnabled(), isCenterEnabled);
    }

    // A colour's level ranges reach below zero; editing one end keeps the other as stored.
    void levelRangesAreSigned()
    {
        AppFixture app;
        std::shared_ptr<doc::Color> color = propertiesOf(app)->worldColor();
        EditorFixture saturation(DisplayMode::Level, color->saturation());
        QCOMPARE(saturation.widget->rangeStartEditor()->spinBox()->text(), QStringLiteral("-10.00%"));
        QCOMPARE(saturation.widget->rangeEndEditor()->spinBox()->text(), QStringLiteral("10.00%"));
        // The world colour #6070e0 has the saturation 128 / 224.
        QCOMPARE(saturation.widget->offsetEditor()->spinBox()->text(), QStringLiteral("57.14%"));
        saturation.value->setInput(Input::X);
        saturation.recorder.clear();

        typeInto(saturation.widget->rangeStartEditor()->spinBox(), "-25");
        QCOMPARE(saturation.value->range(), geo::NormalRange(-0.25, 0.1));
        QCOMPARE(saturation.recorder.records(), QStringList{"changed range"});

        EditorFixture alpha(DisplayMode::Level, color->alpha());
        QCOMPARE(alpha.widget->rangeEndEditor()->spinBox()->text(), QStringLiteral("-20.00%"));
        alpha.value->setInput(Input::Y);
        alpha.recorder.clear();
        typeInto(alpha.widget->offsetEditor()->spinBox(), "50");
        QCOMPARE(alpha.value->offset(), geo::Normal1D(0.5));
        QCOMPARE(alpha.value->range(), geo::NormalRange(0.0, -0.2));
        QCOMPARE(alpha.recorder.records(), QStringList{"changed offset"});
    }

    void theUntouchedEndKeepsItsPrecision()
    {
        AppFixture app;
        EditorFixture fixture(DisplayMode::Rotation, propertiesOf(app)->worldRotation());
        fixture.value->setInput(Input::PolarAngle);
        fixture.value->setRange(geo::NormalRange(0.1, 0.123456));
        fixture.recorder.clear();
        typeInto(fixture.widget->rangeStartEditor()->spinBox(), "-90");
        QCOMPARE(fixture.value->range().begin().value(), -0.25);
        QCOMPARE(fixture.value->range().end().value(), 0.123456);
        typeInto(fixture.widget->rangeEndEditor()->spinBox(), "180");
        QCOMPARE(fixture.value->range(), geo::NormalRange(-0.25, 0.5));
        QCOMPARE(fixture.recorder.records(), QStringList(2, "changed range"));
    }

    void changesFromOutsideAreShown()
    {
        AppFixture app;
        EditorFixture fixture(DisplayMode::Hue, propertiesOf(app)->worldColor()->hue());
        QTest::mouseClick(fixture.button(Input::X), Qt::LeftButton);
        QTRY_COMPARE(fixture.value->input(), Input::X);
        fixture.recorder.clear();

        fixture.value->setInput(Input::Random);
        fixture.value->setRange(geo::NormalRange(-0.25, 0.75));
        fixture.value->setOffset(0.125);
        fixture.value->setCenter(geo::Normal2D(0.3, 0.9));
        QVERIFY(fixture.button(Input::Random)->isChecked());
        QCOMPARE(fixture.widget->rangeStartEditor()->spinBox()->text(), QStringLiteral("-90.00\u00BA"));
        QCOMPARE(fixture.widget->rangeEndEditor()->spinBox()->text(), QStringLiteral("270.00\u00BA"));
        QCOMPARE(fixture.widget->offsetEditor()->spinBox()->text(), QStringLiteral("45.00\u00BA"));
        QCOMPARE(fixture.widget->inputWidget()->centerValue(), geo::Normal2D(0.3, 0.9));
        QVERIFY(!fixture.widget->inputWidget()->centerEditor()->isEnabled());
        // Each setter announced once; nothing was written back.
        QVERIFY(runQueuedCalls());
        QCOMPARE(fixture.recorder.records(),
                 (QStringList{"changed input", "changed range", "changed offset", "changed center"}));
    }

    void otherPathsLeaveTheControls()
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
        QCOMPARE(fixture.widget->offsetEditor()->spinBox()->text(), QStringLiteral("0.00\u00BA"));
        fixture.value->functions()->appendFunction(doc::InputFunction::create("linear", doc::InputFunctionOperator::Map,
                                                                              doc::InputFunctionSource::Result));
        fixture.widget->setDynamicValue(fixture.value);
        QCOMPARE(fixture.widget->offsetEditor()->spinBox()->text(), QStringLiteral("0.00\u00BA"));
        QCOMPARE(fixture.widget->inputWidget()->inputValue(), Input::Zero);

        fixture.value->resetToDefaults();
        QCOMPARE(fixture.widget->inputWidget()->inputValue(), Input::Zero);
        fixture.value->setOffset(0.5);
        QCOMPARE(fixture.widget->offsetEditor()->spinBox()->text(), QStringLiteral("180.00\u00BA"));
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
        auto document = app.controller().document();
        QVariantMap worldOrder{{"input", "random"}, {"offset", 0.2}, {"range", QVariantMap{{"begin", 0.1}, {"end", 0.9}}},
                               {"center", QVariantMap{{"x", 0.5}, {"y", 0.5}}}};
        fixture.recorder.clear();
        document->setFromDataOrThrow(QVariantMap{{"properties", QVariantMap{{"worldOrderZ", worldOrder}}}});
        QVERIFY(fixture.button(Input::Random)->isChecked());
        QCOMPARE(fixture.widget->offsetEditor()->spinBox()->text(), QStringLiteral("20.00%"));
        QCOMPARE(fixture.widget->rangeStartEditor()->spinBox()->text(), QStringLiteral("10.00%"));
        const QStringList loadRecords = fixture.recorder.records();
        QVERIFY(runQueuedCalls());
        QCOMPARE(fixture.recorder.records(), loadRecords);
        QVERIFY(!fixture.recorder.changedPaths().contains("offset"));
        QCOMPARE(fixture.value->offset(), geo::Normal1D(0.2));
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

    void detachingAndDestroying()
    {
        AppFixture app;
        std::shared_ptr<doc::DynamicValue> value = propertiesOf(app)->worldRotation();
        auto widget = std::make_unique<DynamicValueWidget>(DisplayMode::Rotation, nullptr);
        widget->setDynamicValue(value);
        widget->setDynamicValue(nullptr);
        QVERIFY(widget->functionBox()->functions() == nullptr);
        value->setOffset(0.5);
        QCOMPARE(widget->offsetEditor()->spinBox()->text(), QStringLiteral("0.00\u00BA"));
        widget->setDynamicValue(value);
        widget.reset();
        value->setOffset(0.25); // must not reach the destroyed widget
        QCOMPARE(value->offset(), geo::Normal1D(0.25));
    }
};

MOTIFEX_WIDGET_TEST_MAIN(DynamicValueWidgetTest)
#include "tst_dynamicvaluewidget.moc"
