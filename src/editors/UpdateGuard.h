#pragma once

#include "doc/DocumentElement.h"
#include "doc/UpdateScope.h"

// The two update rules every editor follows, written once over doc::UpdateScope. Both restore the
// document's update state when they return, so they nest. The element is the document itself or any
// part of it (a null pointer stands for a part without document: its rules never stop anything).
struct UpdateGuard
{
    // Runs write as an editor update of the element's document. Nothing is written while a document
    // update runs: the control's change signal then came from showing the document's own value.
    // True when write ran.
    template<typename Element, typename Write>
    static bool write(Element* element, const Write& write)
    {
        doc::UpdateScope scope(element);
        if (!scope.beginEditorUpdate()) {
            return false;
        }
        write();
        return true;
    }

    // Runs refresh as a document update. Nothing is refreshed while an editor update runs: the change
    // then came from a control, which already shows it. True when refresh ran.
    template<typename Element, typename Refresh>
    static bool refresh(Element* element, const Refresh& refresh)
    {
        doc::UpdateScope scope(element);
        if (!scope.beginDocumentUpdate()) {
            return false;
        }
        refresh();
        return true;
    }
};
