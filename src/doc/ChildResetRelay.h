#pragma once

#include "doc/DocumentChangeListener.h"

#include <functional>
#include <memory>

namespace doc {

class DocumentElement;

// Stands on the listener list of one child of a container and hands each reset of that child to the
// container, which announces it as a change of the child's key. The container's own reset callback
// cannot tell which of its children reset, and a reset that stopped at the container would never reach
// the document's listeners: a colour preset loaded into the world colour, or an item put back to its
// starting data, would leave the project looking saved and the preview stale.
class ChildResetRelay : private DocumentChangeListener
{
public:
    // Registers at once; the relay leaves the child's list when it is destroyed.
    ChildResetRelay(std::shared_ptr<DocumentElement> child, std::function<void()> onReset);
    ~ChildResetRelay() override;
    ChildResetRelay(const ChildResetRelay&) = delete;
    ChildResetRelay& operator=(const ChildResetRelay&) = delete;

private:
    void onDocumentElementReset() override;

    std::shared_ptr<DocumentElement> m_child;
    std::function<void()> m_onReset;
};

} // namespace doc
