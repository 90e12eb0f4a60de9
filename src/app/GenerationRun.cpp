#include "app/GenerationRun.h"

#include "canvas/Canvas.h"

#include <QCoreApplication>

#include <utility>

namespace {

QString failureText()
{
    return QCoreApplication::translate("GenerationRun", "The generation failed.");
}

// A canvas only with a completed run, and a completed run only with a canvas; a run that ends without
// either names a reason.
GenerationOutcome consistent(GenerationOutcome outcome)
{
    const bool hasCanvas = !outcome.canvas.isNull();
    if (outcome.status == Generator::RunStatus::NotRun && hasCanvas) {
        outcome.status = Generator::RunStatus::Completed;
    }
    if ((outcome.status == Generator::RunStatus::Completed && !hasCanvas)
        || outcome.status == Generator::RunStatus::NotRun) {
        return GenerationOutcome::failed(QString());
    }
    if (outcome.status != Generator::RunStatus::Completed) {
        outcome.canvas.reset();
    }
    if (outcome.keepsPreviousCanvas() && outcome.status != Generator::RunStatus::Cancelled
        && outcome.message.isEmpty()) {
        outcome.message = failureText();
    }
    return outcome;
}

} // namespace

GenerationOutcome GenerationOutcome::failed(const QString& reason)
{
    GenerationOutcome outcome;
    outcome.status = Generator::RunStatus::Failed;
    outcome.message = reason.isEmpty() ? failureText() : reason;
    return outcome;
}

GenerationOutcome GenerationOutcome::failedWithException(const std::exception& exception)
{
    return failed(QCoreApplication::translate("GenerationRun", "The generation failed: %1")
                      .arg(QString::fromLocal8Bit(exception.what())));
}

bool GenerationOutcome::keepsPreviousCanvas() const
{
    switch (status) {
    case Generator::RunStatus::Completed:
    case Generator::RunStatus::NothingFits:
        return false;
    case Generator::RunStatus::NotRun:
    case Generator::RunStatus::Cancelled:
    case Generator::RunStatus::Refused:
    case Generator::RunStatus::Failed:
        break;
    }
    return true;
}

GenerationOutcome runGenerator(Generator& generator, ProgressInterface* progress)
{
    GenerationOutcome outcome;
    try {
        generator.initialize();
        outcome.canvas = generator.generate(progress);
        outcome.status = generator.runStatus();
        outcome.message = generator.runMessage();
    } catch (const std::exception& exception) {
        outcome = GenerationOutcome::failedWithException(exception);
    } catch (...) {
        outcome = GenerationOutcome::failed(QString());
    }
    try {
        generator.cleanUp();
    } catch (...) {
        // The result stands; what is left of the run is released by the next initialize.
    }
    return consistent(std::move(outcome));
}
