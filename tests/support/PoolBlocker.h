#pragma once

#include <QSemaphore>

#include <memory>

namespace motifex::test {

// Occupies every thread of the global thread pool until release (or destruction), so that a task started
// meanwhile waits in the queue: tests can then look at the state "started but not yet running" and
// request a cancel before the task runs, without depending on how fast it is.
class PoolBlocker
{
public:
    PoolBlocker();
    ~PoolBlocker();
    PoolBlocker(const PoolBlocker&) = delete;
    PoolBlocker& operator=(const PoolBlocker&) = delete;

    void release();

private:
    struct Gates {
        QSemaphore started;
        QSemaphore released;
    };

    std::shared_ptr<Gates> m_gates = std::make_shared<Gates>();
    int m_threadCount = 0;
    bool m_isReleased = false;
};

} // namespace motifex::test
