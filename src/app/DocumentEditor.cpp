#include "app/DocumentEditor.h"

#include "app/ApplicationController.h"
#include "doc/Document.h"

DocumentEditor::DocumentEditor()
    : m_document(ApplicationController::instance()->document())
{
    m_document->addListener(this);
}

DocumentEditor::~DocumentEditor()
{
    m_document->removeListener(this);
}
