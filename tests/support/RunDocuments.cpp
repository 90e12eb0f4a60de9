#include "support/RunDocuments.h"

#include "doc/Document.h"
#include "doc/Item.h"
#include "doc/Items.h"
#include "doc/Properties.h"
#include "geo/Precision.h"
#include "geo/Size.h"

namespace motifex::test {

namespace {

constexpr qint64 millimeter = 1000000;

} // namespace

void makeSlowDocument(const std::shared_ptr<doc::Document>& document)
{
    const auto properties = document->properties();
    properties->setCanvasSize(geo::Size(500 * millimeter, 500 * millimeter));
    properties->setPrecision(geo::Precision::fromLevel(1));
    const auto item = document->items()->addItem();
    item->setRadius(geo::Length(millimeter));
    item->setCount(50000);
}

void makeRefusedDocument(const std::shared_ptr<doc::Document>& document)
{
    const auto properties = document->properties();
    properties->setCanvasSize(geo::Size(1000 * millimeter, 1000 * millimeter));
    properties->setPrecision(geo::Precision::fromLevel(2));
}

void makeEmptyDocument(const std::shared_ptr<doc::Document>& document)
{
    for (const auto& item : document->items()->items()) {
        item->setRadius(geo::Length(500 * millimeter));
        item->setRadiusEnd(geo::Length(500 * millimeter));
    }
}

} // namespace motifex::test
