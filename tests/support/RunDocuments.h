#pragma once

#include <memory>

namespace doc {
class Document;
}

namespace motifex::test {

// Documents whose generation runs end in a known way, written into an existing (edited) document.

// A run of several seconds (most of it placing thousands of small copies on a 500 × 500 mm canvas), long
// enough to be caught while it works.
void makeSlowDocument(const std::shared_ptr<doc::Document>& document);
// A canvas of 1000 × 1000 mm at a precision of 0.01 mm: the generator refuses the grid as too large.
void makeRefusedDocument(const std::shared_ptr<doc::Document>& document);
// Every item larger than the canvas: the run places nothing.
void makeEmptyDocument(const std::shared_ptr<doc::Document>& document);

} // namespace motifex::test
