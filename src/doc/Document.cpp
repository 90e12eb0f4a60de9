#include "doc/Document.h"

#include "doc/UpdateScope.h"

#include <QVariantMap>

namespace doc {

Document::Document() : DocumentElement(this) {}

Document::~Document() = default;

QVariant Document::toData() const
{
    return QVariantMap{};
}

void Document::setFromDataOrThrow(const QVariant&)
{
    UpdateScope scope(this);
    if (!scope.beginDocumentUpdate()) {
        return;
    }
    documentElementReset();
}

} // namespace doc
