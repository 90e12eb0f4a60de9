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
#include "support/EditorTesting.h"

#include <QAbstractButton>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>

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

} // namespace

class DynamicValueWidgetTest : public QObject
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
    }
};

MOTIFEX_WIDGET_TEST_MAIN(DynamicValueWidgetTest)
#include "tst_dynamicvaluewidget.moc"
