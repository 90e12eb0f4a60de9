#include "svg/Document.h"

#include "io/AtomicFile.h"


namespace svg {

Document::Document() : Node(Element::Svg)
{
    m_defs = addNode(Element::Defs);
}

std::shared_ptr<Document> Document::create()
{
    return std::make_shared<Document>();
}

void Document::setSize(const geo::Size& size, const QString& unit)
{
    m_size = size;
    m_unit = unit;
    if (m_viewPort.width() == 0 && m_viewPort.height() == 0) {
        m_viewPort = geo::Rectangle(geo::Point2D(), size);
    }
}

void Document::setViewPort(const geo::Rectangle& viewPort)
{
    m_viewPort = viewPort;
}

QString Document::toString() const
{
    return toString(0, 4);
}

QString Document::toString(int indent, int step) const
{
    const QString indentation(qMax(indent, 0), QLatin1Char(' '));
    const QString unit = m_unit.toHtmlEscaped();
    QString text = QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n");
    text += indentation + QStringLiteral("<svg version=\"1.2\" width=\"%1%2\" height=\"%3%2\"")
                              .arg(formatFixed(m_size.width()), unit, formatFixed(m_size.height()));
    text += QStringLiteral(" viewBox=\"%1 %2 %3 %4\"")
                .arg(formatFixed(m_viewPort.x()), formatFixed(m_viewPort.y()), formatFixed(m_viewPort.width()),
                     formatFixed(m_viewPort.height()));
    text += QStringLiteral(" xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\">\n");
    text += childrenToString(indent + step, step);
    return text + indentation + QStringLiteral("</svg>\n");
}

bool Document::save(const QString& path) const
{
    return io::writeFileAtomically(path, toString().toUtf8());
}

} // namespace svg
