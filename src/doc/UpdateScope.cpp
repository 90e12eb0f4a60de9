#include "doc/UpdateScope.h"

#include "doc/Document.h"

namespace doc {

UpdateScope::UpdateScope(Document* document)
    : m_state(document != nullptr ? document->update() : &m_detachedState), m_savedState(*m_state)
{
}

UpdateScope::UpdateScope(const std::shared_ptr<Document>& document) : UpdateScope(document.get()) {}

UpdateScope::UpdateScope(const DocumentElement* element)
    : UpdateScope(element != nullptr ? element->document() : nullptr)
{
}

UpdateScope::~UpdateScope()
{
    *m_state = m_savedState;
}

bool UpdateScope::beginEditorUpdate()
{
    if (*m_state == UpdateState::DocumentUpdate) {
        return false;
    }
    *m_state = UpdateState::EditorUpdate;
    return true;
}

bool UpdateScope::beginDocumentUpdate()
{
    if (*m_state == UpdateState::EditorUpdate) {
        return false;
    }
    *m_state = UpdateState::DocumentUpdate;
    return true;
}

} // namespace doc
