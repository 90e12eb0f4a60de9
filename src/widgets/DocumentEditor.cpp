#include "widgets/DocumentEditor.h"

#include "doc/Document.h"

namespace {

std::shared_ptr<doc::Document>& editedDocument()
{
    static std::shared_ptr<doc::Document> document;
    return document;
}

} // namespace

DocumentEditor::DocumentEditor()
    : m_document(editedDocument())
{
    Q_ASSERT(m_document != nullptr);
    m_document->addListener(this);
}

DocumentEditor::~DocumentEditor()
{
    m_document->removeListener(this);
}

void DocumentEditor::setEditedDocument(std::shared_ptr<doc::Document> document)
{
    editedDocument() = std::move(document);
}
