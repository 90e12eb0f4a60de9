#include "app/MainWindow.h"
#include "editors/TransitionBox.h"
#include "editors/TransitionSelectDialog.h"
#include "support/AppFixture.h"
#include "support/UserActions.h"
#include "support/WidgetTestMain.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

using motifex::test::AppFixture;
using motifex::test::clickRow;
using motifex::test::rowWithData;
using motifex::test::runQueuedCalls;

namespace {

QList<int> selectedRows(QListWidget* list)
{
    QList<int> rows;
    for (QListWidgetItem* item : list->selectedItems()) {
        rows.append(list->row(item));
    }
    return rows;
}

QPushButton* okButton(QDialog* dialog)
{
    return dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
}

// Two transition boxes in a window, sharing the main window's chooser.
struct BoxesFixture {
    explicit BoxesFixture(AppFixture& app)
    {
        first = new TransitionBox(&window);
        second = new TransitionBox(&window);
        first->setGeometry(0, 0, 300, 56);
        second->setGeometry(0, 60, 300, 56);
        window.resize(300, 120);
        window.show();
        chooser = app.window()->transitionSelect();
    }

    // Clicks the box and waits for the chooser.
    bool openChooser(TransitionBox* box)
    {
        QTest::mouseClick(box, Qt::LeftButton);
        return QTest::qWaitFor([this] { return chooser->isVisible(); });
    }

    // Selects the row of the identifier and clicks OK.
    void choose(const QString& identifier)
    {
        clickRow(chooser->functionList(), rowWithData(chooser->functionList(), identifier));
        QTest::mouseClick(okButton(chooser), Qt::LeftButton);
    }

    QWidget window;
    TransitionBox* first = nullptr;
    TransitionBox* second = nullptr;
    TransitionSelectDialog* chooser = nullptr;
};

} // namespace

class TransitionTest : public QObject
{
    Q_OBJECT

private slots:
    void theChooserLists26Rows()
    {
        AppFixture app;
        TransitionSelectDialog* chooser = app.window()->transitionSelect();
        QCOMPARE(chooser->windowTitle(), QStringLiteral("Select the Transition"));
        QCOMPARE(chooser->heading(), QStringLiteral("<h2>Select the Transition</h2>"));
        QCOMPARE(chooser->minimumSize(), QSize(800, 500));
        QListWidget* list = chooser->functionList();
        QCOMPARE(list->count(), 26);
        QCOMPARE(list->item(0)->text(), QStringLiteral("No Transition"));
        QVERIFY(list->item(0)->icon().isNull());
        QCOMPARE(list->item(0)->data(Qt::UserRole).toString(), QString());
        QCOMPARE(list->item(1)->text(), QStringLiteral("Linear"));
        QCOMPARE(list->item(2)->text(), QStringLiteral("X²"));
        QCOMPARE(list->item(25)->data(Qt::UserRole).toString(), QStringLiteral("steps_128"));
        QVERIFY(!list->item(1)->icon().isNull());
        QCOMPARE(list->item(1)->sizeHint(), QSize(160, 52));
        QCOMPARE(list->currentRow(), 0);
    }

    void selectingARow_data()
    {
        QTest::addColumn<QString>("identifier");
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<QString>("function");
        QTest::newRow("steps_16") << "steps_16" << QList<int>{22} << "steps_16";
        QTest::newRow("none") << "" << QList<int>{0} << "";
        QTest::newRow("not a distribution") << "invert" << QList<int>() << "";
    }

    void selectingARow()
    {
        QFETCH(QString, identifier);
        QFETCH(QList<int>, rows);
        QFETCH(QString, function);
        AppFixture app;
        TransitionSelectDialog* chooser = app.window()->transitionSelect();
        chooser->setFunction("log");
        chooser->setFunction(identifier);
        QCOMPARE(selectedRows(chooser->functionList()), rows);
        QCOMPARE(chooser->function(), function);
    }

    void anEmptyBoxShowsNoTransition()
    {
        AppFixture app;
        TransitionBox box(nullptr);
        QCOMPARE(box.value(), QString());
        QCOMPARE(box.textLabel()->text(), QStringLiteral("No Transition"));
        QVERIFY(box.pictureLabel()->pixmap().isNull());
        QCOMPARE(box.height(), 56);

        QSignalSpy spy(&box, &TransitionBox::valueChanged);
        box.setValue("x^2");
        QCOMPARE(box.textLabel()->text(), QStringLiteral("X²"));
        QCOMPARE(box.pictureLabel()->pixmap().size(), QSize(48, 48));
        box.setValue("no_such_function");
        QCOMPARE(box.textLabel()->text(), QStringLiteral("X²"));
        QCOMPARE(spy.count(), 0);
    }

    void choosingATransition()
    {
        AppFixture app;
        BoxesFixture fixture(app);
        fixture.first->setValue("linear");
        QSignalSpy spy(fixture.first, &TransitionBox::valueChanged);

        QVERIFY(fixture.openChooser(fixture.first));
        QCOMPARE(selectedRows(fixture.chooser->functionList()), QList<int>{1});
        fixture.choose("log");
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(fixture.first->value(), QStringLiteral("log"));
        QCOMPARE(fixture.first->textLabel()->text(), QStringLiteral("Log"));
        QCOMPARE(fixture.first->pictureLabel()->pixmap().size(), QSize(48, 48));

        // The same choice again changes nothing.
        QVERIFY(fixture.openChooser(fixture.first));
        fixture.choose("log");
        QVERIFY(runQueuedCalls());
        QCOMPARE(spy.count(), 1);

        // Cancelling changes nothing.
        QVERIFY(fixture.openChooser(fixture.first));
        clickRow(fixture.chooser->functionList(), 0);
        QTest::keyClick(fixture.chooser, Qt::Key_Escape);
        QVERIFY(runQueuedCalls());
        QCOMPARE(spy.count(), 1);
        QCOMPARE(fixture.first->value(), QStringLiteral("log"));
    }

    void choosingNoTransitionForAnEmptyBoxEmitsNothing()
    {
        AppFixture app;
        BoxesFixture fixture(app);
        QSignalSpy spy(fixture.first, &TransitionBox::valueChanged);
        QVERIFY(fixture.openChooser(fixture.first));
        fixture.choose("");
        QVERIFY(runQueuedCalls());
        QCOMPARE(spy.count(), 0);
    }

    void aDoubleClickChooses()
    {
        AppFixture app;
        BoxesFixture fixture(app);
        QSignalSpy spy(fixture.first, &TransitionBox::valueChanged);
        QVERIFY(fixture.openChooser(fixture.first));
        QListWidget* list = fixture.chooser->functionList();
        QListWidgetItem* item = list->item(rowWithData(list, "quadratic_bezier_02"));
        list->scrollToItem(item);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(fixture.first->value(), QStringLiteral("quadratic_bezier_02"));
    }

    // The shared chooser answers only the box that opened it last.
    void twoBoxesShareTheChooser_data()
    {
        QTest::addColumn<bool>("isFirstCancelledBefore");
        QTest::newRow("cancelled from one, accepted from the other") << true;
        QTest::newRow("second opened while the first was open") << false;
    }

    void twoBoxesShareTheChooser()
    {
        QFETCH(bool, isFirstCancelledBefore);
        AppFixture app;
        BoxesFixture fixture(app);
        fixture.first->setValue("linear");
        fixture.second->setValue("linear");
        QSignalSpy firstSpy(fixture.first, &TransitionBox::valueChanged);
        QSignalSpy secondSpy(fixture.second, &TransitionBox::valueChanged);

        if (isFirstCancelledBefore) {
            QVERIFY(fixture.openChooser(fixture.first));
            QTest::keyClick(fixture.chooser, Qt::Key_Escape);
            QVERIFY(fixture.openChooser(fixture.second));
        } else {
            // Both clicks land before either box has opened the chooser.
            QTest::mouseClick(fixture.first, Qt::LeftButton);
            QTest::mouseClick(fixture.second, Qt::LeftButton);
            QTRY_VERIFY(fixture.chooser->isVisible());
        }
        fixture.choose("log");
        QTRY_COMPARE(secondSpy.count(), 1);
        QCOMPARE(fixture.second->value(), QStringLiteral("log"));
        QCOMPARE(firstSpy.count(), 0);
        QCOMPARE(fixture.first->value(), QStringLiteral("linear"));
    }
};

MOTIFEX_WIDGET_TEST_MAIN(TransitionTest)
#include "tst_transition.moc"
