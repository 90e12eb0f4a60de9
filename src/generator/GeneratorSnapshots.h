#pragma once

#include <QtGlobal>

class GeneratorPointGrid;

// A debug recorder of the placement: reset before placing and advanced after each placed item. It keeps
// only a counter and produces no output.
class GeneratorSnapshots
{
public:
    explicit GeneratorSnapshots(const GeneratorPointGrid* generator) noexcept;

    void startSnapshots() noexcept;
    void nextSnapshot() noexcept;
    const GeneratorPointGrid* generator() const noexcept { return m_generator; }
    quint64 snapshotCount() const noexcept { return m_count; }

private:
    const GeneratorPointGrid* m_generator;
    quint64 m_count = 0;
};
