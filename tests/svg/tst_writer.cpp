#include "common/TestMain.h"

#include "geo/Path.h"
#include "geo/Vector.h"
#include "svg/Document.h"
#include "svg/Node.h"

#include <QXmlStreamReader>

#include <csignal>
#include <functional>
#include <stdexcept>
#include <sys/resource.h>

using svg::Attribute;
using svg::Element;
using svg::Node;
using AddOperation = std::function<std::shared_ptr<Node>(Node&)>;
Q_DECLARE_METATYPE(AddOperation)
Q_DECLARE_METATYPE(std::vector<geo::Path>)

namespace {

const QString header = QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n<svg version=\"1.2\" ");
const QString namespaces =
    QStringLiteral(" xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\">\n");

geo::Point2D mm(double x, double y)
{
    return geo::Point2D::fromMillimeters(x, y);
}

const geo::Path triangle({mm(0, 0), mm(1, 0), mm(0, 1)});

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestWriter : public QObject
{
    Q_OBJECT

private slots:
    void names()
    {
        QStringList elements;
        for (const auto& [element, name] : Node::elementNames()) {
            elements.append(QString::number(int(element)) + QLatin1Char('=') + Node::elementName(element));
        }
        QCOMPARE(elements.join(' '), "0=circle 1=defs 2=ellipse 3=g 4=line 5=path 6=polygon 7=polyline 8=rect "
                                     "9=style 10=svg 11=text 12=use");
        QStringList attributes;
        for (const auto& [attribute, name] : Node::attributeNames()) {
            attributes.append(QString::number(int(attribute)) + QLatin1Char('=') + Node::attributeName(attribute));
        }
        QCOMPARE(attributes.join(' '),
                 "0=class 1=color 2=cx 3=cy 4=d 5=fill 6=fill-opacity 7=fill-rule 8=height 9=xlink:href 10=id "
                 "11=opacity 12=points 13=r 14=rx 15=ry 16=stroke 17=stroke-dasharray 18=stroke-dashoffset "
                 "19=stroke-linecap 20=stroke-linejoin 21=stroke-miterlimit 22=stroke-opacity 23=stroke-width "
                 "24=style 25=transform 26=vector-effect 27=width 28=x 29=x1 30=x2 31=y 32=y1 33=y2");
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, Node::elementName(static_cast<Element>(13)));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, Node::attributeName(static_cast<Attribute>(34)));
    }

    void numberFormat_data()
    {
        QTest::addColumn<qint64>("fixed");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << qint64(0) << "0.000000";
        QTest::newRow("minus one millionth") << qint64(-1) << "-0.000001";
        QTest::newRow("digits") << qint64(-123456789) << "-123.456789";
        QTest::newRow("beyond a double's digits") << qint64(9007199254740993) << "9007199254.740993";
        QTest::newRow("largest") << std::numeric_limits<qint64>::max() << "9223372036854.775807";
        QTest::newRow("smallest") << std::numeric_limits<qint64>::min() << "-9223372036854.775808";
    }

    void numberFormat()
    {
        QFETCH(qint64, fixed);
        QFETCH(QString, text);
        auto node = Node::create(Element::Rect);
        node->setAttribute(Attribute::X, geo::Length(fixed));
        node->setAttribute(Attribute::Y, geo::Point1D(fixed));
        node->setAttribute(Attribute::Width, geo::Value(fixed));
        node->setOpacity(2.0 / 3.0);
        QCOMPARE(node->toString(0, 4), QStringLiteral("<rect opacity=\"0.666667\" width=\"%1\" x=\"%1\" y=\"%1\" />\n").arg(text));
    }

    void attributesWrittenInEnumerationOrder()
    {
        auto node = Node::create(Element::Use);
        node->setId(QStringLiteral("a"));
        node->setFill(QStringLiteral("red"));
        node->setClass(QStringLiteral("c"));
        node->setFill(QStringLiteral("blue"));
        QCOMPARE(node->toString(0, 4), QStringLiteral("<use class=\"c\" fill=\"blue\" id=\"a\" />\n"));
    }

    void textLines()
    {
        auto node = Node::create(Element::Style);
        node->setText(QStringLiteral("a {}\n\nb {}"));
        QCOMPARE(node->toString(2, 3), QStringLiteral("  <style>\n     a {}\n     \n     b {}\n  </style>\n"));
        // With children the text is not written.
        node->addGroup();
        QCOMPARE(node->toString(0, 2), QStringLiteral("<style>\n  <g />\n</style>\n"));
    }

    void addOperations_data()
    {
        QTest::addColumn<AddOperation>("add");
        QTest::addColumn<QString>("text");
        QTest::newRow("ellipse") << AddOperation([](Node& n) { return n.addEllipse(mm(-1, 2.5), geo::Size::fromMillimeters(3, 0.25)); })
                                 << "<ellipse cx=\"-1.000000\" cy=\"2.500000\" rx=\"3.000000\" ry=\"0.250000\" />\n";
        QTest::newRow("line") << AddOperation([](Node& n) { return n.addLine(mm(1, 2), mm(3, -4)); })
                              << "<line x1=\"1.000000\" x2=\"3.000000\" y1=\"2.000000\" y2=\"-4.000000\" />\n";
        QTest::newRow("line from vector") << AddOperation([](Node& n) { return n.addLine(geo::Vector(mm(1, 2), mm(3, -4))); })
                                          << "<line x1=\"1.000000\" x2=\"3.000000\" y1=\"2.000000\" y2=\"-4.000000\" />\n";
        QTest::newRow("polygon") << AddOperation([](Node& n) { return n.addPolygon(triangle); })
                                 << "<polygon points=\"0.000000,0.000000 1.000000,0.000000 0.000000,1.000000\" />\n";
        QTest::newRow("multi path") << AddOperation([](Node& n) { return n.addMultiPath({triangle}); })
                                    << "<path d=\"M0.000000,0.000000 1.000000,0.000000 0.000000,1.000000 Z\" fill-rule=\"evenodd\" />\n";
        QTest::newRow("rect") << AddOperation([](Node& n) { return n.addRect(geo::Rectangle(mm(1, 2), geo::Size::fromMillimeters(3, 4))); })
                              << "<rect height=\"4.000000\" width=\"3.000000\" x=\"1.000000\" y=\"2.000000\" />\n";
        QTest::newRow("text") << AddOperation([](Node& n) { return n.addText(mm(1, 2), "Hello", "label"); })
                              << "<text class=\"label\" x=\"1.000000\" y=\"2.000000\">\n  Hello\n</text>\n";
        QTest::newRow("style") << AddOperation([](Node& n) { return n.addStyle(".a { fill: red; }"); })
                               << "<style>\n  .a { fill: red; }\n</style>\n";
        QTest::newRow("translation") << AddOperation([](Node& n) {
            auto use = n.addNode(Element::Use);
            use->setTransform(mm(1.5, -2));
            return use;
        }) << "<use transform=\"translate(1.500000,-2.000000)\" />\n";
    }

    void addOperations()
    {
        QFETCH(AddOperation, add);
        QFETCH(QString, text);
        auto parent = Node::create(Element::G);
        const auto child = add(*parent);
        QCOMPARE(parent->children(), std::vector<std::shared_ptr<Node>>{child});
        QCOMPARE(child->toString(0, 2), text);
    }

    void pathDefinition_data()
    {
        QTest::addColumn<std::vector<geo::Path>>("paths");
        QTest::addColumn<QString>("definition");
        QTest::newRow("none") << std::vector<geo::Path>{} << "";
        QTest::newRow("two outlines") << std::vector<geo::Path>{triangle, geo::Path({mm(2, 2), mm(3, 3)})}
                                      << "M0.000000,0.000000 1.000000,0.000000 0.000000,1.000000 Z M2.000000,2.000000 3.000000,3.000000 Z";
        // "MZ" would be a syntax error that hides every outline after it.
        QTest::newRow("empty outline skipped") << std::vector<geo::Path>{geo::Path(), geo::Path({mm(2, 2)})} << "M2.000000,2.000000 Z";
    }

    void pathDefinition()
    {
        QFETCH(std::vector<geo::Path>, paths);
        QFETCH(QString, definition);
        auto node = Node::create(Element::Path);
        node->setPathDefinition(paths);
        QCOMPARE(node->attribute(Attribute::D), definition);
    }

    void markupInValuesIsEscaped()
    {
        const QString value = QStringLiteral("a&b\"/></g><script>x</script>");
        auto group = Node::create(Element::G);
        auto text = group->addNode(Element::Text);
        text->setFill(value);
        text->setText(value);
        const QString written = group->toString(0, 1);
        QCOMPARE(written, QStringLiteral("<g>\n <text fill=\"%1\">\n  %1\n </text>\n</g>\n")
                              .arg("a&amp;b&quot;/&gt;&lt;/g&gt;&lt;script&gt;x&lt;/script&gt;"));
        // A parser reads back exactly the value that was set, and finds no other element.
        QXmlStreamReader reader(written);
        QStringList elements;
        while (!reader.atEnd()) {
            if (reader.readNext() == QXmlStreamReader::StartElement) {
                elements.append(reader.name().toString());
                if (reader.name() == QLatin1String("text")) {
                    QCOMPARE(reader.attributes().value(QLatin1String("fill")).toString(), value);
                    QCOMPARE(reader.readElementText().trimmed(), value);
                }
            }
        }
        QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
        QCOMPARE(elements, QStringList({"g", "text"}));
    }

    void documentText()
    {
        auto document = svg::Document::create();
        QCOMPARE(document->children(), std::vector<std::shared_ptr<Node>>{document->defs()});
        QCOMPARE(document->defs()->element(), Element::Defs);
        document->setId(QStringLiteral("never written"));
        document->setSize(geo::Size::fromMillimeters(78, 52), QStringLiteral("mm"));
        document->defs()->addNode(Element::Path)->setId(QStringLiteral("s1"));
        document->addGroup()->addCircle(mm(1, 2), geo::Length(500000));
        QCOMPARE(document->toString(),
                 header + "width=\"78.000000mm\" height=\"52.000000mm\" viewBox=\"0.000000 0.000000 78.000000 52.000000\""
                     + namespaces
                     + "    <defs>\n"
                       "        <path id=\"s1\" />\n"
                       "    </defs>\n"
                       "    <g>\n"
                       "        <circle cx=\"1.000000\" cy=\"2.000000\" r=\"0.500000\" />\n"
                       "    </g>\n"
                       "</svg>\n");
    }

    void viewPortFollowsFirstSize()
    {
        auto document = svg::Document::create();
        document->setSize(geo::Size(5000000, 7000000), QStringLiteral("px"));
        document->setSize(geo::Size(9000000, 9000000), QStringLiteral("px"));
        QVERIFY(document->toString().contains("width=\"9.000000px\" height=\"9.000000px\" viewBox=\"0.000000 0.000000 5.000000 7.000000\""));
        auto other = svg::Document::create();
        other->setViewPort(geo::Rectangle(mm(-1, 2.5), geo::Size(10000000, 20000000)));
        other->setSize(geo::Size(5000000, 7000000), QStringLiteral("px"));
        QVERIFY(other->toString().contains("viewBox=\"-1.000000 2.500000 10.000000 20.000000\""));
    }

    void save()
    {
        QTemporaryDir folder;
        auto document = svg::Document::create();
        document->addText(geo::Point2D(), QStringLiteral("Grüße"), QStringLiteral("t"));
        const QString path = folder.filePath(QStringLiteral("out.svg"));
        QVERIFY(document->save(path));
        QCOMPARE(readFile(path), document->toString().toUtf8());
        QVERIFY(!document->save(folder.filePath(QStringLiteral("missing/out.svg"))));
        QVERIFY(!document->save(folder.path()));

        // A write that fails half-way (the file size limit holds even for root) is reported and leaves
        // the old file as it was.
        for (int index = 0; index < 100; ++index) {
            document->addCircle(geo::Point2D(index, index), geo::Length(1000000));
        }
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit previous{};
        getrlimit(RLIMIT_FSIZE, &previous);
        rlimit limited = previous;
        limited.rlim_cur = 4096;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
        const bool isSaved = document->save(path);
        setrlimit(RLIMIT_FSIZE, &previous);
        QVERIFY(!isSaved);
        QVERIFY(readFile(path).contains("Grüße"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("out.svg")});
    }
};

MOTIFEX_TEST_MAIN(TestWriter)
#include "tst_writer.moc"
