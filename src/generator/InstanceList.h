#pragma once

#include <QList>
#include <QtGlobal>

#include <functional>
#include <memory>
#include <vector>

namespace doc {
class Item;
}

// The copies of all item definitions of a run, largest radius first; equal radii keep the order of the
// definitions. Held as runs of equal copies (radius and definition), so a definition without a radius
// transition takes one entry however many copies it has.
//
// Built from each definition's copies in descending radius order (most transitions already give them in
// order, or in reverse), merged across definitions; a list of copies is never sorted as a whole.
class InstanceList
{
public:
    // Asked every few thousand copies; true stops the build.
    using CancelCheck = std::function<bool()>;
    // Told how many more copies of work were done.
    using WorkDone = std::function<void(quint64 copies)>;

    struct Entry {
        qint64 radius;
        quint32 item;  // position of the definition in the document's list
        quint32 count; // equal copies in a row
    };

    // The copies a build of these definitions counts in its work (see build); negative counts count 0.
    static quint64 workOf(const QList<std::shared_ptr<doc::Item>>& items) noexcept;
    // All copies of the definitions, negative counts counting 0.
    static quint64 copyCountOf(const QList<std::shared_ptr<doc::Item>>& items) noexcept;
    // An upper bound of the memory a build takes while it runs, in bytes.
    static quint64 estimatedBytes(const QList<std::shared_ptr<doc::Item>>& items) noexcept;

    // Replaces the list by the copies of the definitions; copies of radius 0 or less are left out. False,
    // with an empty list, when the cancel check asked to stop.
    bool build(const QList<std::shared_ptr<doc::Item>>& items, const CancelCheck& isCancelled, const WorkDone& workDone);
    void clear() noexcept;

    quint64 size() const noexcept { return m_size; }
    bool isEmpty() const noexcept { return m_size == 0; }
    // The radius of the smallest copy; the list must not be empty.
    qint64 smallestRadius() const noexcept { return m_entries.back().radius; }
    const std::vector<Entry>& entries() const noexcept { return m_entries; }
    const std::shared_ptr<doc::Item>& item(quint32 index) const noexcept { return m_items[index]; }

    // Walking the list from the start, one copy at a time.
    bool hasNext() const noexcept { return m_position < m_size; }
    // The entry of the next copy, then moves past it; hasNext must be true.
    const Entry& next() noexcept;
    void rewind() noexcept;

private:
    void append(qint64 radius, quint32 item, quint64 count);
    // Ends a cancelled build: the radii and the entries so far are freed in the background, the list is
    // left empty. Returns false, the build's answer.
    bool abandon(std::vector<std::vector<qint64>>& radiusLists) noexcept;

    std::vector<std::shared_ptr<doc::Item>> m_items;
    std::vector<Entry> m_entries;
    quint64 m_size = 0;
    quint64 m_position = 0;
    std::size_t m_entry = 0;
    quint32 m_offset = 0;
};
