#pragma once

#include "geo/Rectangle.h"
#include "geo/Size.h"
#include "svg/Node.h"

#include <QString>

#include <memory>

namespace svg {

// The root svg element with the document's size, unit and view box; its first child is the defs element.
class Document : public Node
{
public:
    Document();

    static std::shared_ptr<Document> create();

    const geo::Size& size() const noexcept { return m_size; }
    const geo::Rectangle& viewPort() const noexcept { return m_viewPort; }
    const QString& unit() const noexcept { return m_unit; }
    // The defs element, to which callers add definitions.
    const std::shared_ptr<Node>& defs() const noexcept { return m_defs; }

    // Also sets the view port to (0, 0, size) while it is still empty.
    void setSize(const geo::Size& size, const QString& unit);
    void setViewPort(const geo::Rectangle& viewPort);

    // The whole document, with the XML declaration.
    QString toString() const;
    QString toString(int indent, int step) const override;
    // Writes the document as UTF-8, replacing the file only when everything was written; false on any failure.
    bool save(const QString& path) const;

private:
    geo::Size m_size;
    geo::Rectangle m_viewPort;
    QString m_unit;
    std::shared_ptr<Node> m_defs;
};

} // namespace svg
