#include "app/GenerationRun.h"
#include "canvas/Canvas.h"
#include "common/TestMain.h"
#include "generator/ProgressInterface.h"

#include <QtTest>

#include <stdexcept>

namespace {

// A generator whose run ends as the test says: with a canvas or none, a status and a message, or an
// exception from one of its steps.
class ScriptedGenerator : public Generator
{
public:
    enum class Throwing { Nothing, Initialize, Generate, CleanUp, NonStandard };

    ScriptedGenerator()
        : Generator(QStringLiteral("scripted"), QStringLiteral("Scripted"))
    {
    }

    bool returnsCanvas = false;
    RunStatus status = RunStatus::NotRun;
    QString message;
    Throwing throwing = Throwing::Nothing;
    QStringList calls;

    void initialize() override
    {
        calls.append(QStringLiteral("initialize"));
        throwIf(Throwing::Initialize);
    }

    QSharedPointer<canvas::Canvas> generate(ProgressInterface* /*progress*/) override
    {
        calls.append(QStringLiteral("generate"));
        throwIf(Throwing::Generate);
        if (throwing == Throwing::NonStandard) {
            throw 42;
        }
        setRunStatus(status, message);
        return returnsCanvas ? QSharedPointer<canvas::Canvas>::create(geo::Size(10000000, 10000000), nullptr)
                             : QSharedPointer<canvas::Canvas>();
    }

    void cleanUp() override
    {
        calls.append(QStringLiteral("cleanUp"));
        throwIf(Throwing::CleanUp);
    }

    const std::vector<AlgorithmEntry>& algorithmList() const override
    {
        static const std::vector<AlgorithmEntry> none;
        return none;
    }

private:
    void throwIf(Throwing step)
    {
        if (throwing == step) {
            throw std::runtime_error("out of grid points");
        }
    }
};

using Status = Generator::RunStatus;

} // namespace

Q_DECLARE_METATYPE(Generator::RunStatus)

class GenerationRunTest : public QObject
{
    Q_OBJECT

private slots:
    // What the generator reports, and what the main thread is told.
    void outcomeFollowsTheGenerator_data()
    {
        QTest::addColumn<bool>("returnsCanvas");
        QTest::addColumn<Status>("status");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("hasCanvas");
        QTest::addColumn<Status>("expectedStatus");
        QTest::addColumn<QString>("expectedMessage");
        QTest::addColumn<bool>("keepsPreviousCanvas");
        QTest::newRow("completed") << true << Status::Completed << QString() << true << Status::Completed
                                   << QString() << false;
        QTest::newRow("nothing fits") << false << Status::NothingFits << QString() << false << Status::NothingFits
                                      << QString() << false;
        QTest::newRow("cancelled") << false << Status::Cancelled << QString() << false << Status::Cancelled
                                   << QString() << true;
        QTest::newRow("refused") << false << Status::Refused << QStringLiteral("The grid is too large.") << false
                                 << Status::Refused << QStringLiteral("The grid is too large.") << true;
        QTest::newRow("failed") << false << Status::Failed << QStringLiteral("Out of memory.") << false
                                << Status::Failed << QStringLiteral("Out of memory.") << true;
        QTest::newRow("failed without a reason") << false << Status::Failed << QString() << false << Status::Failed
                                                 << QStringLiteral("The generation failed.") << true;
        QTest::newRow("a canvas beside a cancel is not shown")
            << true << Status::Cancelled << QString() << false << Status::Cancelled << QString() << true;
        QTest::newRow("completed without a canvas is a failure")
            << false << Status::Completed << QString() << false << Status::Failed
            << QStringLiteral("The generation failed.") << true;
        QTest::newRow("no status and no canvas is a failure")
            << false << Status::NotRun << QString() << false << Status::Failed
            << QStringLiteral("The generation failed.") << true;
        QTest::newRow("a canvas without a status completed")
            << true << Status::NotRun << QString() << true << Status::Completed << QString() << false;
    }

    void outcomeFollowsTheGenerator()
    {
        QFETCH(bool, returnsCanvas);
        QFETCH(Status, status);
        QFETCH(QString, message);
        QFETCH(bool, hasCanvas);
        QFETCH(Status, expectedStatus);
        QFETCH(QString, expectedMessage);
        QFETCH(bool, keepsPreviousCanvas);
        ScriptedGenerator generator;
        generator.returnsCanvas = returnsCanvas;
        generator.status = status;
        generator.message = message;
        const GenerationOutcome outcome = runGenerator(generator, nullptr);
        QCOMPARE(outcome.canvas.isNull(), !hasCanvas);
        QCOMPARE(outcome.status, expectedStatus);
        QCOMPARE(outcome.message, expectedMessage);
        QCOMPARE(outcome.keepsPreviousCanvas(), keepsPreviousCanvas);
        QCOMPARE(generator.calls,
                 (QStringList{QStringLiteral("initialize"), QStringLiteral("generate"), QStringLiteral("cleanUp")}));
    }

    // An exception never leaves the task: it becomes a failed run, and the generator is still cleaned up.
    void exceptionsBecomeFailures_data()
    {
        QTest::addColumn<int>("throwing");
        QTest::addColumn<QString>("expectedMessage");
        QTest::addColumn<QStringList>("expectedCalls");
        const QString what = QStringLiteral("The generation failed: out of grid points");
        QTest::newRow("initialize") << int(ScriptedGenerator::Throwing::Initialize) << what
                                    << QStringList{QStringLiteral("initialize"), QStringLiteral("cleanUp")};
        QTest::newRow("generate") << int(ScriptedGenerator::Throwing::Generate) << what
                                  << QStringList{QStringLiteral("initialize"), QStringLiteral("generate"),
                                                 QStringLiteral("cleanUp")};
        QTest::newRow("not a standard exception")
            << int(ScriptedGenerator::Throwing::NonStandard) << QStringLiteral("The generation failed.")
            << QStringList{QStringLiteral("initialize"), QStringLiteral("generate"), QStringLiteral("cleanUp")};
    }

    void exceptionsBecomeFailures()
    {
        QFETCH(int, throwing);
        QFETCH(QString, expectedMessage);
        QFETCH(QStringList, expectedCalls);
        ScriptedGenerator generator;
        generator.returnsCanvas = true;
        generator.status = Status::Completed;
        generator.throwing = static_cast<ScriptedGenerator::Throwing>(throwing);
        GenerationOutcome outcome;
        try {
            outcome = runGenerator(generator, nullptr);
        } catch (...) {
            QFAIL("An exception left the generation run.");
        }
        QCOMPARE(outcome.status, Status::Failed);
        QCOMPARE(outcome.message, expectedMessage);
        QVERIFY(outcome.canvas.isNull());
        QVERIFY(outcome.keepsPreviousCanvas());
        QCOMPARE(generator.calls, expectedCalls);
    }

    void failureInCleanUpKeepsTheResult()
    {
        ScriptedGenerator generator;
        generator.returnsCanvas = true;
        generator.status = Status::Completed;
        generator.throwing = ScriptedGenerator::Throwing::CleanUp;
        const GenerationOutcome outcome = runGenerator(generator, nullptr);
        QCOMPARE(outcome.status, Status::Completed);
        QVERIFY(!outcome.canvas.isNull());
    }
};

MOTIFEX_TEST_MAIN(GenerationRunTest)
#include "tst_generationrun.moc"
