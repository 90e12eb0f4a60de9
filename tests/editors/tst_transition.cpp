#include "editors/TransitionBox.h"
#include "editors/TransitionSelectDialog.h"
#include "support/EditorTesting.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>

using namespace motifex::test;

namespace {

QList<int> selectedRows(QListWidget* list)
{
    QList<int> rows;
    for (QListWidgetItem* item : list->selectedItems()) {
        rows.append(list->row(item));
    }
    return rows;
}

// Two transition boxes in a window, sharing the main window's chooser.
struct BoxesFixture {
    explicit BoxesFixture(AppFixture& app) : chooser(app.window()->transitionSelect())
    {
        first = new TransitionBox(&window);
        second = new TransitionBox(&window);
        second->move(0, 60);
        window.resize(300, 120);
        window.show();
    }

    bool openChooser(TransitionBox* box)
    {
        QTest::mouseClick(box, Qt::LeftButton);
        return QTest::qWaitFor([this] { return chooser->isVisible(); });
    }

    void choose(const QString& identifier)
    {
        clickRow(chooser->functionList(), rowWithData(chooser->functionList(), identifier));
        QTest::mouseClick(chooser->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    }

    QWidget window;
    TransitionSelectDialog* chooser;
    TransitionBox* first = nullptr;
    TransitionBox* second = nullptr;
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
        QCOMPARE((QStringList{list->item(0)->text(), list->item(1)->text(), list->item(2)->text()}),
                 (QStringList{"No Transition", "Linear", "X²"}));
        QVERIFY(list->item(0)->icon().isNull() && !list->item(1)->icon().isNull());
        QCOMPARE(list->item(0)->data(Qt::UserRole).toString(), QString());
        QCOMPARE(list->item(25)->data(Qt::UserRole).toString(), QStringLiteral("steps_128"));
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
        AppFixture app;
        TransitionSelectDialog* chooser = app.window()->transitionSelect();
        chooser->setFunction("log");
        chooser->setFunction(identifier);
        QTEST(selectedRows(chooser->functionList()), "rows");
        QTEST(chooser->function(), "function");
    }

    void theBoxShowsItsValue()
    {
        AppFixture app;
        TransitionBox box(nullptr);
        QSignalSpy spy(&box, &TransitionBox::valueChanged);
        QCOMPARE(box.textLabel()->text(), QStringLiteral("No Transition"));
        QVERIFY(box.pictureLabel()->pixmap().isNull());
        QCOMPARE(box.height(), 56);
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
        QSignalSpy spy(fixture.first, &TransitionBox::valueChanged);
        // "No Transition" for a box without one is no change.
        QVERIFY(fixture.openChooser(fixture.first));
        QCOMPARE(selectedRows(fixture.chooser->functionList()), QList<int>{0});
        fixture.choose("");
        QVERIFY(runQueuedCalls());
        QCOMPARE(spy.count(), 0);

        fixture.first->setValue("linear");
        QVERIFY(fixture.openChooser(fixture.first));
        QCOMPARE(selectedRows(fixture.chooser->functionList()), QList<int>{1});
        fixture.choose("log");
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(fixture.first->value(), QStringLiteral("log"));
        QCOMPARE(fixture.first->textLabel()->text(), QStringLiteral("Log"));
        QCOMPARE(fixture.first->pictureLabel()->pixmap().size(), QSize(48, 48));

        // The same choice again, and a cancelled choice, change nothing.
        QVERIFY(fixture.openChooser(fixture.first));
        fixture.choose("log");
        QVERIFY(fixture.openChooser(fixture.first));
        clickRow(fixture.chooser->functionList(), 0);
        QTest::keyClick(fixture.chooser, Qt::Key_Escape);
        QVERIFY(runQueuedCalls());
        QCOMPARE(spy.count(), 1);
        QCOMPARE(fixture.first->value(), QStringLiteral("log"));

        // A double click chooses.
        QVERIFY(fixture.openChooser(fixture.first));
        QListWidget* list = fixture.chooser->functionList();
        doubleClickIndex(list, list->model()->index(rowWithData(list, "quadratic_bezier_02"), 0));
        QTRY_COMPARE(fixture.first->value(), QStringLiteral("quadratic_bezier_02"));
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
        QSignalSpy firstSpy(fixture.first, &TransitionBox::valueChanged);
        if (isFirstCancelledBefore) {
            QVERIFY(fixture.openChooser(fixture.first));
            QTest::keyClick(fixture.chooser, Qt::Key_Escape);
            QVERIFY(fixture.openChooser(fixture.second));
        } else {
            // Both clicks land before either box has opened the chooser.
            QTest::mouseClick(fixture.first, Qt::LeftButton);
            QVERIFY(fixture.openChooser(fixture.second));
        }
        fixture.choose("log");
        QTRY_COMPARE(fixture.second->value(), QStringLiteral("log"));
        QVERIFY(runQueuedCalls());
        QCOMPARE(firstSpy.count(), 0);
        QCOMPARE(fixture.first->value(), QStringLiteral("linear"));
    }
};

MOTIFEX_WIDGET_TEST_MAIN(TransitionTest)
#include "tst_transition.moc"
