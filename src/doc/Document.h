#pragma once

#include "doc/DocumentElement.h"
#include "doc/UpdateState.h"

#include <memory>

namespace doc {

// The root of a project. Always made with std::make_shared; its element part belongs to itself.
class Document : public DocumentElement, public std::enable_shared_from_this<Document>
{
public:
    Document();
    ~Document() override;

    // The update-state word; only doc::UpdateScope uses it.
    UpdateState* update() { return &m_updateState; }

    QVariant toData() const override;
    // Does nothing while a control writes into the document; otherwise loads under the document
    // update state and announces one reset.
    void setFromDataOrThrow(const QVariant& data) override;

private:
    UpdateState m_updateState = UpdateState::Idle;
};

} // namespace doc
