#include "app/GenerationRun.h"
#include "app/StatusFrame.h"
#include "canvas/Canvas.h"
#include "support/WidgetTestMain.h"

#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

#include <atomic>
#include <stdexcept>
#include <thread>

using Status = Generator::RunStatus;
Q_DECLARE_METATYPE(Generator::RunStatus)

namespace {

// A generator whose run ends as the test says: with a canvas or none, a status and a message, or an
// exception from one of its steps.
class ScriptedGenerator : public Generator
{
public:
    enum class Step { None, Initialize, Generate, CleanUp, GenerateNonStandard };

    ScriptedGenerator()
        : Generator(QStringLiteral("scripted"), QStringLiteral("Scripted"))
    {
    }

    bool returnsCanvas = false;
    RunStatus status = RunStatus::NotRun;
    QString message;
    Step throwing = Step::None;
    QStringList calls;

    void initialize() override { call(QStringLiteral("initialize"), Step::Initialize); }

    QSharedPointer<canvas::Canvas> generate(ProgressInterface* /*progress*/) override
    {
        call(QStringLiteral("generate"), Step::Generate);
        if (throwing == Step::GenerateNonStandard) {
            throw 42;
        }
        setRunStatus(status, message);
        return returnsCanvas ? QSharedPointer<canvas::Canvas>::create(geo::Size(10000000, 10000000), nullptr) : nullptr;
    }

    void cleanUp() override { call(QStringLiteral("cleanUp"), Step::CleanUp); }

    const std::vector<AlgorithmEntry>& algorithmList() const override
    {
        static const std::vector<AlgorithmEntry> none;
        return none;
    }

private:
    void call(const QString& name, Step step)
    {
        calls.append(name);
        if (throwing == step) {
            throw std::runtime_error("out of grid points");
        }
    }
};

// A status line with a clock the test sets by hand.
struct StatusFixture {
    StatusFixture()
    {
        frame.setClock([this] { return now.load(); });
        frame.resize(800, 30);
        frame.show();
    }

    QString text() const { return frame.statusText(); }
    QLabel* statisticLabel() const { return frame.findChild<QLabel*>(QStringLiteral("statisticLabel")); }
    QProgressBar* progressBar() const { return frame.findChild<QProgressBar*>(QStringLiteral("progressBar")); }
    QToolButton* cancelButton() const { return frame.findChild<QToolButton*>(QStringLiteral("cancelButton")); }
    // What shows: the bar, Cancel and the statistic.
    QList<bool> visibility() const
    {
        return {progressBar()->isVisible(), cancelButton()->isVisible(), statisticLabel()->isVisible()};
    }

    std::atomic<qint64> now{0};
    StatusFrame frame{nullptr};
};

// Counts the queued calls that reach an object.
class QueuedCallCounter : public QObject
{
public:
    explicit QueuedCallCounter(QObject* target) { target->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override
    {
        count += event->type() == QEvent::MetaCall ? 1 : 0;
        return false;
    }
};

} // namespace

Q_DECLARE_METATYPE(ScriptedGenerator::Step)

class RunStatusTest : public QObject
{
    Q_OBJECT

private slots:
    // What the generator reports, and what the main thread is told. An exception never leaves the task:
    // it becomes a failed run, and the generator is still cleaned up.
    void outcomeFollowsTheGenerator_data()
    {
        QTest::addColumn<bool>("returnsCanvas");
        QTest::addColumn<Status>("status");
        QTest::addColumn<QString>("message");
        QTest::addColumn<ScriptedGenerator::Step>("throwing");
        QTest::addColumn<Status>("expectedStatus");
        QTest::addColumn<QString>("expectedMessage");
        const QString failed = QStringLiteral("The generation failed.");
        const QString what = QStringLiteral("The generation failed: out of grid points");
        using Step = ScriptedGenerator::Step;
        // clang-format off
        QTest::newRow("completed") << true << Status::Completed << "" << Step::None << Status::Completed << "";
        QTest::newRow("nothing fits") << false << Status::NothingFits << "" << Step::None << Status::NothingFits << "";
        QTest::newRow("cancelled") << false << Status::Cancelled << "" << Step::None << Status::Cancelled << "";
        QTest::newRow("refused") << false << Status::Refused << "The grid is too large." << Step::None << Status::Refused << "The grid is too large.";
        QTest::newRow("failed") << false << Status::Failed << "Out of memory." << Step::None << Status::Failed << "Out of memory.";
        QTest::newRow("failed without a reason") << false << Status::Failed << "" << Step::None << Status::Failed << failed;
        QTest::newRow("a canvas beside a cancel is not shown") << true << Status::Cancelled << "" << Step::None << Status::Cancelled << "";
        QTest::newRow("completed without a canvas is a failure") << false << Status::Completed << "" << Step::None << Status::Failed << failed;
        QTest::newRow("no status and no canvas is a failure") << false << Status::NotRun << "" << Step::None << Status::Failed << failed;
        QTest::newRow("a canvas without a status completed") << true << Status::NotRun << "" << Step::None << Status::Completed << "";
        QTest::newRow("thrown by initialize") << true << Status::Completed << "" << Step::Initialize << Status::Failed << what;
        QTest::newRow("thrown by generate") << true << Status::Completed << "" << Step::Generate << Status::Failed << what;
        QTest::newRow("not a standard exception") << true << Status::Completed << "" << Step::GenerateNonStandard << Status::Failed << failed;
        QTest::newRow("thrown by clean-up: the result stands") << true << Status::Completed << "" << Step::CleanUp << Status::Completed << "";
        // clang-format on
    }

    void outcomeFollowsTheGenerator()
    {
        QFETCH(bool, returnsCanvas);
        QFETCH(Status, status);
        QFETCH(QString, message);
        QFETCH(ScriptedGenerator::Step, throwing);
        QFETCH(Status, expectedStatus);
        QFETCH(QString, expectedMessage);
        ScriptedGenerator generator;
        generator.returnsCanvas = returnsCanvas;
        generator.status = status;
        generator.message = message;
        generator.throwing = throwing;
        GenerationOutcome outcome;
        try {
            outcome = runGenerator(generator, nullptr);
        } catch (...) {
            QFAIL("An exception left the generation run.");
        }
        QCOMPARE(outcome.status, expectedStatus);
        QCOMPARE(outcome.message, expectedMessage);
        // A canvas only with a completed run; only a run with a picture of its own replaces the shown one.
        QCOMPARE(outcome.canvas.isNull(), expectedStatus != Status::Completed);
        QCOMPARE(outcome.keepsPreviousCanvas(),
                 expectedStatus != Status::Completed && expectedStatus != Status::NothingFits);
        QCOMPARE(generator.calls, throwing == ScriptedGenerator::Step::Initialize
                                      ? QStringList({"initialize", "cleanUp"})
                                      : QStringList({"initialize", "generate", "cleanUp"}));
    }

    // Each row: the clock times (ms after startWork) at which a value arrives, the value being the time,
    // and the values passed on to the line.
    void progressIsThrottled_data()
    {
        QTest::addColumn<QList<int>>("times");
        QTest::addColumn<QList<int>>("passedOn");
        QTest::newRow("the first value within 100 ms of the start is dropped") << QList<int>{50} << QList<int>{};
        QTest::newRow("100 ms is not more than 100 ms") << QList<int>{100, 101} << QList<int>{101};
        QTest::newRow("the interval counts from the last value passed on")
            << QList<int>{101, 150, 201, 202, 302, 303} << QList<int>{101, 202, 303};
        QList<int> everyTenMilliseconds;
        for (int time = 10; time <= 1000; time += 10) {
            everyTenMilliseconds.append(time);
        }
        QTest::newRow("every 10 ms for a second: about ten a second")
            << everyTenMilliseconds << QList<int>{110, 220, 330, 440, 550, 660, 770, 880, 990};
    }

    void progressIsThrottled()
    {
        QFETCH(QList<int>, times);
        QFETCH(QList<int>, passedOn);
        StatusFixture line;
        line.frame.startWork();
        QSignalSpy valueSpy(line.progressBar(), &QProgressBar::valueChanged);
        for (int time : times) {
            line.now = time;
            line.frame.progressUpdate(time);
        }
        QCoreApplication::processEvents();
        QList<int> values;
        for (const QList<QVariant>& arguments : valueSpy) {
            values.append(arguments.at(0).toInt());
        }
        QCOMPARE(values, passedOn);
    }

    void progressText_data()
    {
        QTest::addColumn<QString>("task");
        QTest::addColumn<int>("perMille");
        QTest::addColumn<qint64>("time");
        QTest::addColumn<QString>("expected");
        QTest::newRow("before any task") << QString() << 534 << qint64(1234)
                                         << QStringLiteral("Starting... (53.4%) Elapsed time: 01.234");
        QTest::newRow("named task") << QStringLiteral("Placing Items") << 1000 << qint64(65001)
                                    << QStringLiteral("Placing Items... (100.0%) Elapsed time: 01:05.001");
        QTest::newRow("zero") << QStringLiteral("Preparing Points") << 0 << qint64(101)
                              << QStringLiteral("Preparing Points... (0.0%) Elapsed time: 00.101");
    }

    void progressText()
    {
        QFETCH(QString, task);
        QFETCH(int, perMille);
        QFETCH(qint64, time);
        QFETCH(QString, expected);
        StatusFixture line;
        line.now = 1000;
        line.frame.startWork();
        if (!task.isEmpty()) {
            line.frame.progressTaskStarted(task);
            QCoreApplication::processEvents();
            QCOMPARE(line.text(), task + QStringLiteral("..."));
        }
        line.now = 1000 + time;
        line.frame.progressUpdate(perMille);
        QCoreApplication::processEvents();
        QCOMPARE(line.text(), expected);
        QCOMPARE(line.progressBar()->value(), perMille);
    }

    // From a worker thread, in order, every task name even at the same moment; progress only when due.
    void workerCallsArriveOnTheMainThreadInOrder()
    {
        StatusFixture line;
        line.frame.startWork();
        QueuedCallCounter counter(&line.frame);
        std::thread worker([&line] {
            for (const char* name : {"Preparing Points", "Placing Items", "Finishing"}) {
                line.frame.progressTaskStarted(QString::fromLatin1(name));
            }
            line.now = 500;
            line.frame.progressUpdate(250);
            line.frame.progressTaskStarted(QStringLiteral("Placing Items"));
            line.now = 1000;
            line.frame.progressUpdate(625);
        });
        worker.join();
        QTRY_COMPARE(line.text(), QStringLiteral("Placing Items... (62.5%) Elapsed time: 01.000"));
        QCOMPARE(counter.count, 6);
        QCOMPARE(line.progressBar()->value(), 625);
    }

    void cancelButtonSetsTheFlagUntilTheNextStart()
    {
        StatusFixture line;
        line.frame.startWork();
        QVERIFY(!line.frame.progressCancelRequested());
        QTest::mouseClick(line.cancelButton(), Qt::LeftButton);
        bool isRequestedOnWorker = false;
        std::thread worker([&] { isRequestedOnWorker = line.frame.progressCancelRequested(); });
        worker.join();
        QVERIFY(isRequestedOnWorker);
        line.frame.endWork(Status::Cancelled);
        QVERIFY(line.frame.progressCancelRequested());
        line.frame.startWork();
        QVERIFY(!line.frame.progressCancelRequested());
    }

    // The run's end decides the text, not the cancel flag.
    void endWorkText_data()
    {
        QTest::addColumn<Status>("status");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("isCancelPressed");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("isStatisticShown");
        const QString done = QStringLiteral("Work done in 02.250");
        QTest::newRow("completed") << Status::Completed << QString() << false << done << true;
        QTest::newRow("completed although Cancel came too late")
            << Status::Completed << QString() << true << done << true;
        QTest::newRow("nothing fits") << Status::NothingFits << QString() << false << done << true;
        QTest::newRow("cancelled") << Status::Cancelled << QString() << true << QStringLiteral("Canceled.") << true;
        // A reason takes the statistic's place while it stands.
        QTest::newRow("refused") << Status::Refused << QStringLiteral("The grid is too large.") << false
                                 << QStringLiteral("The grid is too large.") << false;
        QTest::newRow("failed, with Cancel pressed") << Status::Failed << QStringLiteral("The generation failed.")
                                                     << true << QStringLiteral("The generation failed.") << false;
    }

    void endWorkText()
    {
        QFETCH(Status, status);
        QFETCH(QString, message);
        QFETCH(bool, isCancelPressed);
        QFETCH(QString, expected);
        QFETCH(bool, isStatisticShown);
        StatusFixture line;
        line.now = 10000;
        line.frame.startWork();
        if (isCancelPressed) {
            QTest::mouseClick(line.cancelButton(), Qt::LeftButton);
        }
        line.now = 12250;
        line.frame.endWork(status, message);
        QCOMPARE(line.text(), expected);
        QCOMPARE(line.progressBar()->value(), 0);
        QCOMPARE(line.visibility(), QList<bool>({false, false, isStatisticShown}));
    }

    void callsQueuedBeforeTheEndAreDropped()
    {
        StatusFixture line;
        line.frame.startWork();
        line.now = 500;
        line.frame.progressTaskStarted(QStringLiteral("Placing Items"));
        line.frame.progressUpdate(900);
        line.frame.endWork(Status::Completed);
        QCoreApplication::processEvents();
        QCOMPARE(line.text(), QStringLiteral("Work done in 00.500"));
        QVERIFY(!line.progressBar()->isVisible());
    }
};

MOTIFEX_WIDGET_TEST_MAIN(RunStatusTest)
#include "tst_runstatus.moc"
