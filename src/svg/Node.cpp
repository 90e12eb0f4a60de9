#include "svg/Node.h"

#include <QStringList>

#include <cstdlib>

namespace svg {

namespace {

// Formed from the integer, so that values beyond the 53 bits of a double keep every digit.
QString fixedToText(qint64 value)
{
    const bool isNegative = value < 0;
    // Unsigned, because the magnitude of the smallest 64-bit value has no signed form.
    const quint64 magnitude = isNegative ? 0 - static_cast<quint64>(value) : static_cast<quint64>(value);
    const quint64 unit = static_cast<quint64>(geo::fixedUnit);
    QString text = isNegative ? QStringLiteral("-") : QString();
    text += QString::number(magnitude / unit);
    text += QLatin1Char('.');
    text += QStringLiteral("%1").arg(magnitude % unit, 6, 10, QLatin1Char('0'));
    return text;
}

QString pointToText(const geo::Point2D& point)
{
    return fixedToText(point.x()) + QLatin1Char(',') + fixedToText(point.y());
}

// Values and text can come from files (a fill colour, an identifier); escaping keeps them from adding
// markup to the document.
QString escaped(const QString& text)
{
    return text.toHtmlEscaped();
}

QString blanks(int count)
{
    return QString(qMax(count, 0), QLatin1Char(' '));
}

} // namespace

QString Node::formatFixed(qint64 value)
{
    return fixedToText(value);
}

Node::Node(Element element) : m_element(element) {}

Node::~Node() = default;

std::shared_ptr<Node> Node::create(Element element)
{
    return std::make_shared<Node>(element);
}

const std::map<Element, QString>& Node::elementNames()
{
    static const std::map<Element, QString> names{
        {Element::Circle, QStringLiteral("circle")},   {Element::Defs, QStringLiteral("defs")},
        {Element::Ellipse, QStringLiteral("ellipse")}, {Element::G, QStringLiteral("g")},
        {Element::Line, QStringLiteral("line")},       {Element::Path, QStringLiteral("path")},
        {Element::Polygon, QStringLiteral("polygon")}, {Element::Polyline, QStringLiteral("polyline")},
        {Element::Rect, QStringLiteral("rect")},       {Element::Style, QStringLiteral("style")},
        {Element::Svg, QStringLiteral("svg")},         {Element::Text, QStringLiteral("text")},
        {Element::Use, QStringLiteral("use")},
    };
    return names;
}

const std::map<Attribute, QString>& Node::attributeNames()
{
    static const std::map<Attribute, QString> names{
        {Attribute::Class, QStringLiteral("class")},
        {Attribute::Color, QStringLiteral("color")},
        {Attribute::Cx, QStringLiteral("cx")},
        {Attribute::Cy, QStringLiteral("cy")},
        {Attribute::D, QStringLiteral("d")},
        {Attribute::Fill, QStringLiteral("fill")},
        {Attribute::FillOpacity, QStringLiteral("fill-opacity")},
        {Attribute::FillRule, QStringLiteral("fill-rule")},
        {Attribute::Height, QStringLiteral("height")},
        {Attribute::XLinkHref, QStringLiteral("xlink:href")},
        {Attribute::Id, QStringLiteral("id")},
        {Attribute::Opacity, QStringLiteral("opacity")},
        {Attribute::Points, QStringLiteral("points")},
        {Attribute::R, QStringLiteral("r")},
        {Attribute::Rx, QStringLiteral("rx")},
        {Attribute::Ry, QStringLiteral("ry")},
        {Attribute::Stroke, QStringLiteral("stroke")},
        {Attribute::StrokeDasharray, QStringLiteral("stroke-dasharray")},
        {Attribute::StrokeDashoffset, QStringLiteral("stroke-dashoffset")},
        {Attribute::StrokeLinecap, QStringLiteral("stroke-linecap")},
        {Attribute::StrokeLinejoin, QStringLiteral("stroke-linejoin")},
        {Attribute::StrokeMiterlimit, QStringLiteral("stroke-miterlimit")},
        {Attribute::StrokeOpacity, QStringLiteral("stroke-opacity")},
        {Attribute::StrokeWidth, QStringLiteral("stroke-width")},
        {Attribute::Style, QStringLiteral("style")},
        {Attribute::Transform, QStringLiteral("transform")},
        {Attribute::VectorEffect, QStringLiteral("vector-effect")},
        {Attribute::Width, QStringLiteral("width")},
        {Attribute::X, QStringLiteral("x")},
        {Attribute::X1, QStringLiteral("x1")},
        {Attribute::X2, QStringLiteral("x2")},
        {Attribute::Y, QStringLiteral("y")},
        {Attribute::Y1, QStringLiteral("y1")},
        {Attribute::Y2, QStringLiteral("y2")},
    };
    return names;
}

const QString& Node::elementName(Element element)
{
    return elementNames().at(element);
}

const QString& Node::attributeName(Attribute attribute)
{
    return attributeNames().at(attribute);
}

QString Node::attribute(Attribute attribute) const
{
    const auto found = m_attributes.find(attribute);
    return found == m_attributes.end() ? QString() : found->second;
}

void Node::setAttribute(Attribute attribute, const QString& value)
{
    m_attributes[attribute] = value;
}

void Node::setAttribute(Attribute attribute, double value)
{
    setAttribute(attribute, QString::number(value, 'f', 6));
}

void Node::setAttribute(Attribute attribute, geo::Point1D value)
{
    setAttribute(attribute, fixedToText(value.value()));
}

void Node::setAttribute(Attribute attribute, geo::Length value)
{
    setAttribute(attribute, fixedToText(value.value()));
}

void Node::setAttribute(Attribute attribute, geo::Value value)
{
    setAttribute(attribute, fixedToText(value.value()));
}

void Node::setId(const QString& id)
{
    setAttribute(Attribute::Id, id);
}

void Node::setClass(const QString& cssClass)
{
    setAttribute(Attribute::Class, cssClass);
}

void Node::setHref(const QString& href)
{
    setAttribute(Attribute::XLinkHref, href);
}

void Node::setColor(const QString& color)
{
    setAttribute(Attribute::Color, color);
}

void Node::setFill(const QString& fill)
{
    setAttribute(Attribute::Fill, fill);
}

void Node::setFillRule(const QString& fillRule)
{
    setAttribute(Attribute::FillRule, fillRule);
}

void Node::setStroke(const QString& stroke)
{
    setAttribute(Attribute::Stroke, stroke);
}

void Node::setStrokeWidth(const QString& strokeWidth)
{
    setAttribute(Attribute::StrokeWidth, strokeWidth);
}

void Node::setTransform(const QString& transform)
{
    setAttribute(Attribute::Transform, transform);
}

void Node::setTransform(const geo::Point2D& translation)
{
    setTransform(QStringLiteral("translate(%1)").arg(pointToText(translation)));
}

void Node::setFillOpacity(double opacity)
{
    setAttribute(Attribute::FillOpacity, opacity);
}

void Node::setOpacity(double opacity)
{
    setAttribute(Attribute::Opacity, opacity);
}

void Node::setCenter(const geo::Point2D& center)
{
    setAttribute(Attribute::Cx, center.x1D());
    setAttribute(Attribute::Cy, center.y1D());
}

void Node::setRadius(geo::Length radius)
{
    setAttribute(Attribute::R, radius);
}

void Node::setRadius2D(const geo::Size& radii)
{
    setAttribute(Attribute::Rx, geo::Length(radii.width()));
    setAttribute(Attribute::Ry, geo::Length(radii.height()));
}

void Node::setPoint1(const geo::Point2D& point)
{
    setAttribute(Attribute::X1, point.x1D());
    setAttribute(Attribute::Y1, point.y1D());
}

void Node::setPoint2(const geo::Point2D& point)
{
    setAttribute(Attribute::X2, point.x1D());
    setAttribute(Attribute::Y2, point.y1D());
}

void Node::setPoint(const geo::Point2D& point)
{
    setAttribute(Attribute::X, point.x1D());
    setAttribute(Attribute::Y, point.y1D());
}

void Node::setSize(const geo::Size& size)
{
    setAttribute(Attribute::Width, geo::Length(size.width()));
    setAttribute(Attribute::Height, geo::Length(size.height()));
}

void Node::setPoints(const std::vector<geo::Point2D>& points)
{
    QString text;
    for (const geo::Point2D& point : points) {
        text += pointToText(point) + QLatin1Char(' ');
    }
    setAttribute(Attribute::Points, text.trimmed());
}

void Node::setPathDefinition(const std::vector<geo::Path>& paths)
{
    QString text;
    for (const geo::Path& path : paths) {
        // "MZ" is a syntax error that ends the whole path data, hiding every later outline.
        if (path.isEmpty()) {
            continue;
        }
        text += QLatin1Char('M');
        for (const geo::Point2D& point : path.points()) {
            text += pointToText(point) + QLatin1Char(' ');
        }
        text += QStringLiteral("Z ");
    }
    setAttribute(Attribute::D, text.trimmed());
}

void Node::setText(const QString& text)
{
    m_text = text;
}

std::shared_ptr<Node> Node::addNode(Element element)
{
    return addNode(create(element));
}

std::shared_ptr<Node> Node::addNode(const std::shared_ptr<Node>& node)
{
    if (node) {
        m_children.push_back(node);
    }
    return node;
}

std::shared_ptr<Node> Node::addCircle(const geo::Point2D& center, geo::Length radius)
{
    auto node = addNode(Element::Circle);
    node->setCenter(center);
    node->setRadius(radius);
    return node;
}

std::shared_ptr<Node> Node::addEllipse(const geo::Point2D& center, const geo::Size& radii)
{
    auto node = addNode(Element::Ellipse);
    node->setCenter(center);
    node->setRadius2D(radii);
    return node;
}

std::shared_ptr<Node> Node::addLine(const geo::Point2D& start, const geo::Point2D& end)
{
    auto node = addNode(Element::Line);
    node->setPoint1(start);
    node->setPoint2(end);
    return node;
}

std::shared_ptr<Node> Node::addLine(const geo::Vector& vector)
{
    return addLine(vector.start(), vector.end());
}

std::shared_ptr<Node> Node::addPolygon(const geo::Path& path)
{
    auto node = addNode(Element::Polygon);
    node->setPoints(path.points());
    return node;
}

std::shared_ptr<Node> Node::addMultiPath(const std::vector<geo::Path>& paths)
{
    auto node = addNode(Element::Path);
    node->setPathDefinition(paths);
    node->setFillRule(QStringLiteral("evenodd"));
    return node;
}

std::shared_ptr<Node> Node::addRect(const geo::Rectangle& rectangle)
{
    auto node = addNode(Element::Rect);
    node->setPoint(rectangle.origin());
    node->setSize(rectangle.size());
    return node;
}

std::shared_ptr<Node> Node::addGroup()
{
    return addNode(Element::G);
}

std::shared_ptr<Node> Node::addText(const geo::Point2D& position, const QString& text, const QString& cssClass)
{
    auto node = addNode(Element::Text);
    node->setPoint(position);
    node->setClass(cssClass);
    node->setText(text);
    return node;
}

std::shared_ptr<Node> Node::addStyle(const QString& css)
{
    auto node = addNode(Element::Style);
    node->setText(css);
    return node;
}

QString Node::startTag() const
{
    QString text = QLatin1Char('<') + elementName(m_element);
    for (const auto& [attribute, value] : m_attributes) {
        text += QLatin1Char(' ') + attributeName(attribute) + QStringLiteral("=\"") + escaped(value) + QLatin1Char('"');
    }
    return text;
}

QString Node::childrenToString(int indent, int step) const
{
    QString text;
    for (const auto& child : m_children) {
        text += child->toString(indent, step);
    }
    return text;
}

QString Node::toString(int indent, int step) const
{
    const QString indentation = blanks(indent);
    QString text = indentation + startTag();
    if (m_children.empty() && m_text.isEmpty()) {
        return text + QStringLiteral(" />\n");
    }
    text += QStringLiteral(">\n");
    if (!m_children.empty()) {
        text += childrenToString(indent + step, step);
    } else {
        const QString textIndentation = blanks(indent + step);
        for (const QString& line : m_text.split(QLatin1Char('\n'))) {
            text += textIndentation + escaped(line) + QLatin1Char('\n');
        }
    }
    return text + indentation + QStringLiteral("</") + elementName(m_element) + QStringLiteral(">\n");
}

} // namespace svg
