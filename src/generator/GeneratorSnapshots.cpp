#include "generator/GeneratorSnapshots.h"

GeneratorSnapshots::GeneratorSnapshots(const GeneratorPointGrid* generator) noexcept
    : m_generator(generator)
{
}

void GeneratorSnapshots::startSnapshots() noexcept
{
    m_count = 0;
}

void GeneratorSnapshots::nextSnapshot() noexcept
{
    ++m_count;
}
