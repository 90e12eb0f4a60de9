#pragma once

#include <QtGlobal>

namespace doc {

// The document's update state: keeps editors from writing back what they are showing and from
// refreshing what they have just written.
enum class UpdateState : quint32 {
    Idle = 0,
    DocumentUpdate = 1, // loading, resetting, or a listener refreshing its controls
    EditorUpdate = 2,   // a control writing into the document
};

} // namespace doc
