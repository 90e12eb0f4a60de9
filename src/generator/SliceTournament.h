#pragma once

#include <QtGlobal>

#include <vector>

// A tournament tree over the slices of a run: its top names the slice with the largest free space, ties
// going to the smaller key. Changing one slice costs a walk from its leaf to the top.
class SliceTournament
{
public:
    struct Entry {
        qint64 freeSpace = -1; // -1: the slice has no points
        quint64 key = 0;
        quint32 slice = 0;
    };

    void reset(std::size_t sliceCount);
    void set(std::size_t slice, qint64 freeSpace, quint64 key) noexcept;
    // The best slice; a free space of -1 when no slice has points.
    const Entry& top() const noexcept { return m_nodes[1]; }
    // The free space last set for the slice.
    qint64 freeSpaceOf(std::size_t slice) const noexcept { return m_nodes[m_leafCount + slice].freeSpace; }

private:
    static bool isBetter(const Entry& a, const Entry& b) noexcept
    {
        return a.freeSpace > b.freeSpace || (a.freeSpace == b.freeSpace && a.key < b.key);
    }

    std::size_t m_leafCount = 1;
    std::vector<Entry> m_nodes = std::vector<Entry>(2);
};
