#include "app/MainWindow.h"
#include "doc/Document.h"
#include "doc/DynamicValue.h"
#include "doc/InputFunctions.h"
#include "doc/Properties.h"
#include "editors/DialogRun.h"
#include "editors/FunctionBox.h"
#include "editors/FunctionControl.h"
#include "editors/FunctionEditor.h"
#include "editors/FunctionRenderer.h"
#include "func/Manager.h"
#include "support/AppFixture.h"
#include "support/ChangeRecorder.h"
#include "support/UserActions.h"
#include "support/WidgetTestMain.h"

#include <QComboBox>
#include <QListWidget>
#include <QMenu>
#include <QPixmapCache>
#include <QPushButton>
#include <QtTest>

using motifex::test::AppFixture;
using motifex::test::ChangeRecorder;
using motifex::test::clickRow;
using motifex::test::rowWithData;
using motifex::test::runQueuedCalls;

namespace {

using Op = doc::InputFunctionOperator;
using Source = doc::InputFunctionSource;

std::shared_ptr<doc::InputFunction> step(const QString& identifier, Op op = Op::Map, Source source = Source::Result)
{
    return doc::InputFunction::create(identifier, op, source);
}

QStringList chainText(const std::shared_ptr<doc::InputFunctions>& functions)
{
    QStringList texts;
    for (const auto& function : functions->functions()) {
        texts.append(function->toString());
    }
    return texts;
}

// A function chain strip in a window of its own, showing the chain of a world value.
struct BoxFixture {
    explicit BoxFixture(AppFixture& app, const std::shared_ptr<doc::DynamicValue>& value)
        : value(value), recorder(value)
    {
        box = new FunctionBox(&window);
        window.resize(600, 80);
        window.show();
        box->resize(600, 56);
        box->setFunctions(value->functions());
        editor = app.window()->functionEditor();
    }

    bool isShowingChain() const
    {
        const QList<FunctionControl*> controls = box->controls();
        const auto& steps = value->functions()->functions();
        if (controls.size() != static_cast<int>(steps.size())) {
            return false;
        }
        for (int i = 0; i < controls.size(); ++i) {
            if (controls[i]->function() != steps[static_cast<std::size_t>(i)] || controls[i]->index() != i) {
                return false;
            }
        }
        return (box->addButton() != nullptr) == (steps.size() < FunctionBox::maximumStepCount);
    }

    std::shared_ptr<doc::DynamicValue> value;
    ChangeRecorder recorder;
    QWidget window;
    FunctionBox* box = nullptr;
    FunctionEditor* editor = nullptr;
};

bool isEditorRunOpen(const BoxFixture& fixture)
{
    return DialogRun::isOpenFor(fixture.editor, fixture.box);
}

// Counts the widgets put into a strip.
class ChildCounter : public QObject
{
public:
    explicit ChildCounter(QObject* watched) { watched->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override
    {
        if (event->type() == QEvent::ChildAdded) {
            ++count;
        }
        return false;
    }
};

bool isBright(const QImage& image, int x, int y)
{
    return image.pixelColor(x, y).valueF() > 0.7f;
}

} // namespace

class FunctionsTest : public QObject
{
    Q_OBJECT

private slots:
    void cacheKey()
    {
        QCOMPARE(FunctionRenderer::cacheKey("linear", QSize(48, 48), 4.0), QStringLiteral("fn_linear_48x48+4.00"));
        QCOMPARE(FunctionRenderer::cacheKey("x^2", QSize(120, 30), 2.5), QStringLiteral("fn_x^2_120x30+2.50"));
        QCOMPARE(FunctionRenderer::cacheKey("%2", QSize(1, 2), 0), QStringLiteral("fn_%2_1x2+0.00"));
    }

    void aPictureIsDrawnOnce()
    {
        int evaluations = 0;
        const FunctionRenderer::Function counting = [&evaluations](double x) {
            ++evaluations;
            return x;
        };
        const QPixmap first = FunctionRenderer::cachedPixmapForFunction(counting, "counted", QSize(40, 20), 3.0);
        QCOMPARE(evaluations, 4 * 40 + 1);
        const QPixmap second = FunctionRenderer::cachedPixmapForFunction(counting, "counted", QSize(40, 20), 3.0);
        QCOMPARE(evaluations, 4 * 40 + 1);
        QCOMPARE(second.cacheKey(), first.cacheKey());
        QPixmap cached;
        QVERIFY(QPixmapCache::find("fn_counted_40x20+3.00", &cached));
        QCOMPARE(cached.size(), QSize(40, 20));

        const QPixmap library = FunctionRenderer::pixmapForFunction(func::Manager::instance().function("log"));
        QCOMPARE(library.size(), QSize(48, 48));
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
        QFETCH(bool, isOnCurve);
        const QImage image = FunctionRenderer::pixmapForFunction(func::Manager::instance().function(identifier)).toImage();
        QCOMPARE(isBright(image, point.x(), point.y()), isOnCurve);
        // Background and frame.
        QCOMPARE(image.pixelColor(1, 1).rgb(), QColor::fromHsvF(0, 0, 0.05, 1).rgb());
        QVERIFY(!isBright(image, 4, 20));
        QVERIFY(image.pixelColor(4, 20).valueF() > 0.2f);
    }

    void editorLists84Functions()
    {
        AppFixture app;
        FunctionEditor* editor = app.window()->functionEditor();
        QCOMPARE(editor->windowTitle(), QStringLiteral("Function Editor"));
        QCOMPARE(editor->minimumSize(), QSize(800, 500));
        QListWidget* list = editor->functionList();
        QCOMPARE(list->count(), 84);
        QCOMPARE(list->item(0)->text(), QStringLiteral("Linear"));
        QCOMPARE(list->item(0)->data(Qt::UserRole).toString(), QStringLiteral("linear"));
        QCOMPARE(list->item(2)->text(), QStringLiteral("X²"));
        QCOMPARE(list->item(83)->data(Qt::UserRole).toString(), QStringLiteral("divide_10"));
        QCOMPARE(list->item(5)->sizeHint(), QSize(160, 52));
        QVERIFY(!list->item(5)->icon().isNull());
        QCOMPARE(list->iconSize(), QSize(48, 48));
        QCOMPARE(list->selectionMode(), QAbstractItemView::SingleSelection);

        QComboBox* sources = editor->sourceComboBox();
        QCOMPARE(sources->count(), 2);
        QCOMPARE(sources->itemText(1), QStringLiteral("Original Input"));
        QCOMPARE(sources->itemData(1).toString(), QStringLiteral("input"));
        QComboBox* operators = editor->operatorComboBox();
        QCOMPARE(operators->count(), 3);
        QCOMPARE(operators->itemText(2), QStringLiteral("Multiply"));
    }

    void editorEntryPoints()
    {
        AppFixture app;
        FunctionEditor* editor = app.window()->functionEditor();
        editor->editInputFunction(step("sine_01", Op::Add, Source::Input));
        QCOMPARE(editor->windowTitle(), QStringLiteral("Edit Function"));
        QCOMPARE(editor->heading(), QStringLiteral("<h2>Edit Function</h2>"));
        QCOMPARE(editor->selectedFunction(), QStringLiteral("sine_01"));
        QCOMPARE(editor->selectedOp(), Op::Add);
        QCOMPARE(editor->selectedInputSource(), Source::Input);
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
        QFETCH(QString, label);
        FunctionControl control(nullptr);
        control.setFunction(3, step("x^3", op, source));
        QCOMPARE(control.labelText(), label);
        QCOMPARE(control.index(), 3);
        QCOMPARE(control.sizeHint(), QSize(72, 48));
        QCOMPARE(control.picture().size(), QSize(48, 48));
    }

    void addingAStep()
    {
        AppFixture app;
        BoxFixture fixture(app, app.controller().document()->properties()->worldRotation());
        QTRY_VERIFY(fixture.box->addButton() != nullptr);
        QTest::mouseClick(fixture.box->addButton(), Qt::LeftButton);
        QTRY_VERIFY(fixture.editor->isVisible());
        QCOMPARE(fixture.editor->windowTitle(), QStringLiteral("Add New Function"));
        QVERIFY(!fixture.editor->okButton()->isEnabled());
        clickRow(fixture.editor->functionList(), rowWithData(fixture.editor->functionList(), "x^3"));
        fixture.editor->setOp(Op::Add);
        QVERIFY(fixture.editor->okButton()->isEnabled());
        QTest::mouseClick(fixture.editor->okButton(), Qt::LeftButton);

        QTRY_COMPARE(chainText(fixture.value->functions()), QStringList{"x^3(add,result)"});
        QCOMPARE(fixture.recorder.records(), QStringList{"changed functions"});
        QTRY_VERIFY(fixture.isShowingChain());
    }

    void cancellingChangesNothing()
    {
        AppFixture app;
        BoxFixture fixture(app, app.controller().document()->properties()->worldRotation());
        QTRY_VERIFY(fixture.box->addButton() != nullptr);
        QTest::mouseClick(fixture.box->addButton(), Qt::LeftButton);
        QTRY_VERIFY(fixture.editor->isVisible());
        clickRow(fixture.editor->functionList(), 0);
        QTest::keyClick(fixture.editor, Qt::Key_Escape);
        QVERIFY(!fixture.editor->isVisible());
        QVERIFY(!isEditorRunOpen(fixture));
        QVERIFY(runQueuedCalls());
        QCOMPARE(fixture.recorder.records(), QStringList());
        QVERIFY(fixture.value->functions()->functions().empty());
    }

    // Accepting without a function, or for a step that no longer exists, must not touch the chain.
    void acceptingWithoutAFunctionChangesNothing()
    {
        AppFixture app;
        BoxFixture fixture(app, app.controller().document()->properties()->worldRotation());
        QTRY_VERIFY(fixture.box->addButton() != nullptr);
        QTest::mouseClick(fixture.box->addButton(), Qt::LeftButton);
        QTRY_VERIFY(fixture.editor->isVisible());
        fixture.editor->accept();
        QVERIFY(!isEditorRunOpen(fixture));
        QVERIFY(runQueuedCalls());
        QCOMPARE(fixture.recorder.records(), QStringList());
        QVERIFY(fixture.value->functions()->functions().empty());
    }

    void aStaleStepIndexChangesNothing()
    {
        AppFixture app;
        BoxFixture fixture(app, app.controller().document()->properties()->worldRotation());
        fixture.value->functions()->appendFunction(step("linear"));
        fixture.value->functions()->appendFunction(step("invert"));
        QTRY_VERIFY(fixture.isShowingChain());

        fixture.box->onEditRequest(5);
        QVERIFY(!fixture.editor->isVisible());

        fixture.box->onEditRequest(1);
        QTRY_VERIFY(fixture.editor->isVisible());
        QCOMPARE(fixture.editor->selectedFunction(), QStringLiteral("invert"));
        fixture.value->functions()->removeFunction(1);
        fixture.recorder.clear();
        QTest::mouseClick(fixture.editor->okButton(), Qt::LeftButton);
        QVERIFY(!isEditorRunOpen(fixture));
        QVERIFY(runQueuedCalls());
        QCOMPARE(chainText(fixture.value->functions()), QStringList{"linear(map,result)"});
        QCOMPARE(fixture.recorder.records(), QStringList());
    }

    void doubleClickEditsTheStep()
    {
        AppFixture app;
        BoxFixture fixture(app, app.controller().document()->properties()->worldRotation());
        fixture.value->functions()->appendFunction(step("linear"));
        fixture.value->functions()->appendFunction(step("saw_3", Op::Multiply, Source::Input));
        QTRY_VERIFY(fixture.isShowingChain());
        fixture.recorder.clear();

        QTest::mouseDClick(fixture.box->controls().at(1), Qt::LeftButton);
        QTRY_VERIFY(fixture.editor->isVisible());
        QCOMPARE(fixture.editor->windowTitle(), QStringLiteral("Edit Function"));
        QCOMPARE(fixture.editor->selectedFunction(), QStringLiteral("saw_3"));
        QCOMPARE(fixture.editor->selectedOp(), Op::Multiply);
        QCOMPARE(fixture.editor->selectedInputSource(), Source::Input);
        QVERIFY(fixture.box->controls().at(1)->contextMenu()->isHidden());
        clickRow(fixture.editor->functionList(), rowWithData(fixture.editor->functionList(), "invert"));
        QTest::mouseClick(fixture.editor->okButton(), Qt::LeftButton);

        QTRY_COMPARE(chainText(fixture.value->functions()),
                     (QStringList{"linear(map,result)", "invert(multiply,input)"}));
        QCOMPARE(fixture.recorder.records(), QStringList{"changed functions"});
        QTRY_VERIFY(fixture.isShowingChain());
    }

    void clicksOpenTheTileMenu()
    {
        AppFixture app;
        BoxFixture fixture(app, app.controller().document()->properties()->worldRotation());
        fixture.value->functions()->appendFunction(step("linear"));
        fixture.value->functions()->appendFunction(step("x^2"));
        QTRY_VERIFY(fixture.isShowingChain());
        FunctionControl* tile = fixture.box->controls().at(0);

        // A single click waits for the double-click interval before it opens the menu.
        QTest::mouseClick(tile, Qt::LeftButton);
        QVERIFY(tile->contextMenu()->isHidden());
        QTRY_VERIFY(tile->contextMenu()->isVisible());
        const QList<QAction*> actions = tile->contextMenu()->actions();
        QCOMPARE(actions.size(), 2);
        QCOMPARE(actions.at(0)->text(), QStringLiteral("Edit Function..."));
        QCOMPARE(actions.at(1)->text(), QStringLiteral("Remove Function"));
        tile->contextMenu()->hide();

        // A right click opens it at once.
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10), tile->mapToGlobal(QPoint(10, 10)));
        QApplication::sendEvent(tile, &event);
        QVERIFY(tile->contextMenu()->isVisible());
        fixture.recorder.clear();
        tile->contextMenu()->actions().at(1)->trigger();
        tile->contextMenu()->hide();
        QTRY_COMPARE(chainText(fixture.value->functions()), QStringList{"x^2(map,result)"});
        QCOMPARE(fixture.recorder.records(), QStringList{"changed functions"});
        QTRY_VERIFY(fixture.isShowingChain());
    }

    void theChainHoldsAtMostEightSteps()
    {
        AppFixture app;
        BoxFixture fixture(app, app.controller().document()->properties()->worldOrderZ());
        for (int i = 0; i < 8; ++i) {
            fixture.value->functions()->appendFunction(step("linear"));
        }
        QTRY_VERIFY(fixture.isShowingChain());
        QCOMPARE(fixture.box->controls().size(), 8);
        QVERIFY(fixture.box->addButton() == nullptr);
        fixture.value->functions()->removeFunction(7);
        QTRY_VERIFY(fixture.box->addButton() != nullptr);
        QCOMPARE(fixture.box->addButton()->objectName(), QStringLiteral("functionsPlusButton"));
        QCOMPARE(fixture.box->addButton()->size(), QSize(46, 46));
        QCOMPARE(fixture.box->controls().size(), 7);
        QCOMPARE(fixture.box->height(), 56);
    }

    void aBurstOfChangesRebuildsOnce()
    {
        AppFixture app;
        BoxFixture fixture(app, app.controller().document()->properties()->worldRotation());
        QTRY_VERIFY(fixture.box->addButton() != nullptr);
        ChildCounter added(fixture.box->findChild<QFrame*>("functionsFrame"));
        fixture.value->functions()->appendFunction(step("linear"));
        fixture.value->functions()->appendFunction(step("x^2"));
        QTRY_VERIFY(fixture.isShowingChain());
        QCOMPARE(added.count, 3); // two tiles and the button, once
    }

    // The shared editor answers only the strip that opened it last.
    void twoStripsShareTheEditor_data()
    {
        QTest::addColumn<bool>("isFirstCancelledBefore");
        QTest::newRow("first cancelled, second accepted") << true;
        QTest::newRow("second opened while the first was open") << false;
    }

    void twoStripsShareTheEditor()
    {
        QFETCH(bool, isFirstCancelledBefore);
        AppFixture app;
        BoxFixture first(app, app.controller().document()->properties()->worldRotation());
        BoxFixture second(app, app.controller().document()->properties()->worldOrderZ());
        QTRY_VERIFY(first.box->addButton() != nullptr && second.box->addButton() != nullptr);

        first.box->onAddFunction();
        QTRY_VERIFY(first.editor->isVisible());
        if (isFirstCancelledBefore) {
            clickRow(first.editor->functionList(), 0);
            first.editor->reject();
            QTRY_VERIFY(!first.editor->isVisible());
        }
        second.box->onAddFunction();
        QTRY_VERIFY(second.editor->isVisible());
        clickRow(second.editor->functionList(), rowWithData(second.editor->functionList(), "log"));
        QTest::mouseClick(second.editor->okButton(), Qt::LeftButton);

        QTRY_COMPARE(chainText(second.value->functions()), QStringList{"log(map,result)"});
        QCOMPARE(second.recorder.records(), QStringList{"changed functions"});
        QTRY_VERIFY(second.isShowingChain());
        QVERIFY(first.value->functions()->functions().empty());
        QCOMPARE(first.recorder.records(), QStringList());
    }

};

MOTIFEX_WIDGET_TEST_MAIN(FunctionsTest)
#include "tst_functions.moc"
