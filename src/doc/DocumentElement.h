#pragma once

#include "err/Deserialize.h"

#include <QString>
#include <QVariant>

#include <cstdint>
#include <list>
#include <memory>

namespace doc {

class Document;
class DocumentChangeListener;

// The base of every part of the project document: knows its document, converts itself to and from
// data, and announces its changes to its listeners in the order they registered.
//
// A listener may add or remove listeners (itself included) while it is being notified, and may even
// release the notifying element: every announcement walks the list as it stood when the announcement
// began and skips the entries that were removed in the meantime.
class DocumentElement
{
public:
    explicit DocumentElement(Document* document);
    DocumentElement(const DocumentElement&) = delete;
    DocumentElement& operator=(const DocumentElement&) = delete;
    virtual ~DocumentElement();

    virtual QVariant toData() const = 0;
    virtual void setFromDataOrThrow(const QVariant& data) = 0;

    Document* document() const { return m_document; }

    // Appends the listener; adding the same pointer twice makes it called twice.
    void addListener(DocumentChangeListener* listener);
    // Removes every entry of the listener; an unknown pointer changes nothing.
    void removeListener(DocumentChangeListener* listener);

    // setFromDataOrThrow with key put in front of the key path of any err::Deserialize raised inside.
    void setFromDataOrThrowWithKey(const QString& key, const QVariant& data);

protected:
    // Runs read; an err::Deserialize raised inside is thrown again with key in front of its key path.
    template<typename Read>
    static void readWithKeyOrThrow(const QString& key, const Read& read)
    {
        try {
            read();
        } catch (const err::Deserialize& inner) {
            throw err::Deserialize(key, inner);
        }
    }

    void propertyChanged(const QString& name);
    // Announces the path name + "/" + subName.
    void propertyChanged(const QString& name, const QString& subName);
    void documentElementAdded(const QString& name);
    void documentElementRemoved(const QString& name);
    void documentElementReset();

private:
    struct ListenerEntry {
        DocumentChangeListener* listener;
        bool isRemoved;
    };
    // Shared with running announcements so that they survive the element's destruction.
    struct ListenerList {
        std::list<ListenerEntry> entries;
        int runningAnnouncements = 0;
        bool isElementDestroyed = false;
    };
    class AnnouncementGuard;

    template<typename Call>
    void announce(const Call& call);

    Document* m_document;
    std::shared_ptr<ListenerList> m_listeners;
};

} // namespace doc
