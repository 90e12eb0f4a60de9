#include "doc/DocumentElement.h"

#include "doc/DocumentChangeListener.h"

#include <algorithm>

namespace doc {

// Counts a running announcement; the last one to finish drops the entries removed meanwhile.
class DocumentElement::AnnouncementGuard
{
public:
    explicit AnnouncementGuard(std::shared_ptr<ListenerList> list) : m_list(std::move(list))
    {
        ++m_list->runningAnnouncements;
    }
    AnnouncementGuard(const AnnouncementGuard&) = delete;
    AnnouncementGuard& operator=(const AnnouncementGuard&) = delete;
    ~AnnouncementGuard()
    {
        if (--m_list->runningAnnouncements == 0) {
            m_list->entries.remove_if([](const ListenerEntry& entry) { return entry.isRemoved; });
        }
    }

private:
    std::shared_ptr<ListenerList> m_list;
};

DocumentElement::DocumentElement(Document* document)
    : m_document(document), m_listeners(std::make_shared<ListenerList>())
{
}

DocumentElement::~DocumentElement()
{
    m_listeners->isElementDestroyed = true;
}

void DocumentElement::addListener(DocumentChangeListener* listener)
{
    m_listeners->entries.push_back(ListenerEntry{listener, false});
}

void DocumentElement::removeListener(DocumentChangeListener* listener)
{
    auto& entries = m_listeners->entries;
    if (m_listeners->runningAnnouncements == 0) {
        entries.remove_if([listener](const ListenerEntry& entry) { return entry.listener == listener; });
        return;
    }
    // Erasing now would invalidate the position of a running announcement: mark the entries instead.
    for (auto& entry : entries) {
        if (entry.listener == listener) {
            entry.isRemoved = true;
        }
    }
}

void DocumentElement::setFromDataOrThrowWithKey(const QString& key, const QVariant& data)
{
    readWithKeyOrThrow(key, [&] { setFromDataOrThrow(data); });
}

template<typename Call>
void DocumentElement::announce(const Call& call)
{
    // Holding the list keeps it alive even when a listener releases this element during its call.
    const std::shared_ptr<ListenerList> list = m_listeners;
    const AnnouncementGuard guard(list);
    // No entry is erased while an announcement runs, and new entries go to the end: the first
    // entries are exactly those that stood in the list when this announcement began.
    const std::size_t count = list->entries.size();
    auto position = list->entries.begin();
    for (std::size_t index = 0; index < count && !list->isElementDestroyed; ++index, ++position) {
        if (!position->isRemoved) {
            call(position->listener);
        }
    }
}

void DocumentElement::propertyChanged(const QString& name)
{
    announce([this, &name](DocumentChangeListener* listener) { listener->onDocumentPropertyChanged(name, this); });
}

void DocumentElement::propertyChanged(const QString& name, const QString& subName)
{
    propertyChanged(name + QLatin1Char('/') + subName);
}

void DocumentElement::documentElementAdded(const QString& name)
{
    announce([&name](DocumentChangeListener* listener) { listener->onDocumentElementAdded(name); });
}

void DocumentElement::documentElementRemoved(const QString& name)
{
    announce([&name](DocumentChangeListener* listener) { listener->onDocumentElementRemoved(name); });
}

void DocumentElement::documentElementReset()
{
    announce([](DocumentChangeListener* listener) { listener->onDocumentElementReset(); });
}

} // namespace doc
