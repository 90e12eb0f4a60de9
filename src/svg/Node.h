#pragma once

#include "geo/Length.h"
#include "geo/Path.h"
#include "geo/Point1D.h"
#include "geo/Point2D.h"
#include "geo/Rectangle.h"
#include "geo/Size.h"
#include "geo/Value.h"
#include "geo/Vector.h"
#include "svg/Element.h"

#include <QString>

#include <map>
#include <memory>
#include <vector>

namespace svg {

// One element of an in-memory SVG tree: its kind, its attributes (kept in enumeration order, which is the
// order they are written in), its children and its text. A node owns its children.
class Node
{
public:
    explicit Node(Element element);
    virtual ~Node();

    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;

    static std::shared_ptr<Node> create(Element element);

    static const std::map<Element, QString>& elementNames();
    static const std::map<Attribute, QString>& attributeNames();
    // Both throw std::out_of_range for a value outside the enumeration.
    static const QString& elementName(Element element);
    static const QString& attributeName(Attribute attribute);

    Element element() const noexcept { return m_element; }
    const std::map<Attribute, QString>& attributes() const noexcept { return m_attributes; }
    // The stored value, or an empty text when the attribute is not set.
    QString attribute(Attribute attribute) const;
    const std::vector<std::shared_ptr<Node>>& children() const noexcept { return m_children; }
    const QString& text() const noexcept { return m_text; }

    // Each setter replaces an earlier value of the same attribute.
    void setAttribute(Attribute attribute, const QString& value);
    // 'f' format with six decimals.
    void setAttribute(Attribute attribute, double value);
    // The fixed value in its natural unit, six decimals.
    void setAttribute(Attribute attribute, geo::Point1D value);
    void setAttribute(Attribute attribute, geo::Length value);
    void setAttribute(Attribute attribute, geo::Value value);

    void setId(const QString& id);
    void setClass(const QString& cssClass);
    void setHref(const QString& href);
    void setColor(const QString& color);
    void setFill(const QString& fill);
    void setFillRule(const QString& fillRule);
    void setStroke(const QString& stroke);
    // A text with its unit, such as "1px".
    void setStrokeWidth(const QString& strokeWidth);
    void setTransform(const QString& transform);
    // "translate(x,y)" in millimetres.
    void setTransform(const geo::Point2D& translation);
    void setFillOpacity(double opacity);
    void setOpacity(double opacity);
    void setCenter(const geo::Point2D& center);
    void setRadius(geo::Length radius);
    void setRadius2D(const geo::Size& radii);
    void setPoint1(const geo::Point2D& point);
    void setPoint2(const geo::Point2D& point);
    void setPoint(const geo::Point2D& point);
    void setSize(const geo::Size& size);
    void setPoints(const std::vector<geo::Point2D>& points);
    // Each path as one closed subpath.
    void setPathDefinition(const std::vector<geo::Path>& paths);
    void setText(const QString& text);

    // Each returns the new child, appended as the last child.
    std::shared_ptr<Node> addNode(Element element);
    // A null node is not appended (and is returned as it is).
    std::shared_ptr<Node> addNode(const std::shared_ptr<Node>& node);
    std::shared_ptr<Node> addCircle(const geo::Point2D& center, geo::Length radius);
    std::shared_ptr<Node> addEllipse(const geo::Point2D& center, const geo::Size& radii);
    std::shared_ptr<Node> addLine(const geo::Point2D& start, const geo::Point2D& end);
    std::shared_ptr<Node> addLine(const geo::Vector& vector);
    std::shared_ptr<Node> addPolygon(const geo::Path& path);
    // A path element with even-odd filling, so that inner outlines cut holes.
    std::shared_ptr<Node> addMultiPath(const std::vector<geo::Path>& paths);
    std::shared_ptr<Node> addRect(const geo::Rectangle& rectangle);
    std::shared_ptr<Node> addGroup();
    std::shared_ptr<Node> addText(const geo::Point2D& position, const QString& text, const QString& cssClass);
    std::shared_ptr<Node> addStyle(const QString& css);

    // The element as SVG text, starting at indent blanks; children are indented by step more.
    virtual QString toString(int indent, int step) const;

protected:
    // A fixed value in its natural unit with six decimals, exact for every 64-bit value.
    static QString formatFixed(qint64 value);
    // The start tag's name and attributes, without the closing bracket.
    QString startTag() const;
    QString childrenToString(int indent, int step) const;

private:
    Element m_element;
    std::map<Attribute, QString> m_attributes;
    std::vector<std::shared_ptr<Node>> m_children;
    QString m_text;
};

} // namespace svg
