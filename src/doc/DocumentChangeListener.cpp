#include "doc/DocumentChangeListener.h"

namespace doc {

void DocumentChangeListener::onDocumentPropertyChanged(const QString&, const DocumentElement*) {}

void DocumentChangeListener::onDocumentElementAdded(const QString&) {}

void DocumentChangeListener::onDocumentElementRemoved(const QString&) {}

void DocumentChangeListener::onDocumentElementReset() {}

} // namespace doc
