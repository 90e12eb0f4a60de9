#pragma once

#include "doc/DocumentChangeListener.h"

#include <memory>

namespace doc {
class Document;
}

// Makes an object a listener of the edited document for its whole life. The document is never
// replaced, only its content, so the registration made at construction stays valid.
class DocumentEditor : public doc::DocumentChangeListener
{
public:
    // Needs the edited document: create it after the application controller has made its documents.
    DocumentEditor();
    ~DocumentEditor() override;
    DocumentEditor(const DocumentEditor&) = delete;
    DocumentEditor& operator=(const DocumentEditor&) = delete;

    // The document every editor follows. The application controller sets it when it makes its documents
    // and clears it when it goes; editors made in between keep their own reference.
    static void setEditedDocument(std::shared_ptr<doc::Document> document);

protected:
    std::shared_ptr<doc::Document> document() const { return m_document; }

private:
    std::shared_ptr<doc::Document> m_document;
};
