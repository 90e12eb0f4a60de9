#include "app/ActionButton.h"
#include "app/MainWindow.h"
#include "doc/Color.h"
#include "doc/Document.h"
#include "doc/DynamicValue.h"
#include "doc/Item.h"
#include "doc/Items.h"
#include "editors/ColorPreviewWidget.h"
#include "editors/ColorWidget.h"
#include "editors/DynamicValueInputWidget.h"
#include "editors/DynamicValueWidget.h"
#include "editors/ItemEditDialog.h"
#include "editors/TransitionBox.h"
#include "editors/TransitionSelectDialog.h"
#include "support/AppFixture.h"
#include "support/ChangeRecorder.h"
#include "support/UserActions.h"
#include "support/WidgetTestMain.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QtTest>

using namespace motifex::test;

namespace {

// The third default item (4 mm, 8 copies) in an open dialog.
struct DialogFixture {
    explicit DialogFixture(AppFixture& app) : app(app), dialog(app.window())
    {
        item = app.controller().document()->items()->itemAt(2);
        dialog.setItem(item);
        dialog.open();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    }

    // Picks the transition in the chooser that the box opens.
    void pickTransition(const QString& identifier)
    {
        TransitionSelectDialog* chooser = app.window()->transitionSelect();
        QTest::mouseClick(dialog.transitionBox(), Qt::LeftButton);
        QTRY_VERIFY(chooser->isVisible());
        clickRow(chooser->functionList(), rowWithData(chooser->functionList(), identifier));
        QTest::mouseClick(chooser->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
        QTRY_COMPARE(dialog.transitionBox()->value(), identifier);
    }

    AppFixture& app;
    ItemEditDialog dialog;
    std::shared_ptr<doc::Item> item;
};

// Types a value and leaves the field with Tab, which keeps the dialog open (Return closes it).
void typeAndTab(QAbstractSpinBox* box, const QString& text)
{
    box->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(box->window()));
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Tab);
}

} // namespace

class ItemEditTest : public QObject
{
    Q_OBJECT

private slots:
    void titles_data()
    {
        QTest::addColumn<ItemEditDialog::Mode>("mode");
        QTest::addColumn<QString>("title");
        QTest::newRow("new") << ItemEditDialog::Mode::New << "Edit New Item";
        QTest::newRow("edit") << ItemEditDialog::Mode::Edit << "Edit Item";
    }

    void titles()
    {
        QFETCH(ItemEditDialog::Mode, mode);
        QFETCH(QString, title);
        AppFixture app;
        ItemEditDialog dialog(app.window());
        dialog.setMode(mode);
        QCOMPARE(dialog.windowTitle(), title);
        QCOMPARE(dialog.titleLabel()->text(), "<h2>" + title + "</h2>");
        const QStringList pages{dialog.tabWidget()->tabText(0), dialog.tabWidget()->tabText(1),
                                dialog.tabWidget()->tabText(2), dialog.tabWidget()->tabText(3)};
        QCOMPARE(pages, QStringList({"Main", "Color", "Rotation", "Order"}));
        QCOMPARE(dialog.resetButton()->text(), QStringLiteral("Reset to Original"));
        QCOMPARE(dialog.resetButton()->toolTip(),
                 QStringLiteral("Reset the values back to the state before you started editing them."));
        QVERIFY(!dialog.resetButton()->autoDefault());
    }

    // Opening shows the item and writes nothing back.
    void openingShowsTheItem_data()
    {
        QTest::addColumn<QString>("transition");
        QTest::addColumn<bool>("isEndEnabled");
        QTest::addColumn<double>("shownEnd");
        QTest::newRow("constant") << "" << false << 0.0;
        QTest::newRow("linear to 1 mm") << "linear" << true << 1.0;
    }

    void openingShowsTheItem()
    {
        QFETCH(QString, transition);
        QFETCH(bool, isEndEnabled);
        QFETCH(double, shownEnd);
        AppFixture app;
        const auto item = app.controller().document()->items()->itemAt(2);
        item->setRadiusTransition(transition);
        item->setRadiusEnd(geo::Length(transition.isEmpty() ? 0 : 1000000));
        ChangeRecorder recorder(app.controller().document());
        DialogFixture fixture(app);
        QCOMPARE(recorder.records(), QStringList());
        QCOMPARE(fixture.dialog.radiusBeginBox()->value(), 4.0);
        QCOMPARE(fixture.dialog.countBox()->value(), 8);
        QCOMPARE(fixture.dialog.transitionBox()->value(), transition);
        QCOMPARE(fixture.dialog.radiusEndBox()->isEnabled(), isEndEnabled);
        QCOMPARE(fixture.dialog.radiusEndBox()->value(), shownEnd);
        QCOMPARE(fixture.dialog.radiusEndBox()->maximum(), 4.0);
        QCOMPARE(fixture.dialog.colorWidget()->color(), item->color());
        QCOMPARE(fixture.dialog.rotationEditor()->dynamicValue(), item->rotation());
        QCOMPARE(fixture.dialog.orderEditor()->dynamicValue(), item->orderZ());
    }

    // A transition picked for a constant item starts half a millimetre below the radius, where there
    // is room; no transition stores an end radius of 0.
    void pickingATransition_data()
    {
        QTest::addColumn<QString>("typedBegin");
        QTest::addColumn<double>("shownEnd");
        QTest::newRow("4.00") << "4" << 3.5;
        QTest::newRow("0.60") << "0.6" << 0.01;
        QTest::newRow("0.50") << "0.5" << 0.01;
    }

    void pickingATransition()
    {
        QFETCH(QString, typedBegin);
        QFETCH(double, shownEnd);
        AppFixture app;
        DialogFixture fixture(app);
        typeAndTab(fixture.dialog.radiusBeginBox(), typedBegin);
        fixture.pickTransition("linear");
        QVERIFY(fixture.dialog.radiusEndBox()->isEnabled());
        QCOMPARE(fixture.dialog.radiusEndBox()->value(), shownEnd);
        QCOMPARE(fixture.item->radiusTransition(), QStringLiteral("linear"));
        QCOMPARE(fixture.item->radiusEnd(), geo::Length::fromDouble(shownEnd));

        // Another transition keeps the end radius.
        typeAndTab(fixture.dialog.radiusEndBox(), "0.25");
        fixture.pickTransition("log");
        QCOMPARE(fixture.item->radiusEnd(), geo::Length(250000));

        fixture.pickTransition("");
        QVERIFY(!fixture.dialog.radiusEndBox()->isEnabled());
        QCOMPARE(fixture.dialog.radiusEndBox()->value(), 0.0);
        QCOMPARE(fixture.item->radiusTransition(), QString());
        QCOMPARE(fixture.item->radiusEnd(), geo::Length(0));
    }

    void loweringTheBeginLowersTheEnd()
    {
        AppFixture app;
        DialogFixture fixture(app);
        fixture.pickTransition("linear");
        typeAndTab(fixture.dialog.radiusBeginBox(), "2");
        QCOMPARE(fixture.dialog.radiusEndBox()->value(), 2.0);
        QCOMPARE(fixture.item->radius(), geo::Length(2000000));
        QCOMPARE(fixture.item->radiusEnd(), geo::Length(2000000));
        typeAndTab(fixture.dialog.countBox(), "250");
        QCOMPARE(fixture.item->count(), 250);
    }

    // Every page shows the starting values again, the main page included.
    void resetToOriginal()
    {
        AppFixture app;
        DialogFixture fixture(app);
        const QVariant startingData = fixture.item->toData();
        typeAndTab(fixture.dialog.radiusBeginBox(), "7.5");
        typeAndTab(fixture.dialog.countBox(), "99");
        QCOMPARE(fixture.item->count(), 99);
        fixture.pickTransition("linear");
        fixture.item->color()->setStaticColor(QColor("#3366cc"));
        auto* inputs = fixture.dialog.rotationEditor()->inputWidget();
        fixture.dialog.tabWidget()->setCurrentIndex(2);
        QTest::mouseClick(inputs->button(doc::DynamicValueInput::X), Qt::LeftButton);
        QTRY_COMPARE(fixture.item->rotation()->input(), doc::DynamicValueInput::X);

        QTest::mouseClick(fixture.dialog.resetButton(), Qt::LeftButton);
        QCOMPARE(fixture.item->toData(), startingData);
        QCOMPARE(fixture.dialog.radiusBeginBox()->value(), 4.0);
        QCOMPARE(fixture.dialog.countBox()->value(), 8);
        QCOMPARE(fixture.dialog.transitionBox()->value(), QString());
        QVERIFY(!fixture.dialog.radiusEndBox()->isEnabled());
        QCOMPARE(inputs->inputValue(), doc::DynamicValueInput::Parent);
        QTRY_VERIFY(fixture.dialog.colorWidget()->preview()->parentButton()->isChecked());
        QVERIFY(fixture.dialog.isVisible());
    }
};

MOTIFEX_WIDGET_TEST_MAIN(ItemEditTest)
#include "tst_itemedit.moc"
