#include "editors/CoordinateWidget.h"
#include "editors/Normal2DFrame.h"
#include "editors/Normal2DWidget.h"
#include "support/UserActions.h"
#include "support/WidgetTestMain.h"

#include <QDialog>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

using Style = Normal2DFrame::Style;
Q_DECLARE_METATYPE(geo::Normal2D)

using motifex::test::typeInto;

namespace {

// A large pad whose frame is exactly 300 × 300 pixels inside its 32-pixel margin.
std::unique_ptr<Normal2DFrame> shownLargePad()
{
    auto pad = std::make_unique<Normal2DFrame>(Style::Large, nullptr);
    pad->resize(364, 364);
    pad->show();
    if (!QTest::qWaitForWindowExposed(pad.get())) {
        qWarning("The pad was not shown.");
    }
    return pad;
}

void sendMouse(QWidget* widget, QEvent::Type type, QPoint position, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, position, widget->mapToGlobal(position), button, buttons, modifiers);
    QApplication::sendEvent(widget, &event);
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            ++count;
        }
        return false;
    }
};

bool isDark(const QColor& color)
{
    return color.valueF() < 0.3f;
}

} // namespace

class Normal2DTest : public QObject
{
    Q_OBJECT

private slots:
    void padStyles()
    {
        Normal2DFrame compact(Style::Compact, nullptr);
        QCOMPARE(compact.size(), QSize(60, 50));
        QCOMPARE(compact.minimumSize(), QSize(60, 50));
        QCOMPARE(compact.maximumSize(), QSize(60, 50));
        QCOMPARE(compact.frameRect(), QRect(QPoint(5, 5), QPoint(54, 44)));

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
        QTest::newRow("margin corner") << QPoint(32, 32) << Qt::KeyboardModifiers() << geo::Normal2D(0, 0);
        QTest::newRow("far corner") << QPoint(332, 332) << Qt::KeyboardModifiers() << geo::Normal2D(1, 1);
        QTest::newRow("in the margin") << QPoint(3, 350) << Qt::KeyboardModifiers() << geo::Normal2D(0, 1);
        QTest::newRow("plain") << QPoint(143, 182) << Qt::KeyboardModifiers() << geo::Normal2D(0.37, 0.5);
        QTest::newRow("shift") << QPoint(143, 182) << Qt::KeyboardModifiers(Qt::ShiftModifier)
                               << geo::Normal2D(0.4, 0.5);
        QTest::newRow("control") << QPoint(143, 95) << Qt::KeyboardModifiers(Qt::ControlModifier)
                                 << geo::Normal2D(0.5, 0.0);
        QTest::newRow("shift wins") << QPoint(143, 95) << Qt::KeyboardModifiers(Qt::ShiftModifier | Qt::ControlModifier)
                                    << geo::Normal2D(0.4, 0.2);
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

    void draggingFollowsTheButton()
    {
        auto pad = shownLargePad();
        QSignalSpy spy(pad.get(), &Normal2DFrame::valueChanged);
        sendMouse(pad.get(), QEvent::MouseMove, QPoint(92, 92), Qt::NoButton);
        QCOMPARE(spy.count(), 0);
        sendMouse(pad.get(), QEvent::MouseButtonPress, QPoint(32, 32), Qt::LeftButton);
        sendMouse(pad.get(), QEvent::MouseMove, QPoint(92, 152), Qt::LeftButton);
        QCOMPARE(pad->value(), geo::Normal2D(0.2, 0.4));
        sendMouse(pad.get(), QEvent::MouseButtonRelease, QPoint(182, 332), Qt::NoButton);
        QCOMPARE(pad->value(), geo::Normal2D(0.5, 1.0));
        QCOMPARE(spy.count(), 3);
    }

    void repeatedPressesDoNotRepaint()
    {
        auto pad = shownLargePad();
        PaintCounter paints(pad.get());
        QSignalSpy spy(pad.get(), &Normal2DFrame::valueChanged);
        QTest::mouseClick(pad.get(), Qt::LeftButton, {}, QPoint(92, 92));
        QTRY_VERIFY(paints.count > 0);
        paints.count = 0;
        QTest::mouseClick(pad.get(), Qt::LeftButton, {}, QPoint(92, 92));
        QTest::mouseClick(pad.get(), Qt::LeftButton, {}, QPoint(92, 92));
        QCoreApplication::processEvents();
        QCOMPARE(paints.count, 0);
        QCOMPARE(spy.count(), 6);
    }

    void theCompactPadOnlyReportsClicks()
    {
        Normal2DFrame pad(Style::Compact, nullptr);
        pad.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pad));
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
        QVERIFY(isDark(image.pixelColor(marker + QPoint(4, 0))));
        QVERIFY(isDark(image.pixelColor(marker - QPoint(4, 0))));
        QVERIFY(!isDark(image.pixelColor(marker)));
        // The first grid line, 30 pixels into the frame, in the secondary line colour.
        QCOMPARE(image.pixel(62, 100), pad.secondaryLineColor().rgb());
        QCOMPARE(image.pixel(100, 62), pad.secondaryLineColor().rgb());
        // The centre cross in the primary colour reaches into the margin.
        QCOMPARE(image.pixel(182, 20), pad.primaryLineColor().rgb());
    }

    void coordinateFieldsLayout_data()
    {
        QTest::addColumn<CoordinateWidget::Orientation>("orientation");
        QTest::addColumn<bool>("isBeside");
        QTest::newRow("horizontal") << CoordinateWidget::Orientation::Horizontal << true;
        QTest::newRow("vertical") << CoordinateWidget::Orientation::Vertical << false;
    }

    void coordinateFieldsLayout()
    {
        QFETCH(CoordinateWidget::Orientation, orientation);
        QFETCH(bool, isBeside);
        CoordinateWidget fields(orientation, nullptr);
        fields.show();
        QVERIFY(QTest::qWaitForWindowExposed(&fields));
        const QList<QLabel*> labels = fields.findChildren<QLabel*>();
        QCOMPARE(labels.size(), 2);
        QCOMPARE(labels.at(0)->text(), QStringLiteral("X:"));
        QCOMPARE(labels.at(1)->text(), QStringLiteral("Y:"));
        QCOMPARE(fields.xSpinBox()->y() == fields.ySpinBox()->y(), isBeside);
        for (QDoubleSpinBox* spinBox : {fields.xSpinBox(), fields.ySpinBox()}) {
            QCOMPARE(spinBox->minimum(), 0.0);
            QCOMPARE(spinBox->maximum(), 1.0);
            QCOMPARE(spinBox->singleStep(), 0.01);
            QCOMPARE(spinBox->decimals(), 2);
        }
    }

    void typedCoordinatesKeepTheOtherOne()
    {
        CoordinateWidget fields(CoordinateWidget::Orientation::Horizontal, nullptr);
        fields.show();
        fields.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&fields));
        QSignalSpy spy(&fields, &CoordinateWidget::valueChanged);
        fields.setValue(geo::Normal2D(0.125, 0.333));
        fields.setValue(geo::Normal2D(0.125, 0.333));
        QCOMPARE(spy.count(), 0);
        QCOMPARE(fields.ySpinBox()->text(), QStringLiteral("0.33"));

        typeInto(fields.xSpinBox(), "0.5");
        QCOMPARE(spy.count(), 1);
        QCOMPARE(fields.value(), geo::Normal2D(0.5, 0.333));
        typeInto(fields.ySpinBox(), "3");
        QCOMPARE(spy.count(), 2);
        QCOMPARE(fields.value(), geo::Normal2D(0.5, 1.0));
    }

    void setValueIsShownEverywhere()
    {
        Normal2DWidget widget(nullptr);
        QSignalSpy spy(&widget, &Normal2DWidget::valueChanged);
        widget.setValue(geo::Normal2D(0.2, 0.7));
        QCOMPARE(spy.count(), 1);
        widget.setValue(geo::Normal2D(0.2, 0.7));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(widget.compactPad()->value(), geo::Normal2D(0.2, 0.7));
        QCOMPARE(widget.largePad()->value(), geo::Normal2D(0.2, 0.7));
        QCOMPARE(widget.coordinateFields()->value(), geo::Normal2D(0.2, 0.7));
        QCOMPARE(widget.coordinateFields()->ySpinBox()->value(), 0.7);
    }

    // The fields follow a value set from outside, so typing X never writes a stale Y.
    void typingXAfterSetValueKeepsY()
    {
        QWidget window;
        auto* widget = new Normal2DWidget(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        widget->setValue(geo::Normal2D(0.1, 0.1));
        QTest::mouseClick(widget->compactPad(), Qt::LeftButton);
        QTRY_VERIFY(widget->padDialog()->isVisible());
        widget->setValue(geo::Normal2D(0.2, 0.7));

        QSignalSpy spy(widget, &Normal2DWidget::valueChanged);
        typeInto(widget->coordinateFields()->xSpinBox(), "0.5");
        QCOMPARE(widget->largePad()->value(), geo::Normal2D(0.5, 0.7));
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(widget->value(), geo::Normal2D(0.5, 0.7));
        widget->padDialog()->accept();
    }

    void aDragIsCommittedOnceAfterItSettles()
    {
        QWidget window;
        auto* widget = new Normal2DWidget(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::mouseClick(widget->compactPad(), Qt::LeftButton);
        QTRY_VERIFY(widget->padDialog()->isVisible());
        Normal2DFrame* pad = widget->largePad();
        const QRect frame = pad->frameRect();
        QSignalSpy spy(widget, &Normal2DWidget::valueChanged);
        sendMouse(pad, QEvent::MouseButtonPress, frame.topLeft(), Qt::LeftButton);
        sendMouse(pad, QEvent::MouseMove, frame.center(), Qt::LeftButton, Qt::ControlModifier);
        sendMouse(pad, QEvent::MouseButtonRelease, frame.center(), Qt::NoButton, Qt::ControlModifier);
        QCOMPARE(widget->coordinateFields()->value(), geo::Normal2D(0.5, 0.5));
        QVERIFY(widget->isCommitPending());
        QCOMPARE(spy.count(), 0);
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(widget->value(), geo::Normal2D(0.5, 0.5));
        QCOMPARE(widget->compactPad()->value(), geo::Normal2D(0.5, 0.5));
        widget->padDialog()->accept();
    }

    // An edit must not wait for the timer once the dialog has closed: the owner could be writing
    // into a document that a generation run has started to read.
    void closingThePadDialogCommitsAtOnce_data()
    {
        QTest::addColumn<bool>("isClosedByEscape");
        QTest::newRow("close button") << false;
        QTest::newRow("escape") << true;
    }

    void closingThePadDialogCommitsAtOnce()
    {
        QFETCH(bool, isClosedByEscape);
        QWidget window;
        auto* widget = new Normal2DWidget(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::mouseClick(widget->compactPad(), Qt::LeftButton);
        QTRY_VERIFY(widget->padDialog()->isVisible());
        QSignalSpy spy(widget, &Normal2DWidget::valueChanged);
        QTest::mouseClick(widget->largePad(), Qt::LeftButton, Qt::ShiftModifier, widget->largePad()->frameRect().center());
        QVERIFY(widget->isCommitPending());
        if (isClosedByEscape) {
            QTest::keyClick(widget->padDialog(), Qt::Key_Escape);
        } else {
            auto* closeButton = widget->padDialog()->findChild<QPushButton*>();
            QCOMPARE(closeButton->text(), QStringLiteral("Close"));
            QTest::mouseClick(closeButton, Qt::LeftButton);
        }
        QVERIFY(!widget->padDialog()->isVisible());
        QVERIFY(!widget->isCommitPending());
        QCOMPARE(spy.count(), 1);
        QCOMPARE(widget->value(), geo::Normal2D(0.5, 0.5));
    }
};

MOTIFEX_WIDGET_TEST_MAIN(Normal2DTest)
#include "tst_normal2d.moc"
