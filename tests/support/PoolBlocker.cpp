#include "support/PoolBlocker.h"

#include <QThreadPool>

namespace motifex::test {

PoolBlocker::PoolBlocker()
{
    QThreadPool* pool = QThreadPool::globalInstance();
    m_threadCount = pool->maxThreadCount();
    for (int index = 0; index < m_threadCount; ++index) {
        // The gates are shared, so that a blocker thread still leaving acquire never outlives them.
        pool->start([gates = m_gates] {
            gates->started.release();
            gates->released.acquire();
        });
    }
    m_gates->started.acquire(m_threadCount);
}

PoolBlocker::~PoolBlocker()
{
    release();
}

void PoolBlocker::release()
{
    if (m_isReleased) {
        return;
    }
    m_isReleased = true;
    m_gates->released.release(m_threadCount);
}

} // namespace motifex::test
