#include "editors/CoordinateWidget.h"
#include "editors/Normal1DWidget.h"
#include "editors/Normal2DFrame.h"
#include "editors/Normal2DWidget.h"
#include "support/EditorTesting.h"

#include <QDialog>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>

using namespace motifex::test;
using Mode = Normal1DWidget::Mode;
using Style = Normal2DFrame::Style;
Q_DECLARE_METATYPE(Normal1DWidget::Mode)
Q_DECLARE_METATYPE(geo::Normal2D)

namespace {

// Shown and active, so that focus and key presses behave as for a user.
template<typename Widget>
void showActive(Widget& widget)
{
    widget.show();
    widget.activateWindow();
    if (!QTest::qWaitForWindowActive(&widget)) {
        qWarning("The widget did not become active.");
    }
}

// A large pad whose frame is exactly 300 × 300 pixels inside its 32-pixel margin.
std::unique_ptr<Normal2DFrame> shownLargePad()
{
    auto pad = std::make_unique<Normal2DFrame>(Style::Large, nullptr);
    pad->resize(364, 364);
    showActive(*pad);
    return pad;
}

void sendMouse(QWidget* widget, QEvent::Type type, QPoint position, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, position, widget->mapToGlobal(position), button, buttons, modifiers);
    QApplication::sendEvent(widget, &event);
}

// A point editor in a window, its pad dialog opened by a click on the compact pad.
struct PadFixture {
    PadFixture()
    {
        widget = new Normal2DWidget(&window);
        window.show();
        if (!QTest::qWaitForWindowExposed(&window)) {
            qWarning("The window was not shown.");
        }
    }

    bool openPad()
    {
        QTest::mouseClick(widget->compactPad(), Qt::LeftButton);
        return QTest::qWaitFor([this] { return widget->padDialog()->isVisible(); });
    }

    QWidget window;
    Normal2DWidget* widget = nullptr;
};

bool isDark(const QColor& color)
{
    return color.valueF() < 0.3f;
}

} // namespace

class NormalValuesTest : public QObject
{
    Q_OBJECT

private slots:
    void modeSettings_data()
    {
        QTest::addColumn<Mode>("mode");
        QTest::addColumn<QList<double>>("ranges"); // spin box minimum and maximum, slider minimum and maximum
        QTest::addColumn<int>("tickInterval");
        QTest::addColumn<QString>("suffix");
        QTest::newRow("percent") << Mode::Percent << QList<double>{0, 100, 0, 100} << 10 << "%";
        QTest::newRow("signed percent") << Mode::SignedPercent << QList<double>{-100, 100, -100, 100} << 10 << "%";
        QTest::newRow("hue") << Mode::HueDegrees << QList<double>{-360, 360, -360, 360} << 30 << "\u00BA";
        QTest::newRow("rotation") << Mode::RotationDegrees << QList<double>{-360, 360, -360, 360} << 30 << "\u00BA";
    }

    void modeSettings()
    {
        QFETCH(Mode, mode);
        Normal1DWidget widget(mode, nullptr);
        const QDoubleSpinBox* spin = widget.spinBox();
        const QSlider* slider = widget.slider();
        QTEST((QList<double>{spin->minimum(), spin->maximum(), double(slider->minimum()), double(slider->maximum())}), "ranges");
        QTEST(slider->tickInterval(), "tickInterval");
        QTEST(spin->suffix(), "suffix");
        QCOMPARE(spin->singleStep(), 0.1);
        QCOMPARE(spin->decimals(), 2);
        QCOMPARE(slider->tickPosition(), QSlider::NoTicks);
    }

    void shownValues_data()
    {
        QTest::addColumn<Mode>("mode");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("sliderPosition");
        QTest::addColumn<double>("valueBack");
        QTest::newRow("half") << Mode::Percent << 0.5 << "50.00%" << 50 << 0.5;
        // The slider's whole number must not be written back into the spin box.
        QTest::newRow("not truncated") << Mode::Percent << 0.505 << "50.50%" << 50 << 0.505;
        QTest::newRow("below range") << Mode::Percent << -0.2 << "0.00%" << 0 << 0.0;
        QTest::newRow("NaN") << Mode::Percent << qQNaN() << "0.00%" << 0 << 0.0;
        QTest::newRow("signed fraction") << Mode::SignedPercent << -0.255 << "-25.50%" << -25 << -0.255;
        QTest::newRow("quarter turn") << Mode::RotationDegrees << 0.25 << "90.00\u00BA" << 90 << 0.25;
        QTest::newRow("beyond a turn") << Mode::HueDegrees << 1.5 << "360.00\u00BA" << 360 << 1.0;
        QTest::newRow("beyond a turn back") << Mode::RotationDegrees << -1.5 << "-360.00\u00BA" << -360 << -1.0;
    }

    void shownValues()
    {
        QFETCH(Mode, mode);
        QFETCH(double, value);
        Normal1DWidget widget(mode, nullptr);
        QSignalSpy spy(&widget, &Normal1DWidget::valueChanged);
        widget.setValue(0.3);
        widget.setValue(value);
        QTEST(widget.spinBox()->text(), "text");
        QTEST(widget.slider()->value(), "sliderPosition");
        QTEST(double(widget.value()), "valueBack");
        QCOMPARE(spy.count(), 0);
    }

    // Each user edit is reported once: typing (kept within the range), stepping, moving the slider.
    void userEdits_data()
    {
        QTest::addColumn<Mode>("mode");
        QTest::addColumn<QString>("typed"); // empty: a key on the spin box or slider instead
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("sliderPosition");
        QTest::newRow("fraction") << Mode::Percent << "50.4" << 0 << "50.40%" << 0.504 << 50;
        QTest::newRow("above the range") << Mode::Percent << "150" << 0 << "100.00%" << 1.0 << 100;
        QTest::newRow("below the range") << Mode::SignedPercent << "-150" << 0 << "-100.00%" << -1.0 << -100;
        QTest::newRow("with suffix") << Mode::Percent << "12%" << 0 << "12.00%" << 0.12 << 12;
        QTest::newRow("beyond a turn") << Mode::HueDegrees << "400" << 0 << "360.00\u00BA" << 1.0 << 360;
        QTest::newRow("spin step keeps the fraction") << Mode::Percent << "" << int(Qt::Key_Up) << "50.60%" << 0.506 << 50;
        QTest::newRow("slider step") << Mode::Percent << "" << int(Qt::Key_Right) << "51.00%" << 0.51 << 51;
    }

    void userEdits()
    {
        QFETCH(Mode, mode);
        QFETCH(QString, typed);
        QFETCH(int, key);
        Normal1DWidget widget(mode, nullptr);
        showActive(widget);
        widget.setValue(0.505);
        QSignalSpy spy(&widget, &Normal1DWidget::valueChanged);
        if (!typed.isEmpty()) {
            typeInto(widget.spinBox(), typed);
        } else {
            QWidget* target = key == Qt::Key_Up ? static_cast<QWidget*>(widget.spinBox()) : widget.slider();
            target->setFocus();
            QTest::keyClick(target, static_cast<Qt::Key>(key));
        }
        QTEST(widget.spinBox()->text(), "text");
        QTEST(double(widget.value()), "value");
        QTEST(widget.slider()->value(), "sliderPosition");
        QCOMPARE(spy.count(), 1);
    }

    void padStyles()
    {
        Normal2DFrame compact(Style::Compact, nullptr);
        QCOMPARE(compact.maximumSize(), compact.minimumSize());
        QCOMPARE(compact.frameRect(), QRect(QPoint(5, 5), QPoint(54, 44))); // 60 × 50, margin 5
        Normal2DFrame large(Style::Large, nullptr);
        QCOMPARE(large.minimumSize(), QSize(300, 300));
        large.resize(364, 400);
        QCOMPARE(large.frameRect(), QRect(QPoint(32, 32), QPoint(331, 367)));
    }

    void clicksOnTheLargePad_data()
    {
        QTest::addColumn<QPoint>("position");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<geo::Normal2D>("value");
        const Qt::KeyboardModifiers none;
        QTest::newRow("margin corner") << QPoint(32, 32) << none << geo::Normal2D(0, 0);
        QTest::newRow("far corner") << QPoint(332, 332) << none << geo::Normal2D(1, 1);
        QTest::newRow("in the margin") << QPoint(3, 350) << none << geo::Normal2D(0, 1);
        QTest::newRow("plain") << QPoint(143, 182) << none << geo::Normal2D(0.37, 0.5);
        QTest::newRow("shift") << QPoint(143, 182) << Qt::KeyboardModifiers(Qt::ShiftModifier) << geo::Normal2D(0.4, 0.5);
        QTest::newRow("control") << QPoint(143, 95) << Qt::KeyboardModifiers(Qt::ControlModifier) << geo::Normal2D(0.5, 0.0);
        QTest::newRow("shift wins") << QPoint(143, 95) << (Qt::ShiftModifier | Qt::ControlModifier) << geo::Normal2D(0.4, 0.2);
    }

    void clicksOnTheLargePad()
    {
        QFETCH(QPoint, position);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(geo::Normal2D, value);
        auto pad = shownLargePad();
        QSignalSpy spy(pad.get(), &Normal2DFrame::valueChanged);
        QTest::mouseClick(pad.get(), Qt::LeftButton, modifiers, position);
        QCOMPARE(pad->value().x(), value.x());
        QCOMPARE(pad->value().y(), value.y());
        QCOMPARE(spy.count(), 2); // press and release
    }

    void draggingAndRepeatedPresses()
    {
        auto pad = shownLargePad();
        QSignalSpy spy(pad.get(), &Normal2DFrame::valueChanged);
        EventCounter paints(pad.get(), QEvent::Paint);
        sendMouse(pad.get(), QEvent::MouseMove, QPoint(92, 92), Qt::NoButton);
        QCOMPARE(spy.count(), 0);
        sendMouse(pad.get(), QEvent::MouseButtonPress, QPoint(32, 32), Qt::LeftButton);
        sendMouse(pad.get(), QEvent::MouseMove, QPoint(92, 152), Qt::LeftButton);
        QCOMPARE(pad->value(), geo::Normal2D(0.2, 0.4));
        sendMouse(pad.get(), QEvent::MouseButtonRelease, QPoint(92, 92), Qt::NoButton);
        QCOMPARE(pad->value(), geo::Normal2D(0.2, 0.2));
        QCOMPARE(spy.count(), 3);

        // Presses on the point already shown report each time but do not repaint.
        QTRY_VERIFY(paints.count > 0);
        paints.count = 0;
        QTest::mouseClick(pad.get(), Qt::LeftButton, {}, QPoint(92, 92));
        QTest::mouseClick(pad.get(), Qt::LeftButton, {}, QPoint(92, 92));
        QCoreApplication::processEvents();
        QCOMPARE(paints.count, 0);
        QCOMPARE(spy.count(), 7);
    }

    void theCompactPadOnlyReportsClicks()
    {
        Normal2DFrame pad(Style::Compact, nullptr);
        showActive(pad);
        pad.setValue(geo::Normal2D(0.3, 0.6));
        QSignalSpy clicks(&pad, &Normal2DFrame::clicked);
        QSignalSpy changes(&pad, &Normal2DFrame::valueChanged);
        QTest::mouseClick(&pad, Qt::LeftButton, {}, QPoint(5, 5));
        sendMouse(&pad, QEvent::MouseMove, QPoint(50, 40), Qt::LeftButton);
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(changes.count(), 0);
        QCOMPARE(pad.value(), geo::Normal2D(0.3, 0.6));
    }

    void thePadDrawsGridAndMarker()
    {
        Normal2DFrame pad(Style::Large, nullptr);
        pad.resize(364, 364);
        pad.setValue(geo::Normal2D(0.25, 0.75));
        QImage image(pad.size(), QImage::Format_ARGB32);
        image.fill(Qt::white);
        pad.render(&image);
        const QPoint marker(32 + 75, 32 + 225);
        QVERIFY(isDark(image.pixelColor(marker + QPoint(4, 0))) && !isDark(image.pixelColor(marker)));
        // The first grid lines, 30 pixels into the frame; the centre cross reaches into the margin.
        QCOMPARE(image.pixel(62, 100), pad.secondaryLineColor().rgb());
        QCOMPARE(image.pixel(100, 62), pad.secondaryLineColor().rgb());
        QCOMPARE(image.pixel(182, 20), pad.primaryLineColor().rgb());
    }

    void coordinateFields()
    {
        CoordinateWidget fields(CoordinateWidget::Orientation::Horizontal, nullptr);
        showActive(fields);
        const QList<QLabel*> labels = fields.findChildren<QLabel*>();
        QCOMPARE((QStringList{labels.value(0)->text(), labels.value(1)->text()}), (QStringList{"X:", "Y:"}));
        const QDoubleSpinBox* y = fields.ySpinBox();
        QCOMPARE((QList<double>{y->minimum(), y->maximum(), y->singleStep(), double(y->decimals())}), (QList<double>{0, 1, 0.01, 2}));

        QSignalSpy spy(&fields, &CoordinateWidget::valueChanged);
        fields.setValue(geo::Normal2D(0.125, 0.333));
        QCOMPARE(spy.count(), 0);
        QCOMPARE(y->text(), QStringLiteral("0.33"));
        // The untouched coordinate keeps its exact value; a typed one is kept within the range.
        typeInto(fields.xSpinBox(), "0.5");
        QCOMPARE(fields.value(), geo::Normal2D(0.5, 0.333));
        typeInto(fields.ySpinBox(), "3");
        QCOMPARE(fields.value(), geo::Normal2D(0.5, 1.0));
        QCOMPARE(spy.count(), 2);
    }

    // The pad and the fields follow a value set from outside, so typing X never writes a stale Y.
    void setValueIsShownEverywhere()
    {
        PadFixture fixture;
        Normal2DWidget* widget = fixture.widget;
        QSignalSpy spy(widget, &Normal2DWidget::valueChanged);
        widget->setValue(geo::Normal2D(0.1, 0.1));
        QVERIFY(fixture.openPad());
        widget->setValue(geo::Normal2D(0.2, 0.7));
        widget->setValue(geo::Normal2D(0.2, 0.7));
        QCOMPARE(spy.count(), 2);
        QCOMPARE(widget->compactPad()->value(), geo::Normal2D(0.2, 0.7));
        QCOMPARE(widget->largePad()->value(), geo::Normal2D(0.2, 0.7));
        typeInto(widget->coordinateFields()->xSpinBox(), "0.5");
        QCOMPARE(widget->largePad()->value(), geo::Normal2D(0.5, 0.7));
        QTRY_COMPARE(spy.count(), 3);
        QCOMPARE(widget->value(), geo::Normal2D(0.5, 0.7));
        widget->padDialog()->accept();
    }

    // A drag reaches the owner once, 100 ms after it settled, or at once when the dialog closes: the
    // owner must not write later into a document that a generation run may have started to read.
    void padEditsReachTheOwnerOnce_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::newRow("settled") << "";
        QTest::newRow("close button") << "Close";
        QTest::newRow("escape") << "Escape";
    }

    void padEditsReachTheOwnerOnce()
    {
        QFETCH(QString, ending);
        PadFixture fixture;
        Normal2DWidget* widget = fixture.widget;
        QVERIFY(fixture.openPad());
        Normal2DFrame* pad = widget->largePad();
        const QRect frame = pad->frameRect();
        QSignalSpy spy(widget, &Normal2DWidget::valueChanged);
        sendMouse(pad, QEvent::MouseButtonPress, frame.topLeft(), Qt::LeftButton);
        sendMouse(pad, QEvent::MouseMove, frame.center(), Qt::LeftButton, Qt::ControlModifier);
        sendMouse(pad, QEvent::MouseButtonRelease, frame.center(), Qt::NoButton, Qt::ControlModifier);
        QCOMPARE(widget->coordinateFields()->value(), geo::Normal2D(0.5, 0.5));
        QVERIFY(widget->isCommitPending());
        QCOMPARE(spy.count(), 0);
        if (ending == "Escape") {
            QTest::keyClick(widget->padDialog(), Qt::Key_Escape);
        } else if (!ending.isEmpty()) {
            auto* closeButton = widget->padDialog()->findChild<QPushButton*>();
            QCOMPARE(closeButton->text(), ending);
            QTest::mouseClick(closeButton, Qt::LeftButton);
        }
        QCOMPARE(widget->padDialog()->isVisible(), ending.isEmpty());
        QCOMPARE(spy.count(), ending.isEmpty() ? 0 : 1);
        QTRY_COMPARE(spy.count(), 1);
        QVERIFY(!widget->isCommitPending());
        QCOMPARE(widget->compactPad()->value(), geo::Normal2D(0.5, 0.5));
    }
};

MOTIFEX_WIDGET_TEST_MAIN(NormalValuesTest)
#include "tst_normalvalues.moc"
