#include "common/TestMain.h"

#include "shape/OutlineChecks.h"

#include "shape/Builder.h"
#include "shape/PolygonBase.h"

#include <QSet>
#include <QSvgRenderer>
#include <QXmlStreamReader>

namespace {

// The catalogue size of each family, in ascending type order.
const std::map<shape::Type, int> familySizes{
    {shape::Type::Circle, 1}, {shape::Type::Ring, 9},   {shape::Type::Polygon, 20}, {shape::Type::Star, 30},
    {shape::Type::Cross, 30}, {shape::Type::Heart, 30}, {shape::Type::Arrow, 20},   {shape::Type::Leaf, 30},
};

bool isWellFormedXml(const QByteArray& text)
{
    QXmlStreamReader reader(text);
    while (!reader.atEnd()) {
        reader.readNext();
    }
    return !reader.hasError();
}

} // namespace

class TestBuiltIns : public QObject
{
    Q_OBJECT

private slots:
    void catalogueOrderAndCount()
    {
        const auto shapes = shape::Builder::createAllBuiltIns();
        QCOMPARE(shapes.size(), std::size_t(170));
        QCOMPARE(shapes.front()->identifier(), QStringLiteral("circle"));
        std::map<shape::Type, int> counted;
        for (std::size_t i = 0; i < shapes.size(); ++i) {
            ++counted[shapes[i]->type()];
            QVERIFY(i == 0 || int(shapes[i - 1]->type()) <= int(shapes[i]->type()));
        }
        QCOMPARE(counted, familySizes);
        QCOMPARE(shape::Builder::editableTypes(),
                 (std::vector<shape::Type>{shape::Type::Circle, shape::Type::Ring, shape::Type::Polygon, shape::Type::Star,
                                           shape::Type::Cross, shape::Type::Heart, shape::Type::Arrow, shape::Type::Leaf}));
    }

    void identifiersUniqueAndValid()
    {
        QSet<QString> identifiers;
        for (const auto& shape : shape::Builder::createAllBuiltIns()) {
            QVERIFY2(shape::Base::isValidIdentifier(shape->identifier()), qPrintable(shape->identifier()));
            QVERIFY2(shape::Base::isValidName(shape->name()), qPrintable(shape->name()));
            QVERIFY(shape->isBuiltIn());
            QVERIFY2(!identifiers.contains(shape->identifier()), qPrintable(shape->identifier()));
            identifiers.insert(shape->identifier());
        }
    }

    void everyShape_data()
    {
        QTest::addColumn<int>("position");
        const auto shapes = shape::Builder::createAllBuiltIns();
        for (std::size_t i = 0; i < shapes.size(); ++i) {
            QTest::addRow("%s", qPrintable(shapes[i]->identifier())) << int(i);
        }
    }
    void everyShape()
    {
        QFETCH(int, position);
        const auto shape = shape::Builder::createAllBuiltIns().at(std::size_t(position));

        const QByteArray svg = shape->toSvg(geo::Size(32000000, 32000000), Qt::black);
        QVERIFY(isWellFormedXml(svg));
        QVERIFY(QSvgRenderer(svg).isValid());

        const auto copy = shape::Builder::createShape(shape->type());
        QCOMPARE(copy->setFromDataOrThrow(shape->toData(position)), position);
        QVERIFY(copy->isVisuallyEqual(shape));

        const auto* outlined = dynamic_cast<const shape::PolygonBase*>(shape.get());
        if (outlined == nullptr) {
            QVERIFY(!shape->hasComplexOutline());
            return;
        }
        QVERIFY(shape->hasComplexOutline());
        for (const bool outlineOnly : {true, false}) {
            const auto paths = outlined->createPaths(outlineOnly);
            QVERIFY(!paths.empty());
            QVERIFY(outlineOnly ? paths.size() == 1 : paths.size() <= 2);
            for (const geo::Path& path : paths) {
                QVERIFY(path.size() >= 3);
                // Closed paths close implicitly: the last point does not repeat the first.
                QVERIFY(path[0] != path[path.size() - 1]);
                QVERIFY(outline::isInsideUnitSquare(path));
                QVERIFY(outline::twiceArea(path) != 0);
                const QString problem = outline::simplicityProblem(path);
                QVERIFY2(problem.isEmpty(), qPrintable(problem));
            }
        }
        QCOMPARE(shape->createFramePath(), outlined->createPaths(true).front());
    }
};

MOTIFEX_TEST_MAIN(TestBuiltIns)
#include "tst_builtins.moc"
