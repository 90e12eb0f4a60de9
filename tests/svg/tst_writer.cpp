#include "common/TestMain.h"

#include "geo/Path.h"
#include "svg/Document.h"
#include "svg/Node.h"

#include <csignal>
#include <stdexcept>
#include <sys/resource.h>

using svg::Attribute;
using svg::Element;
using svg::Node;

namespace {

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
        const auto listed = [](const auto& names, const auto& lookUp) {
            QStringList list;
            for (const auto& entry : names) {
                list.append(QString::number(int(entry.first)) + QLatin1Char('=') + lookUp(entry.first));
            }
            return list.join(' ');
        };
        QCOMPARE(listed(Node::elementNames(), Node::elementName),
                 "0=circle 1=defs 2=ellipse 3=g 4=line 5=path 6=polygon 7=polyline 8=rect 9=style 10=svg 11=text 12=use");
        QCOMPARE(listed(Node::attributeNames(), Node::attributeName),
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
        QTest::newRow("minus one millionth") << qint64(-1) << "-0.000001";
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

    void attributesAndText()
    {
        auto node = Node::create(Element::Text);
        node->setId(QStringLiteral("a"));
        node->setFill(QStringLiteral("red"));
        node->setClass(QStringLiteral("c"));
        node->setFill(QStringLiteral("blue"));
        node->setText(QStringLiteral("a {}\n\nb {}"));
        QCOMPARE(node->toString(2, 3),
                 QStringLiteral("  <text class=\"c\" fill=\"blue\" id=\"a\">\n     a {}\n     \n     b {}\n  </text>\n"));
        // With children the text is not written.
        node->addGroup();
        QCOMPARE(node->toString(0, 2), QStringLiteral("<text class=\"c\" fill=\"blue\" id=\"a\">\n  <g />\n</text>\n"));

        // Values and text from files cannot add markup.
        const QString markup = QStringLiteral("a&b\"/></g><script>x</script>");
        auto text = Node::create(Element::Text);
        text->setFill(markup);
        text->setText(markup);
        QCOMPARE(text->toString(0, 1), QStringLiteral("<text fill=\"%1\">\n %1\n</text>\n")
                                           .arg("a&amp;b&quot;/&gt;&lt;/g&gt;&lt;script&gt;x&lt;/script&gt;"));
    }

    void addOperations()
    {
        auto group = Node::create(Element::G);
        group->addEllipse(mm(-1, 2.5), geo::Size::fromMillimeters(3, 0.25));
        group->addLine(mm(1, 2), mm(3, -4));
        group->addPolygon(triangle);
        // An empty outline would write "MZ", a syntax error that hides every outline after it.
        group->addMultiPath({triangle, geo::Path(), geo::Path({mm(2, 2)})});
        group->addRect(geo::Rectangle(mm(1, 2), geo::Size::fromMillimeters(3, 4)));
        group->addText(mm(1, 2), QStringLiteral("Hello"), QStringLiteral("label"));
        group->addStyle(QStringLiteral(".a { fill: red; }"));
        const auto use = group->addNode(Element::Use);
        use->setTransform(mm(1.5, -2));
        QCOMPARE(group->toString(0, 1),
                 QStringLiteral("<g>\n"
                                " <ellipse cx=\"-1.000000\" cy=\"2.500000\" rx=\"3.000000\" ry=\"0.250000\" />\n"
                                " <line x1=\"1.000000\" x2=\"3.000000\" y1=\"2.000000\" y2=\"-4.000000\" />\n"
                                " <polygon points=\"0.000000,0.000000 1.000000,0.000000 0.000000,1.000000\" />\n"
                                " <path d=\"M0.000000,0.000000 1.000000,0.000000 0.000000,1.000000 Z M2.000000,2.000000 Z\" fill-rule=\"evenodd\" />\n"
                                " <rect height=\"4.000000\" width=\"3.000000\" x=\"1.000000\" y=\"2.000000\" />\n"
                                " <text class=\"label\" x=\"1.000000\" y=\"2.000000\">\n  Hello\n </text>\n"
                                " <style>\n  .a { fill: red; }\n </style>\n"
                                " <use transform=\"translate(1.500000,-2.000000)\" />\n"
                                "</g>\n"));
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
                 "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n<svg version=\"1.2\" width=\"78.000000mm\" height=\"52.000000mm\" "
                 "viewBox=\"0.000000 0.000000 78.000000 52.000000\" xmlns=\"http://www.w3.org/2000/svg\" "
                 "xmlns:xlink=\"http://www.w3.org/1999/xlink\">\n"
                 "    <defs>\n"
                 "        <path id=\"s1\" />\n"
                 "    </defs>\n"
                 "    <g>\n"
                 "        <circle cx=\"1.000000\" cy=\"2.000000\" r=\"0.500000\" />\n"
                 "    </g>\n"
                 "</svg>\n");

        // A view port set before the size is kept.
        document = svg::Document::create();
        document->setViewPort(geo::Rectangle(mm(-1, 2.5), geo::Size(10000000, 20000000)));
        document->setSize(geo::Size(5000000, 7000000), QStringLiteral("px"));
        QVERIFY(document->toString().contains("width=\"5.000000px\" height=\"7.000000px\" viewBox=\"-1.000000 2.500000 10.000000 20.000000\""));
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

        // A write that fails half-way (the file size limit holds even for root) is reported and leaves
        // the old file as it was.
        document->addText(geo::Point2D(), QString(10000, QLatin1Char('x')), QStringLiteral("t"));
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit previous{};
        getrlimit(RLIMIT_FSIZE, &previous);
        rlimit limited = previous;
        limited.rlim_cur = 4096;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
        const bool isSaved = document->save(path);
        setrlimit(RLIMIT_FSIZE, &previous);
        QVERIFY(!isSaved);
        QVERIFY(readFile(path).contains("Grüße") && !readFile(path).contains("xxx"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("out.svg")});
    }
};

MOTIFEX_TEST_MAIN(TestWriter)
#include "tst_writer.moc"
