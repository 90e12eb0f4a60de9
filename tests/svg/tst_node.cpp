#include "common/TestMain.h"

#include "geo/Path.h"
#include "geo/Vector.h"
#include "svg/Node.h"

#include <QXmlStreamReader>

#include <stdexcept>

Q_DECLARE_METATYPE(std::vector<geo::Path>)

using svg::Attribute;
using svg::Element;
using svg::Node;

namespace {

geo::Point2D mm(double x, double y)
{
    return geo::Point2D::fromMillimeters(x, y);
}

geo::Path triangle()
{
    return geo::Path({mm(0, 0), mm(1, 0), mm(0, 1)});
}

} // namespace

class TestNode : public QObject
{
    Q_OBJECT

private slots:
    void names();
    void fixedNumberFormat_data();
    void fixedNumberFormat();
    void doubleNumberFormat_data();
    void doubleNumberFormat();
    void circleIsOneLine();
    void attributesWrittenInEnumerationOrder();
    void textLinesKeepEmptyMiddleLine();
    void textNotWrittenWithChildren();
    void addOperations_data();
    void addOperations();
    void pointsAndPathDefinition_data();
    void pointsAndPathDefinition();
    void nullChildIsNotAppended();
    void markupInValuesIsEscaped_data();
    void markupInValuesIsEscaped();
};

void TestNode::names()
{
    QStringList elements;
    for (const auto& [element, name] : Node::elementNames()) {
        QCOMPARE(Node::elementName(element), name);
        elements.append(name);
    }
    QCOMPARE(elements.join(' '), "circle defs ellipse g line path polygon polyline rect style svg text use");
    QStringList attributes;
    for (const auto& [attribute, name] : Node::attributeNames()) {
        attributes.append(QString::number(int(attribute)) + QLatin1Char('=') + name);
    }
    QCOMPARE(attributes.join(' '),
             "0=class 1=color 2=cx 3=cy 4=d 5=fill 6=fill-opacity 7=fill-rule 8=height 9=xlink:href 10=id "
             "11=opacity 12=points 13=r 14=rx 15=ry 16=stroke 17=stroke-dasharray 18=stroke-dashoffset "
             "19=stroke-linecap 20=stroke-linejoin 21=stroke-miterlimit 22=stroke-opacity 23=stroke-width 24=style "
             "25=transform 26=vector-effect 27=width 28=x 29=x1 30=x2 31=y 32=y1 33=y2");
    QCOMPARE(int(Element::Use), 12);
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, Node::elementName(static_cast<Element>(13)));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, Node::attributeName(static_cast<Attribute>(34)));
}

void TestNode::fixedNumberFormat_data()
{
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << qint64(0) << "0.000000";
    QTest::newRow("one millionth") << qint64(1) << "0.000001";
    QTest::newRow("minus one millionth") << qint64(-1) << "-0.000001";
    QTest::newRow("minus half") << qint64(-500000) << "-0.500000";
    QTest::newRow("digits") << qint64(123456789) << "123.456789";
    QTest::newRow("negative digits") << qint64(-123456789) << "-123.456789";
    QTest::newRow("beyond a double's digits") << qint64(9007199254740993) << "9007199254.740993";
    QTest::newRow("largest") << std::numeric_limits<qint64>::max() << "9223372036854.775807";
    QTest::newRow("smallest") << std::numeric_limits<qint64>::min() << "-9223372036854.775808";
}

void TestNode::fixedNumberFormat()
{
    QFETCH(qint64, value);
    QFETCH(QString, text);
    auto node = Node::create(Element::Rect);
    node->setAttribute(Attribute::X, geo::Length(value));
    node->setAttribute(Attribute::Y, geo::Point1D(value));
    node->setAttribute(Attribute::Width, geo::Value(value));
    QCOMPARE(node->attribute(Attribute::X), text);
    QCOMPARE(node->attribute(Attribute::Y), text);
    QCOMPARE(node->attribute(Attribute::Width), text);
}

void TestNode::doubleNumberFormat_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("half") << 0.5 << "0.500000";
    QTest::newRow("third rounds") << 1.0 / 3.0 << "0.333333";
    QTest::newRow("two thirds rounds up") << 2.0 / 3.0 << "0.666667";
    QTest::newRow("negative") << -1.25 << "-1.250000";
    QTest::newRow("large") << 12345678901.5 << "12345678901.500000";
}

void TestNode::doubleNumberFormat()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    auto node = Node::create(Element::Rect);
    node->setAttribute(Attribute::StrokeMiterlimit, value);
    node->setFillOpacity(value);
    node->setOpacity(value);
    QCOMPARE(node->attribute(Attribute::StrokeMiterlimit), text);
    QCOMPARE(node->attribute(Attribute::FillOpacity), text);
    QCOMPARE(node->attribute(Attribute::Opacity), text);
}

void TestNode::circleIsOneLine()
{
    auto group = Node::create(Element::G);
    group->addCircle(mm(1, 2), geo::Length(500000));
    QCOMPARE(group->toString(4, 4), QStringLiteral("    <g>\n"
                                                   "        <circle cx=\"1.000000\" cy=\"2.000000\" r=\"0.500000\" />\n"
                                                   "    </g>\n"));
}

void TestNode::attributesWrittenInEnumerationOrder()
{
    auto node = Node::create(Element::Use);
    node->setId(QStringLiteral("a"));
    node->setFill(QStringLiteral("red"));
    node->setClass(QStringLiteral("c"));
    node->setFill(QStringLiteral("blue"));
    QCOMPARE(node->toString(0, 4), QStringLiteral("<use class=\"c\" fill=\"blue\" id=\"a\" />\n"));
}

void TestNode::textLinesKeepEmptyMiddleLine()
{
    auto node = Node::create(Element::Style);
    node->setText(QStringLiteral("a {}\n\nb {}"));
    QCOMPARE(node->toString(2, 3), QStringLiteral("  <style>\n"
                                                  "     a {}\n"
                                                  "     \n"
                                                  "     b {}\n"
                                                  "  </style>\n"));
}

void TestNode::textNotWrittenWithChildren()
{
    auto node = Node::create(Element::G);
    node->setText(QStringLiteral("hidden"));
    node->addGroup();
    QCOMPARE(node->toString(0, 2), QStringLiteral("<g>\n  <g />\n</g>\n"));
}

void TestNode::addOperations_data()
{
    QTest::addColumn<int>("operation");
    QTest::addColumn<QString>("text");
    QTest::newRow("ellipse") << 0 << "<ellipse cx=\"-1.000000\" cy=\"2.500000\" rx=\"3.000000\" ry=\"0.250000\" />\n";
    QTest::newRow("line from points")
        << 1 << "<line x1=\"1.000000\" x2=\"3.000000\" y1=\"2.000000\" y2=\"-4.000000\" />\n";
    QTest::newRow("line from vector")
        << 2 << "<line x1=\"1.000000\" x2=\"3.000000\" y1=\"2.000000\" y2=\"-4.000000\" />\n";
    QTest::newRow("polygon") << 3 << "<polygon points=\"0.000000,0.000000 1.000000,0.000000 0.000000,1.000000\" />\n";
    QTest::newRow("multi path")
        << 4
        << "<path d=\"M0.000000,0.000000 1.000000,0.000000 0.000000,1.000000 Z\" fill-rule=\"evenodd\" />\n";
    QTest::newRow("rect") << 5 << "<rect height=\"4.000000\" width=\"3.000000\" x=\"1.000000\" y=\"2.000000\" />\n";
    QTest::newRow("group") << 6 << "<g />\n";
    QTest::newRow("text") << 7 << "<text class=\"label\" x=\"1.000000\" y=\"2.000000\">\n  Hello\n</text>\n";
    QTest::newRow("style") << 8 << "<style>\n  .a { fill: red; }\n</style>\n";
    QTest::newRow("translation") << 9 << "<use transform=\"translate(1.500000,-2.000000)\" />\n";
    QTest::newRow("empty node") << 10 << "<polyline />\n";
}

void TestNode::addOperations()
{
    QFETCH(int, operation);
    QFETCH(QString, text);
    auto parent = Node::create(Element::G);
    std::shared_ptr<Node> child;
    switch (operation) {
    case 0: child = parent->addEllipse(mm(-1, 2.5), geo::Size::fromMillimeters(3, 0.25)); break;
    case 1: child = parent->addLine(mm(1, 2), mm(3, -4)); break;
    case 2: child = parent->addLine(geo::Vector(mm(1, 2), mm(3, -4))); break;
    case 3: child = parent->addPolygon(triangle()); break;
    case 4: child = parent->addMultiPath({triangle()}); break;
    case 5: child = parent->addRect(geo::Rectangle(mm(1, 2), geo::Size::fromMillimeters(3, 4))); break;
    case 6: child = parent->addGroup(); break;
    case 7: child = parent->addText(mm(1, 2), QStringLiteral("Hello"), QStringLiteral("label")); break;
    case 8: child = parent->addStyle(QStringLiteral(".a { fill: red; }")); break;
    case 9:
        child = parent->addNode(Element::Use);
        child->setTransform(mm(1.5, -2));
        break;
    case 10: child = parent->addNode(Element::Polyline); break;
    }
    QVERIFY(child);
    QCOMPARE(parent->children().size(), std::size_t(1));
    QCOMPARE(parent->children().front(), child);
    QCOMPARE(child->toString(0, 2), text);
}

void TestNode::pointsAndPathDefinition_data()
{
    QTest::addColumn<std::vector<geo::Path>>("paths");
    QTest::addColumn<QString>("points");
    QTest::addColumn<QString>("definition");
    QTest::newRow("none") << std::vector<geo::Path>{} << "" << "";
    QTest::newRow("one point") << std::vector<geo::Path>{geo::Path({mm(-0.5, 7)})} << "-0.500000,7.000000"
                               << "M-0.500000,7.000000 Z";
    QTest::newRow("triangle") << std::vector<geo::Path>{triangle()}
                              << "0.000000,0.000000 1.000000,0.000000 0.000000,1.000000"
                              << "M0.000000,0.000000 1.000000,0.000000 0.000000,1.000000 Z";
    QTest::newRow("two outlines") << std::vector<geo::Path>{triangle(), geo::Path({mm(2, 2), mm(3, 3)})}
                                  << "0.000000,0.000000 1.000000,0.000000 0.000000,1.000000"
                                  << "M0.000000,0.000000 1.000000,0.000000 0.000000,1.000000 Z "
                                     "M2.000000,2.000000 3.000000,3.000000 Z";
    // An empty outline would write "MZ", a syntax error that hides every outline after it.
    QTest::newRow("empty outline skipped") << std::vector<geo::Path>{geo::Path(), geo::Path({mm(2, 2), mm(3, 3)})}
                                           << "" << "M2.000000,2.000000 3.000000,3.000000 Z";
}

void TestNode::pointsAndPathDefinition()
{
    QFETCH(std::vector<geo::Path>, paths);
    QFETCH(QString, points);
    QFETCH(QString, definition);
    auto node = Node::create(Element::Path);
    node->setPoints(paths.empty() ? std::vector<geo::Point2D>{} : paths.front().points());
    node->setPathDefinition(paths);
    QCOMPARE(node->attribute(Attribute::Points), points);
    QCOMPARE(node->attribute(Attribute::D), definition);
}

void TestNode::nullChildIsNotAppended()
{
    auto node = Node::create(Element::G);
    QCOMPARE(node->addNode(std::shared_ptr<Node>()), std::shared_ptr<Node>());
    QVERIFY(node->children().empty());
    QCOMPARE(node->toString(0, 4), QStringLiteral("<g />\n"));
}

void TestNode::markupInValuesIsEscaped_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("escaped");
    QTest::newRow("plain") << "#ff8000" << "#ff8000";
    QTest::newRow("quote ends attribute") << "red\" onload=\"alert(1)" << "red&quot; onload=&quot;alert(1)";
    QTest::newRow("element") << "</g><script>x</script>" << "&lt;/g&gt;&lt;script&gt;x&lt;/script&gt;";
    QTest::newRow("ampersand") << "a&amp;b" << "a&amp;amp;b";
}

void TestNode::markupInValuesIsEscaped()
{
    QFETCH(QString, value);
    QFETCH(QString, escaped);
    auto group = Node::create(Element::G);
    auto text = group->addNode(Element::Text);
    text->setFill(value);
    text->setText(value + QLatin1Char('\n') + value);
    const QString written = group->toString(0, 1);
    QCOMPARE(written, QStringLiteral("<g>\n <text fill=\"%1\">\n  %1\n  %1\n </text>\n</g>\n").arg(escaped));

    // A parser reads back exactly the values that were set, and finds no other element.
    QXmlStreamReader reader(written);
    QStringList elements;
    QString readFill;
    QString readText;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            elements.append(reader.name().toString());
            if (reader.name() == QLatin1String("text")) {
                readFill = reader.attributes().value(QLatin1String("fill")).toString();
                readText = reader.readElementText();
            }
        }
    }
    QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
    QCOMPARE(elements, QStringList({QStringLiteral("g"), QStringLiteral("text")}));
    QCOMPARE(readFill, value);
    QCOMPARE(readText, QStringLiteral("\n  %1\n  %1\n ").arg(value));
}

MOTIFEX_TEST_MAIN(TestNode)
#include "tst_node.moc"
