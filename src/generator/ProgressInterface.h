#pragma once

#include <QString>

// How a running generator reports its task and progress and asks whether to stop. Every call may come
// from any worker thread; implementations are thread-safe.
class ProgressInterface
{
public:
    // A new task begins ("Preparing Points", "Placing Items").
    virtual void progressTaskStarted(const QString& name) = 0;
    // Progress of the whole run in thousandths, 0..1000.
    virtual void progressUpdate(int value) = 0;
    // True once the user asked to stop.
    virtual bool progressCancelRequested() = 0;

protected:
    // Never deleted through this interface.
    ~ProgressInterface() = default;
};
