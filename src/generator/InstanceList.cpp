#include "generator/InstanceList.h"

#include "doc/Item.h"
#include "generator/BackgroundRelease.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <queue>

namespace {

// The build asks whether to stop after this many copies of work.
constexpr quint64 cancelInterval = 4096;
// Copies of a definition whose radii run up and down are sorted in chunks of this many; each chunk is
// one run of the merge.
constexpr std::size_t sortChunk = std::size_t{1} << 18;

quint64 countOf(const doc::Item& item) noexcept
{
    return static_cast<quint64>(std::max(item.count(), 0));
}

bool hasTransition(const doc::Item& item) noexcept
{
    return !item.radiusTransition().isEmpty();
}

// One run of copies of a definition in descending radius: a stretch of a radius list, read forwards or
// backwards, or one radius repeated.
struct Run {
    quint32 item = 0;
    const qint64* radii = nullptr;
    quint64 length = 0;
    quint64 repeat = 1; // copies per radius: the count of a definition without transition, else 1
    bool isReversed = false;
    quint64 position = 0;

    bool isDone() const noexcept { return position >= length || head() <= 0; }
    qint64 at(quint64 index) const noexcept { return radii[isReversed ? length - 1 - index : index]; }
    qint64 head() const noexcept { return at(position); }
    // The copies of the head's radius in a row; moves past them.
    quint64 takeGroup() noexcept
    {
        const qint64 radius = head();
        quint64 end = position + 1;
        while (end < length && at(end) == radius) {
            ++end;
        }
        const quint64 group = (end - position) * repeat;
        position = end;
        return group;
    }
};

// Larger radius first; equal radii in the order of the definitions.
struct RunsAfter {
    const std::vector<Run>* runs;
    bool operator()(std::size_t a, std::size_t b) const noexcept
    {
        const Run& first = (*runs)[a];
        const Run& second = (*runs)[b];
        const qint64 radiusA = first.head();
        const qint64 radiusB = second.head();
        return radiusA < radiusB || (radiusA == radiusB && first.item > second.item);
    }
};

// Counts work and asks whether to stop every cancelInterval copies of it.
class WorkMeter
{
public:
    WorkMeter(const InstanceList::CancelCheck& isCancelled, const InstanceList::WorkDone& workDone)
        : m_isCancelled(isCancelled)
        , m_workDone(workDone)
    {
    }

    // False once the build should stop.
    bool add(quint64 copies)
    {
        m_pending += copies;
        if (m_pending < cancelInterval) {
            return !m_hasStopped;
        }
        flush();
        m_hasStopped = m_hasStopped || (m_isCancelled && m_isCancelled());
        return !m_hasStopped;
    }
    void flush()
    {
        if (m_pending > 0 && m_workDone) {
            m_workDone(m_pending);
        }
        m_done += m_pending;
        m_pending = 0;
    }
    quint64 done() const noexcept { return m_done + m_pending; }

private:
    const InstanceList::CancelCheck& m_isCancelled;
    const InstanceList::WorkDone& m_workDone;
    quint64 m_pending = 0;
    quint64 m_done = 0;
    bool m_hasStopped = false;
};

// Entries a merge of these definitions can make at most: one per copy of a transition, one per other
// definition.
quint64 entryBound(const QList<std::shared_ptr<doc::Item>>& items) noexcept
{
    quint64 bound = 0;
    for (const auto& item : items) {
        bound += hasTransition(*item) ? countOf(*item) : 1;
    }
    return bound;
}

} // namespace

quint64 InstanceList::copyCountOf(const QList<std::shared_ptr<doc::Item>>& items) noexcept
{
    quint64 copies = 0;
    for (const auto& item : items) {
        copies += countOf(*item);
    }
    return copies;
}

quint64 InstanceList::workOf(const QList<std::shared_ptr<doc::Item>>& items) noexcept
{
    // Every copy is merged once; a copy of a transition also has its radius computed and may be sorted.
    quint64 work = 0;
    for (const auto& item : items) {
        work += countOf(*item) * (hasTransition(*item) ? 3 : 1);
    }
    return work;
}

quint64 InstanceList::estimatedBytes(const QList<std::shared_ptr<doc::Item>>& items) noexcept
{
    // A copy of a transition takes its radius while the list is built and at most one entry after.
    quint64 bytes = 0;
    for (const auto& item : items) {
        bytes += sizeof(Entry) + sizeof(Run) + sizeof(std::shared_ptr<doc::Item>);
        if (hasTransition(*item)) {
            bytes += countOf(*item) * (sizeof(qint64) + sizeof(Entry));
        }
    }
    return bytes;
}

bool InstanceList::build(const QList<std::shared_ptr<doc::Item>>& items, const CancelCheck& isCancelled,
                         const WorkDone& workDone)
{
    clear();
    const quint64 totalWork = workOf(items);
    WorkMeter meter(isCancelled, workDone);
    m_items.assign(items.begin(), items.end());
    std::vector<qint64> constantRadii(m_items.size(), 0);
    std::vector<std::vector<qint64>> radiusLists(m_items.size());
    std::vector<Run> runs;
    // Room for every entry the merge can make, so the list never moves while it grows; pages not written
    // to take no memory.
    m_entries.reserve(entryBound(items));

    for (quint32 index = 0; index < m_items.size(); ++index) {
        const doc::Item& item = *m_items[index];
        const quint64 count = countOf(item);
        if (count == 0) {
            continue;
        }
        if (!hasTransition(item)) {
            constantRadii[index] = item.radius().value();
            runs.push_back(Run{index, &constantRadii[index], 1, count});
            continue;
        }
        // The list grows as the radii are computed, so a cancel is seen while its memory is being taken.
        std::vector<qint64>& radii = radiusLists[index];
        radii.reserve(count);
        bool isDescending = true;
        bool isAscending = true;
        for (quint64 copy = 0; copy < count; ++copy) {
            const qint64 radius = item.radiusForInstance(static_cast<int>(copy)).value();
            if (copy > 0) {
                isDescending = isDescending && radius <= radii.back();
                isAscending = isAscending && radius >= radii.back();
            }
            radii.push_back(radius);
            if (!meter.add(1)) {
                return abandon(radiusLists);
            }
        }
        if (isDescending) {
            runs.push_back(Run{index, radii.data(), count});
            meter.add(count);
        } else if (isAscending) {
            // Equal copies are interchangeable, so the reversed list is in order.
            runs.push_back(Run{index, radii.data(), count, 1, true});
            meter.add(count);
        } else {
            for (std::size_t start = 0; start < count; start += sortChunk) {
                const std::size_t end = std::min<std::size_t>(start + sortChunk, count);
                std::sort(radii.begin() + static_cast<std::ptrdiff_t>(start), radii.begin() + static_cast<std::ptrdiff_t>(end),
                          std::greater<qint64>());
                runs.push_back(Run{index, radii.data() + start, end - start});
                if (!meter.add(end - start)) {
                    return abandon(radiusLists);
                }
            }
        }
    }

    std::priority_queue<std::size_t, std::vector<std::size_t>, RunsAfter> heads(RunsAfter{&runs});
    for (std::size_t run = 0; run < runs.size(); ++run) {
        if (!runs[run].isDone()) {
            heads.push(run);
        }
    }
    while (!heads.empty()) {
        const std::size_t top = heads.top();
        heads.pop();
        Run& run = runs[top];
        const qint64 radius = run.head();
        const quint64 group = run.takeGroup();
        append(radius, run.item, group);
        if (!run.isDone()) {
            heads.push(top);
        }
        if (!meter.add(group)) {
            return abandon(radiusLists);
        }
    }
    meter.flush();
    if (workDone && meter.done() < totalWork) {
        workDone(totalWork - meter.done());
    }
    if (isCancelled && isCancelled()) {
        return abandon(radiusLists);
    }
    releaseInBackground(std::move(radiusLists));
    return true;
}

bool InstanceList::abandon(std::vector<std::vector<qint64>>& radiusLists) noexcept
{
    releaseInBackground(std::move(radiusLists));
    releaseInBackground(std::move(m_entries));
    clear();
    return false;
}

void InstanceList::append(qint64 radius, quint32 item, quint64 count)
{
    m_size += count;
    if (!m_entries.empty() && m_entries.back().radius == radius && m_entries.back().item == item) {
        const quint64 room = std::numeric_limits<quint32>::max() - m_entries.back().count;
        const quint64 added = std::min(room, count);
        m_entries.back().count += static_cast<quint32>(added);
        count -= added;
    }
    while (count > 0) {
        const quint64 part = std::min<quint64>(count, std::numeric_limits<quint32>::max());
        m_entries.push_back(Entry{radius, item, static_cast<quint32>(part)});
        count -= part;
    }
}

void InstanceList::clear() noexcept
{
    std::vector<Entry>().swap(m_entries);
    std::vector<std::shared_ptr<doc::Item>>().swap(m_items);
    m_size = 0;
    rewind();
}

const InstanceList::Entry& InstanceList::next() noexcept
{
    const Entry& entry = m_entries[m_entry];
    ++m_position;
    if (++m_offset == entry.count) {
        ++m_entry;
        m_offset = 0;
    }
    return entry;
}

void InstanceList::rewind() noexcept
{
    m_position = 0;
    m_entry = 0;
    m_offset = 0;
}
