#pragma once

#include "doc/UpdateState.h"

#include <memory>

namespace doc {

class Document;
class DocumentElement;

// Remembers the document's update state when opened and writes it back when closed. Opening a scope
// changes nothing; the code that opens it sets the state by the rules:
// - a control that writes into the document calls beginEditorUpdate() and writes only when it is true;
// - a listener that refreshes its controls calls beginDocumentUpdate() and refreshes only when it is true.
// Scopes nest: closed in reverse order they leave the state as it was before the outermost one.
class UpdateScope
{
public:
    explicit UpdateScope(Document* document);
    explicit UpdateScope(const std::shared_ptr<Document>& document);
    // The scope of the element's document.
    explicit UpdateScope(const DocumentElement* element);
    UpdateScope(const UpdateScope&) = delete;
    UpdateScope& operator=(const UpdateScope&) = delete;
    ~UpdateScope();

    UpdateState state() const { return *m_state; }
    void setState(UpdateState state) { *m_state = state; }
    // The state found when the scope was opened.
    UpdateState savedState() const { return m_savedState; }

    // Unless a document update runs, sets the editor update state; true when the caller may write.
    bool beginEditorUpdate();
    // Unless an editor update runs, sets the document update state; true when the caller may refresh
    // (or load, or reset).
    bool beginDocumentUpdate();

private:
    // Stands in for the state of a missing document, so that a scope never dereferences null.
    UpdateState m_detachedState = UpdateState::Idle;
    UpdateState* m_state;
    UpdateState m_savedState;
};

} // namespace doc
