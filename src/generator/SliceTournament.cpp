#include "generator/SliceTournament.h"

void SliceTournament::reset(std::size_t sliceCount)
{
    m_leafCount = 1;
    while (m_leafCount < sliceCount) {
        m_leafCount *= 2;
    }
    m_nodes.assign(2 * m_leafCount, Entry{});
}

void SliceTournament::set(std::size_t slice, qint64 freeSpace, quint64 key) noexcept
{
    std::size_t node = m_leafCount + slice;
    m_nodes[node] = Entry{freeSpace, key, static_cast<quint32>(slice)};
    for (node /= 2; node >= 1; node /= 2) {
        const Entry& left = m_nodes[2 * node];
        const Entry& right = m_nodes[2 * node + 1];
        m_nodes[node] = isBetter(right, left) ? right : left;
    }
}
