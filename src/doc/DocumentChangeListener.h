#pragma once

#include <QString>

namespace doc {

class DocumentElement;

// The observer of document elements. Every callback is empty by default, so a listener overrides only
// what it needs. A listener holds no ownership: it must leave every list it stands on before it dies.
class DocumentChangeListener
{
public:
    virtual ~DocumentChangeListener() = default;

    // A property changed; name is its key, or a path of keys joined by "/" when it comes from a child.
    virtual void onDocumentPropertyChanged(const QString& name, const DocumentElement* element);
    virtual void onDocumentElementAdded(const QString& name);
    virtual void onDocumentElementRemoved(const QString& name);
    virtual void onDocumentElementReset();
};

} // namespace doc
