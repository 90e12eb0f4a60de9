#include "app/StatusFrame.h"
#include "support/WidgetTestMain.h"

#include <QEvent>
#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

#include <atomic>
#include <memory>
#include <thread>

namespace {

// A status line with a clock the test sets by hand.
struct StatusFixture {
    StatusFixture()
    {
        frame.setClock([this] { return now.load(); });
        frame.resize(800, 30);
        frame.show();
    }

    QLabel* statusLabel() const { return frame.findChild<QLabel*>(QStringLiteral("statusLabel")); }
    QLabel* statisticLabel() const { return frame.findChild<QLabel*>(QStringLiteral("statisticLabel")); }
    QProgressBar* progressBar() const { return frame.findChild<QProgressBar*>(QStringLiteral("progressBar")); }
    QToolButton* cancelButton() const { return frame.findChild<QToolButton*>(QStringLiteral("cancelButton")); }

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
        if (event->type() == QEvent::MetaCall) {
            ++count;
        }
        return false;
    }
};

} // namespace

class StatusFrameTest : public QObject
{
    Q_OBJECT

private slots:
    void idleLineShowsReadyOnly()
    {
        StatusFixture status;
        QCOMPARE(status.frame.statusText(), QStringLiteral("Ready"));
        QCOMPARE(status.statusLabel()->font().weight(), QFont::Bold);
        QVERIFY(!status.progressBar()->isVisible());
        QVERIFY(!status.cancelButton()->isVisible());
        QVERIFY(!status.statisticLabel()->isVisible());
        QCOMPARE(status.progressBar()->maximum(), 1000);
        QCOMPARE(status.cancelButton()->text(), QStringLiteral("Cancel"));
    }

    void startWorkShowsBarAndCancel()
    {
        StatusFixture status;
        status.frame.setStatistic(QStringLiteral("3 items, largest 1.00mm, smallest 1.00mm"));
        status.frame.endWork(Generator::RunStatus::Completed);
        QVERIFY(status.statisticLabel()->isVisible());

        status.frame.startWork();
        QCOMPARE(status.frame.statusText(), QStringLiteral("Starting..."));
        QVERIFY(status.progressBar()->isVisible());
        QCOMPARE(status.progressBar()->value(), 0);
        QVERIFY(status.cancelButton()->isVisible());
        QVERIFY(!status.statisticLabel()->isVisible());
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
        StatusFixture status;
        status.frame.startWork();
        QSignalSpy valueSpy(status.progressBar(), &QProgressBar::valueChanged);
        for (int time : times) {
            status.now = time;
            status.frame.progressUpdate(time);
        }
        QCoreApplication::processEvents();
        QList<int> values;
        for (const QList<QVariant>& arguments : valueSpy) {
            values.append(arguments.at(0).toInt());
        }
        QCOMPARE(values, passedOn);
    }

    void progressTextShowsTaskShareAndElapsedTime_data()
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

    void progressTextShowsTaskShareAndElapsedTime()
    {
        QFETCH(QString, task);
        QFETCH(int, perMille);
        QFETCH(qint64, time);
        QFETCH(QString, expected);
        StatusFixture status;
        status.now = 1000;
        status.frame.startWork();
        if (!task.isEmpty()) {
            status.frame.progressTaskStarted(task);
            QCoreApplication::processEvents();
            QCOMPARE(status.frame.statusText(), task + QStringLiteral("..."));
        }
        status.now = 1000 + time;
        status.frame.progressUpdate(perMille);
        QCoreApplication::processEvents();
        QCOMPARE(status.frame.statusText(), expected);
        QCOMPARE(status.progressBar()->value(), perMille);
    }

    void taskNamesAreNeverDropped()
    {
        StatusFixture status;
        status.frame.startWork();
        QueuedCallCounter counter(&status.frame);
        // All at the same moment, where progress values would be dropped.
        for (const char* name : {"Preparing Points", "Placing Items", "Finishing"}) {
            status.frame.progressTaskStarted(QString::fromLatin1(name));
        }
        QCoreApplication::processEvents();
        QCOMPARE(counter.count, 3);
        QCOMPARE(status.frame.statusText(), QStringLiteral("Finishing..."));
    }

    void workerThreadCallsArriveOnTheMainThreadInOrder()
    {
        StatusFixture status;
        status.frame.startWork();
        std::thread worker([&status] {
            status.frame.progressTaskStarted(QStringLiteral("Preparing Points"));
            status.now = 500;
            status.frame.progressUpdate(250);
            status.frame.progressTaskStarted(QStringLiteral("Placing Items"));
            status.now = 1000;
            status.frame.progressUpdate(625);
        });
        worker.join();
        QTRY_COMPARE(status.frame.statusText(), QStringLiteral("Placing Items... (62.5%) Elapsed time: 01.000"));
        QCOMPARE(status.progressBar()->value(), 625);
    }

    void cancelButtonSetsTheFlagUntilTheNextStart()
    {
        StatusFixture status;
        status.frame.startWork();
        QVERIFY(!status.frame.progressCancelRequested());
        QTest::mouseClick(status.cancelButton(), Qt::LeftButton);
        bool isRequestedOnWorker = false;
        std::thread worker([&] { isRequestedOnWorker = status.frame.progressCancelRequested(); });
        worker.join();
        QVERIFY(isRequestedOnWorker);
        status.frame.endWork(Generator::RunStatus::Cancelled);
        QVERIFY(status.frame.progressCancelRequested());
        status.frame.startWork();
        QVERIFY(!status.frame.progressCancelRequested());
    }

    // The run's end decides the text, not the cancel flag.
    void endWorkText_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("isCancelPressed");
        QTest::addColumn<QString>("expected");
        using Status = Generator::RunStatus;
        QTest::newRow("completed") << int(Status::Completed) << QString() << false
                                   << QStringLiteral("Work done in 02.250");
        QTest::newRow("completed although Cancel came too late")
            << int(Status::Completed) << QString() << true << QStringLiteral("Work done in 02.250");
        QTest::newRow("nothing fits") << int(Status::NothingFits) << QString() << false
                                      << QStringLiteral("Work done in 02.250");
        QTest::newRow("cancelled") << int(Status::Cancelled) << QString() << true << QStringLiteral("Canceled.");
        QTest::newRow("refused") << int(Status::Refused) << QStringLiteral("The grid is too large.") << false
                                 << QStringLiteral("The grid is too large.");
        QTest::newRow("failed, with Cancel pressed") << int(Status::Failed) << QStringLiteral("The generation failed.")
                                                     << true << QStringLiteral("The generation failed.");
    }

    void endWorkText()
    {
        QFETCH(int, status);
        QFETCH(QString, message);
        QFETCH(bool, isCancelPressed);
        QFETCH(QString, expected);
        StatusFixture line;
        line.now = 10000;
        line.frame.startWork();
        if (isCancelPressed) {
            QTest::mouseClick(line.cancelButton(), Qt::LeftButton);
        }
        line.now = 12250;
        line.frame.endWork(static_cast<Generator::RunStatus>(status), message);
        QCOMPARE(line.frame.statusText(), expected);
        QVERIFY(!line.progressBar()->isVisible());
        QCOMPARE(line.progressBar()->value(), 0);
        QVERIFY(!line.cancelButton()->isVisible());
        QVERIFY(line.statisticLabel()->isVisible());
    }

    void callsQueuedBeforeTheEndAreDropped()
    {
        StatusFixture status;
        status.frame.startWork();
        status.now = 500;
        status.frame.progressTaskStarted(QStringLiteral("Placing Items"));
        status.frame.progressUpdate(900);
        status.frame.endWork(Generator::RunStatus::Completed);
        QCoreApplication::processEvents();
        QCOMPARE(status.frame.statusText(), QStringLiteral("Work done in 00.500"));
        QVERIFY(!status.progressBar()->isVisible());
    }
};

MOTIFEX_WIDGET_TEST_MAIN(StatusFrameTest)
#include "tst_statusframe.moc"
