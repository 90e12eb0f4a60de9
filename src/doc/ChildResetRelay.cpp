#include "doc/ChildResetRelay.h"

#include "doc/DocumentElement.h"

namespace doc {

ChildResetRelay::ChildResetRelay(std::shared_ptr<DocumentElement> child, std::function<void()> onReset)
    : m_child(std::move(child)), m_onReset(std::move(onReset))
{
    m_child->addListener(this);
}

ChildResetRelay::~ChildResetRelay()
{
    m_child->removeListener(this);
}

void ChildResetRelay::onDocumentElementReset()
{
    m_onReset();
}

} // namespace doc
