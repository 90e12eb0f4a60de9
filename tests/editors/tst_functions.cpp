#include "doc/DynamicValue.h"
#include "doc/InputFunctions.h"
#include "editors/DialogRun.h"
#include "editors/FunctionBox.h"
#include "editors/FunctionControl.h"
#include "editors/FunctionEditor.h"
#include "editors/FunctionRenderer.h"
#include "editors/TransitionBox.h"
#include "editors/TransitionSelectDialog.h"
#include "func/Manager.h"
#include "support/EditorTesting.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPixmapCache>
#include <QPushButton>
#include <QSignalSpy>

using namespace motifex::test;
using Op = doc::InputFunctionOperator;
using Source = doc::InputFunctionSource;

namespace {

std::shared_ptr<doc::InputFunction> step(const QString& identifier, Op op = Op::Map, Source source = Source::Result)
{
    return doc::InputFunction::create(identifier, op, source);
}

// A function chain strip in a window of its own, showing the chain of a world value.
struct BoxFixture {
    BoxFixture(AppFixture& app, const std::shared_ptr<doc::DynamicValue>& value)
        : value(value), recorder(value), editor(app.window()->functionEditor())
    {
        box = new FunctionBox(&window);
        window.resize(600, 80);
        window.show();
        box->resize(600, 56);
        box->setFunctions(value->functions());
    }

    void append(const QStringList& identifiers)
    {
        for (const QString& identifier : identifiers) {
            value->functions()->appendFunction(step(identifier));
        }
    }

    QStringList chain() const
    {
        QStringList texts;
        for (const auto& function : value->functions()->functions()) {
            texts.append(function->toString());
        }
        return texts;
    }

    // The strip shows the chain: one tile per step, in order, and "+" while there is room.
    bool isShowingChain() const
    {
        const QList<FunctionControl*> controls = box->controls();
        const auto& steps = value->functions()->functions();
        for (int i = 0; i < controls.size(); ++i) {
            if (controls[i]->function() != steps.at(std::size_t(i)) || controls[i]->index() != i) {
                return false;
            }
        }
        return controls.size() == int(steps.size()) &&
               (box->addButton() != nullptr) == (steps.size() < FunctionBox::maximumStepCount);
    }

    bool openForAdding()
    {
        QTest::mouseClick(box->addButton(), Qt::LeftButton);
        return QTest::qWaitFor([this] { return editor->isVisible(); });
    }

    void chooseAndAccept(const QString& identifier)
    {
        clickRow(editor->functionList(), rowWithData(editor->functionList(), identifier));
        QTest::mouseClick(editor->okButton(), Qt::LeftButton);
    }

    std::shared_ptr<doc::DynamicValue> value;
    ChangeRecorder recorder;
    QWidget window;
    FunctionBox* box = nullptr;
    FunctionEditor* editor = nullptr;
};

bool isBright(const QImage& image, const QPoint& point)
{
    return image.pixelColor(point).valueF() > 0.7f;
}

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

// Function curves, the function chain strip and its editor, the transition box and its chooser.
class FunctionsTest : public QObject
{
    Q_OBJECT

private slots:
    void aPictureIsDrawnOnce()
    {
        QCOMPARE(FunctionRenderer::cacheKey("linear", QSize(48, 48), 4.0), QStringLiteral("fn_linear_48x48+4.00"));
        QCOMPARE(FunctionRenderer::cacheKey("%2", QSize(120, 30), 2.5), QStringLiteral("fn_%2_120x30+2.50"));
        int evaluations = 0;
        const FunctionRenderer::Function counting = [&evaluations](double x) {
            ++evaluations;
            return x;
        };
        const QPixmap first = FunctionRenderer::cachedPixmapForFunction(counting, "counted", QSize(40, 20), 3.0);
        const QPixmap second = FunctionRenderer::cachedPixmapForFunction(counting, "counted", QSize(40, 20), 3.0);
        QCOMPARE(evaluations, 4 * 40 + 1);
        QCOMPARE(second.cacheKey(), first.cacheKey());
        QPixmap cached;
        QVERIFY(QPixmapCache::find("fn_counted_40x20+3.00", &cached));
        QCOMPARE(FunctionRenderer::pixmapForFunction(func::Manager::instance().function("log")).size(), QSize(48, 48));
        QVERIFY(QPixmapCache::find("fn_log_48x48+4.00", &cached));
    }

    void curvePixels_data()
    {
        QTest::addColumn<QString>("identifier");
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<bool>("isOnCurve");
        // The plot runs from (4, 44) for (0, 0) to (44, 4) for (1, 1): 40 pixels per unit.
        QTest::newRow("linear at 0.25") << "linear" << QPoint(14, 34) << true;
        QTest::newRow("linear at 0.75") << "linear" << QPoint(34, 14) << true;
        QTest::newRow("linear off the diagonal") << "linear" << QPoint(14, 14) << false;
        QTest::newRow("x^2 below the diagonal") << "x^2" << QPoint(34, 14) << false;
        QTest::newRow("x^2 at 0.75") << "x^2" << QPoint(34, 21) << true;
        QTest::newRow("invert at 0.25") << "invert" << QPoint(14, 14) << true;
        QTest::newRow("steps_2 low half") << "steps_2" << QPoint(14, 44) << true;
        QTest::newRow("steps_2 high half") << "steps_2" << QPoint(34, 4) << true;
    }

    void curvePixels()
    {
        QFETCH(QString, identifier);
        QFETCH(QPoint, point);
        const QImage image = FunctionRenderer::pixmapForFunction(func::Manager::instance().function(identifier)).toImage();
        QTEST(isBright(image, point), "isOnCurve");
        // Background and frame.
        QCOMPARE(image.pixelColor(1, 1).rgb(), QColor::fromHsvF(0, 0, 0.05, 1).rgb());
        QVERIFY(!isBright(image, QPoint(4, 20)) && image.pixelColor(4, 20).valueF() > 0.2f);
    }

    void theEditor()
    {
        AppFixture app;
        FunctionEditor* editor = app.window()->functionEditor();
        QCOMPARE(editor->windowTitle(), QStringLiteral("Function Editor"));
        QCOMPARE(editor->minimumSize(), QSize(800, 500));
        QListWidget* list = editor->functionList();
        QCOMPARE(list->count(), 84);
        QCOMPARE((QStringList{list->item(0)->text(), list->item(2)->text()}), (QStringList{"Linear", "X²"}));
        QCOMPARE(list->item(83)->data(Qt::UserRole).toString(), QStringLiteral("divide_10"));
        QCOMPARE(list->item(5)->sizeHint(), QSize(160, 52));
        QVERIFY(!list->item(5)->icon().isNull());
        QCOMPARE(list->iconSize(), QSize(48, 48));
        QCOMPARE(editor->sourceComboBox()->itemText(1), QStringLiteral("Original Input"));
        QCOMPARE(editor->sourceComboBox()->itemData(1).toString(), QStringLiteral("input"));
        QCOMPARE(editor->operatorComboBox()->count(), 3);
        QCOMPARE(editor->operatorComboBox()->itemText(2), QStringLiteral("Multiply"));

        editor->editInputFunction(step("sine_01", Op::Add, Source::Input));
        QCOMPARE(editor->windowTitle(), QStringLiteral("Edit Function"));
        QCOMPARE(editor->heading(), QStringLiteral("<h2>Edit Function</h2>"));
        QVERIFY(editor->okButton()->isEnabled());
        QCOMPARE(editor->createFunction()->toString(), QStringLiteral("sine_01(add,input)"));

        editor->newInputFunction();
        QCOMPARE(editor->windowTitle(), QStringLiteral("Add New Function"));
        QCOMPARE(editor->heading(), QStringLiteral("<h2>Add New Function</h2>"));
        QCOMPARE(editor->selectedFunction(), QString());
        QCOMPARE(editor->selectedOp(), Op::Map);
        QCOMPARE(editor->selectedInputSource(), Source::Result);
        QVERIFY(!editor->okButton()->isEnabled());
        QVERIFY(editor->createFunction() == nullptr);
        editor->setSelectedFunction("no_such_function");
        QCOMPARE(editor->selectedFunction(), QString());
    }

    void tileGlyphs_data()
    {
        QTest::addColumn<Op>("op");
        QTest::addColumn<Source>("source");
        QTest::addColumn<QString>("label");
        QTest::newRow("result, map") << Op::Map << Source::Result << QStringLiteral("\uF061\n\uF661");
        QTest::newRow("input, add") << Op::Add << Source::Input << QStringLiteral("\uF345\n+");
        QTest::newRow("result, multiply") << Op::Multiply << Source::Result << QStringLiteral("\uF061\n\uF00D");
    }

    void tileGlyphs()
    {
        QFETCH(Op, op);
        QFETCH(Source, source);
        FunctionControl control(nullptr);
        control.setFunction(3, step("x^3", op, source));
        QTEST(control.labelText(), "label");
        QCOMPARE(control.sizeHint(), QSize(72, 48));
        QCOMPARE(control.picture().size(), QSize(48, 48));
    }

    // Accepting adds the step; cancelling, or accepting without a function, leaves the chain alone.
    void addingAStep_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QStringList>("chain");
        QTest::newRow("accepted") << "x^3" << QStringList{"x^3(add,result)"};
        QTest::newRow("cancelled") << "cancel" << QStringList();
        QTest::newRow("accepted without a function") << "" << QStringList();
    }

    void addingAStep()
    {
        QFETCH(QString, answer);
        QFETCH(QStringList, chain);
        AppFixture app;
        BoxFixture fixture(app, propertiesOf(app)->worldRotation());
        QTRY_VERIFY(fixture.box->addButton() != nullptr);
        QVERIFY(fixture.openForAdding());
        QCOMPARE(fixture.editor->windowTitle(), QStringLiteral("Add New Function"));
        QVERIFY(!fixture.editor->okButton()->isEnabled());
        fixture.editor->setOp(Op::Add);
        if (answer == "cancel") {
            clickRow(fixture.editor->functionList(), 0);
            QTest::keyClick(fixture.editor, Qt::Key_Escape);
        } else if (answer.isEmpty()) {
            fixture.editor->accept();
        } else {
            fixture.chooseAndAccept(answer);
        }
        QVERIFY(!DialogRun::isOpenFor(fixture.editor, fixture.box));
        QVERIFY(runQueuedCalls());
        QCOMPARE(fixture.chain(), chain);
        QCOMPARE(fixture.recorder.records(), chain.isEmpty() ? QStringList() : QStringList{"changed functions"});
        QTRY_VERIFY(fixture.isShowingChain());
    }

    void aStaleStepIndexChangesNothing()
    {
        AppFixture app;
        BoxFixture fixture(app, propertiesOf(app)->worldRotation());
        fixture.append({"linear", "invert"});
        QTRY_VERIFY(fixture.isShowingChain());
        fixture.box->onEditRequest(5);
        QVERIFY(!fixture.editor->isVisible());

        fixture.box->onEditRequest(1);
        QTRY_VERIFY(fixture.editor->isVisible());
        QCOMPARE(fixture.editor->selectedFunction(), QStringLiteral("invert"));
        fixture.value->functions()->removeFunction(1);
        fixture.recorder.clear();
        QTest::mouseClick(fixture.editor->okButton(), Qt::LeftButton);
        QVERIFY(runQueuedCalls());
        QCOMPARE(fixture.chain(), QStringList{"linear(map,result)"});
        QCOMPARE(fixture.recorder.records(), QStringList());
    }

    void clicksOnATile()
    {
        AppFixture app;
        BoxFixture fixture(app, propertiesOf(app)->worldRotation());
        fixture.append({"linear"});
        fixture.value->functions()->appendFunction(step("saw_3", Op::Multiply, Source::Input));
        QTRY_VERIFY(fixture.isShowingChain());
        fixture.recorder.clear();

        // A double click edits the step.
        QTest::mouseDClick(fixture.box->controls().at(1), Qt::LeftButton);
        QTRY_VERIFY(fixture.editor->isVisible());
        QCOMPARE(fixture.editor->windowTitle(), QStringLiteral("Edit Function"));
        QCOMPARE(fixture.editor->selectedOp(), Op::Multiply);
        QCOMPARE(fixture.editor->selectedInputSource(), Source::Input);
        QVERIFY(fixture.box->controls().at(1)->contextMenu()->isHidden());
        fixture.chooseAndAccept("invert");
        QTRY_COMPARE(fixture.chain(), (QStringList{"linear(map,result)", "invert(multiply,input)"}));
        QTRY_VERIFY(fixture.isShowingChain());

        // A single click opens the menu after the double-click interval, a right click at once.
        FunctionControl* tile = fixture.box->controls().at(0);
        QTest::mouseClick(tile, Qt::LeftButton);
        QVERIFY(tile->contextMenu()->isHidden());
        QTRY_VERIFY(tile->contextMenu()->isVisible());
        QCOMPARE(actionTexts(tile->contextMenu()->actions()), (QStringList{"Edit Function...", "Remove Function"}));
        tile->contextMenu()->hide();
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10), tile->mapToGlobal(QPoint(10, 10)));
        QApplication::sendEvent(tile, &event);
        QVERIFY(tile->contextMenu()->isVisible());
        tile->contextMenu()->actions().at(1)->trigger();
        tile->contextMenu()->hide();
        QTRY_COMPARE(fixture.chain(), QStringList{"invert(multiply,input)"});
        QCOMPARE(fixture.recorder.records(), QStringList(2, "changed functions"));
        QTRY_VERIFY(fixture.isShowingChain());
    }

    void atMostEightStepsRebuiltOncePerBurst()
    {
        AppFixture app;
        BoxFixture fixture(app, propertiesOf(app)->worldOrderZ());
        QTRY_VERIFY(fixture.box->addButton() != nullptr);
        EventCounter added(fixture.box->findChild<QFrame*>("functionsFrame"), QEvent::ChildAdded);
        fixture.append({"linear", "x^2"});
        QTRY_VERIFY(fixture.isShowingChain());
        QCOMPARE(added.count, 3); // two tiles and the button, once

        fixture.append(QStringList(6, "linear"));
        QTRY_VERIFY(fixture.box->controls().size() == 8);
        QVERIFY(fixture.box->addButton() == nullptr);
        fixture.value->functions()->removeFunction(7);
        QTRY_VERIFY(fixture.box->addButton() != nullptr);
        QCOMPARE(fixture.box->addButton()->objectName(), QStringLiteral("functionsPlusButton"));
        QCOMPARE(fixture.box->addButton()->size(), QSize(46, 46));
        QCOMPARE(fixture.box->height(), 56);
    }

    // The shared editor answers only the strip that opened it last: cancelled from one strip, accepted
    // from the other.
    void twoStripsShareTheEditor()
    {
        AppFixture app;
        BoxFixture first(app, propertiesOf(app)->worldRotation());
        BoxFixture second(app, propertiesOf(app)->worldOrderZ());
        QTRY_VERIFY(first.box->addButton() != nullptr && second.box->addButton() != nullptr);
        QVERIFY(first.openForAdding());
        clickRow(first.editor->functionList(), 0);
        first.editor->reject();
        QVERIFY(second.openForAdding());
        second.chooseAndAccept("log");
        QTRY_COMPARE(second.chain(), QStringList{"log(map,result)"});
        QVERIFY(runQueuedCalls());
        QCOMPARE(first.chain(), QStringList());
        QCOMPARE(first.recorder.records(), QStringList());
    }

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

    // The shared chooser answers only the box that opened it last: cancelled from one box, accepted
    // from the other.
    void twoBoxesShareTheChooser()
    {
        AppFixture app;
        BoxesFixture fixture(app);
        fixture.first->setValue("linear");
        QSignalSpy firstSpy(fixture.first, &TransitionBox::valueChanged);
        QVERIFY(fixture.openChooser(fixture.first));
        QTest::keyClick(fixture.chooser, Qt::Key_Escape);
        QVERIFY(fixture.openChooser(fixture.second));
        fixture.choose("log");
        QTRY_COMPARE(fixture.second->value(), QStringLiteral("log"));
        QVERIFY(runQueuedCalls());
        QCOMPARE(firstSpy.count(), 0);
        QCOMPARE(fixture.first->value(), QStringLiteral("linear"));
    }
};

MOTIFEX_WIDGET_TEST_MAIN(FunctionsTest)
#include "tst_functions.moc"
