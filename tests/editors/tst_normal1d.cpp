#include "editors/Normal1DWidget.h"
#include "support/UserActions.h"
#include "support/WidgetTestMain.h"

#include <QDoubleSpinBox>
#include <QSignalSpy>
#include <QSlider>
#include <QtTest>

using Mode = Normal1DWidget::Mode;
Q_DECLARE_METATYPE(Normal1DWidget::Mode)

using motifex::test::typeInto;

namespace {

// A shown widget, so that focus and key presses behave as for a user.
std::unique_ptr<Normal1DWidget> shownWidget(Mode mode)
{
    auto widget = std::make_unique<Normal1DWidget>(mode, nullptr);
    widget->show();
    widget->activateWindow();
    if (!QTest::qWaitForWindowActive(widget.get())) {
        qWarning("The widget did not become active.");
    }
    return widget;
}

} // namespace

class Normal1DTest : public QObject
{
    Q_OBJECT

private slots:
    void modeSettings_data()
    {
        QTest::addColumn<Mode>("mode");
        QTest::addColumn<double>("spinMinimum");
        QTest::addColumn<double>("spinMaximum");
        QTest::addColumn<int>("sliderMinimum");
        QTest::addColumn<int>("sliderMaximum");
        QTest::addColumn<int>("tickInterval");
        QTest::addColumn<QString>("suffix");
        QTest::newRow("percent") << Mode::Percent << 0.0 << 100.0 << 0 << 100 << 10 << "%";
        QTest::newRow("signed percent") << Mode::SignedPercent << -100.0 << 100.0 << -100 << 100 << 10 << "%";
        QTest::newRow("hue") << Mode::HueDegrees << -360.0 << 360.0 << -360 << 360 << 30 << QString(QChar(0x00BA));
        QTest::newRow("rotation") << Mode::RotationDegrees << -360.0 << 360.0 << -360 << 360 << 30
                                  << QString(QChar(0x00BA));
    }

    void modeSettings()
    {
        QFETCH(Mode, mode);
        QFETCH(double, spinMinimum);
        QFETCH(double, spinMaximum);
        QFETCH(int, sliderMinimum);
        QFETCH(int, sliderMaximum);
        QFETCH(int, tickInterval);
        QFETCH(QString, suffix);
        Normal1DWidget widget(mode, nullptr);
        QCOMPARE(widget.spinBox()->minimum(), spinMinimum);
        QCOMPARE(widget.spinBox()->maximum(), spinMaximum);
        QCOMPARE(widget.spinBox()->singleStep(), 0.1);
        QCOMPARE(widget.spinBox()->decimals(), 2);
        QCOMPARE(widget.spinBox()->suffix(), suffix);
        QCOMPARE(widget.slider()->minimum(), sliderMinimum);
        QCOMPARE(widget.slider()->maximum(), sliderMaximum);
        QCOMPARE(widget.slider()->tickInterval(), tickInterval);
        QCOMPARE(widget.slider()->tickPosition(), QSlider::NoTicks);
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
        QTest::newRow("signed") << Mode::SignedPercent << -0.1 << "-10.00%" << -10 << -0.1;
        QTest::newRow("signed fraction") << Mode::SignedPercent << -0.255 << "-25.50%" << -25 << -0.255;
        QTest::newRow("quarter turn") << Mode::RotationDegrees << 0.25 << "90.00\u00BA" << 90 << 0.25;
        QTest::newRow("hue") << Mode::HueDegrees << -0.5 << "-180.00\u00BA" << -180 << -0.5;
        QTest::newRow("beyond a turn") << Mode::HueDegrees << 1.5 << "360.00\u00BA" << 360 << 1.0;
    }

    void shownValues()
    {
        QFETCH(Mode, mode);
        QFETCH(double, value);
        QFETCH(QString, text);
        QFETCH(int, sliderPosition);
        QFETCH(double, valueBack);
        Normal1DWidget widget(mode, nullptr);
        QSignalSpy spy(&widget, &Normal1DWidget::valueChanged);
        widget.setValue(0.3);
        widget.setValue(value);
        QCOMPARE(widget.spinBox()->text(), text);
        QCOMPARE(widget.slider()->value(), sliderPosition);
        QCOMPARE(double(widget.value()), valueBack);
        QCOMPARE(spy.count(), 0);
    }

    void typedValues_data()
    {
        QTest::addColumn<Mode>("mode");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("sliderPosition");
        QTest::newRow("fraction") << Mode::Percent << "50.5" << "50.50%" << 0.505 << 50;
        QTest::newRow("above the range") << Mode::Percent << "150" << "100.00%" << 1.0 << 100;
        QTest::newRow("below the range") << Mode::SignedPercent << "-150" << "-100.00%" << -1.0 << -100;
        QTest::newRow("with suffix") << Mode::Percent << "12%" << "12.00%" << 0.12 << 12;
        QTest::newRow("degrees") << Mode::RotationDegrees << "45" << "45.00\u00BA" << 0.125 << 45;
        QTest::newRow("beyond a turn") << Mode::HueDegrees << "400" << "360.00\u00BA" << 1.0 << 360;
    }

    void typedValues()
    {
        QFETCH(Mode, mode);
        QFETCH(QString, typed);
        QFETCH(QString, text);
        QFETCH(double, value);
        QFETCH(int, sliderPosition);
        auto widget = shownWidget(mode);
        QSignalSpy spy(widget.get(), &Normal1DWidget::valueChanged);
        typeInto(widget->spinBox(), typed);
        QCOMPARE(widget->spinBox()->text(), text);
        QCOMPARE(double(widget->value()), value);
        QCOMPARE(widget->slider()->value(), sliderPosition);
        QCOMPARE(spy.count(), 1);
    }

    void steppingTheSpinBoxKeepsFractions()
    {
        auto widget = shownWidget(Mode::Percent);
        widget->setValue(0.505);
        QSignalSpy spy(widget.get(), &Normal1DWidget::valueChanged);
        widget->spinBox()->setFocus();
        QTest::keyClick(widget->spinBox(), Qt::Key_Up);
        QCOMPARE(widget->spinBox()->text(), QStringLiteral("50.60%"));
        QCOMPARE(double(widget->value()), 0.506);
        QCOMPARE(widget->slider()->value(), 50);
        QCOMPARE(spy.count(), 1);
    }

    void movingTheSliderSetsWholeNumbers_data()
    {
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("step") << Qt::Key_Right << "51.00%" << 0.51;
        QTest::newRow("page") << Qt::Key_PageUp << "60.00%" << 0.6;
        QTest::newRow("down") << Qt::Key_Left << "49.00%" << 0.49;
    }

    void movingTheSliderSetsWholeNumbers()
    {
        QFETCH(Qt::Key, key);
        QFETCH(QString, text);
        QFETCH(double, value);
        auto widget = shownWidget(Mode::Percent);
        widget->setValue(0.505);
        QSignalSpy spy(widget.get(), &Normal1DWidget::valueChanged);
        widget->slider()->setFocus();
        QTest::keyClick(widget->slider(), key);
        QCOMPARE(widget->spinBox()->text(), text);
        QCOMPARE(double(widget->value()), value);
        QCOMPARE(spy.count(), 1);
    }

    void rangeAndFactor()
    {
        Normal1DWidget widget(Mode::Percent, nullptr);
        QSignalSpy spy(&widget, &Normal1DWidget::valueChanged);
        widget.setValue(0.9);
        widget.setRange(0.8, 0.2);
        QCOMPARE(double(widget.minimum()), 0.2);
        QCOMPARE(double(widget.maximum()), 0.8);
        QCOMPARE(widget.spinBox()->minimum(), 20.0);
        QCOMPARE(widget.spinBox()->maximum(), 80.0);
        QCOMPARE(widget.slider()->maximum(), 80);
        QCOMPARE(widget.slider()->value(), 80);
        QCOMPARE(double(widget.value()), 0.8);

        widget.setFactor(10.0);
        QCOMPARE(widget.spinBox()->maximum(), 80.0);
        widget.setValue(0.5);
        QCOMPARE(widget.spinBox()->value(), 20.0);
        QCOMPARE(double(widget.value()), 0.8); // 20 / 10, within the stored range
        QCOMPARE(spy.count(), 0);
    }
};

MOTIFEX_WIDGET_TEST_MAIN(Normal1DTest)
#include "tst_normal1d.moc"
