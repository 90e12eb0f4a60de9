#pragma once

namespace doc {

// The result of comparing two documents or parts of them.
enum class CompareResult : int {
    Equal = 0,
    Changed = 1,            // the shown canvas can be brought up to date by restyling it
    RequiresRegenerate = 2, // only a new generation run brings the canvas up to date
};

} // namespace doc
