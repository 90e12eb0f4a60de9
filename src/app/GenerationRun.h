#pragma once

#include "generator/Generator.h"

#include <QSharedPointer>
#include <QString>

#include <exception>

namespace canvas {
class Canvas;
}

class ProgressInterface;

// How one generation run ended: handed from the pool thread back to the main thread, which decides from
// it what the preview shows and what the status line says.
struct GenerationOutcome {
    QSharedPointer<canvas::Canvas> canvas;
    Generator::RunStatus status = Generator::RunStatus::NotRun;
    // The reason of a refused or failed run.
    QString message;

    // A failed run that never reached the generator (or left it by an exception).
    static GenerationOutcome failed(const QString& reason);
    static GenerationOutcome failedWithException(const std::exception& exception);

    // Cancelled, refused and failed runs produced no picture of their own: the previous one stays.
    bool keepsPreviousCanvas() const;
};

// Runs initialize, generate and cleanUp of the generator and reports how the run ended. Never throws: an
// exception from the generator becomes a failed run that carries its text, so that it cannot reach the
// main thread, where it would end the program.
GenerationOutcome runGenerator(Generator& generator, ProgressInterface* progress);
