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
    // Needs the application controller's documents: create it after ApplicationController::start has
    // made them.
    DocumentEditor();
    ~DocumentEditor() override;
    DocumentEditor(const DocumentEditor&) = delete;
    DocumentEditor& operator=(const DocumentEditor&) = delete;

protected:
    std::shared_ptr<doc::Document> document() const { return m_document; }

private:
    std::shared_ptr<doc::Document> m_document;
};
