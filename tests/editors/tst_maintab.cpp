#include "editors/MainTab.h"
#include "editors/Normal1DWidget.h"
#include "editors/ShapeWidget.h"
#include "generator/Generator.h"
#include "generator/GeneratorManager.h"
#include "shape/Manager.h"
#include "support/EditorTesting.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

#include <functional>

using namespace motifex::test;

namespace {

using TabEdit = std::function<void(MainTab*)>;

QStringList itemTexts(const QComboBox* box)
{
    QStringList texts;
    for (int index = 0; index < box->count(); ++index) {
        texts.append(box->itemText(index));
    }
    return texts;
}

} // namespace

Q_DECLARE_METATYPE(TabEdit)

class MainTabTest : public QObject
{
    Q_OBJECT

private slots:
    void rows()
    {
        AppFixture app;
        MainTab* tab = app.window()->propertiesFrame()->mainTab();
        const auto generator = app.controller().generatorManager()->get("pointgrid");
        QCOMPARE(tab->generatorChooser()->count(), 1);
        QCOMPARE(tab->generatorChooser()->itemData(0).toString(), QStringLiteral("pointgrid"));
        QCOMPARE(tab->generatorChooser()->itemText(0), generator->name());
        QCOMPARE(tab->algorithmChooser()->count(), int(generator->algorithmList().size()));
        for (int index = 0; index < tab->algorithmChooser()->count(); ++index) {
            const Generator::AlgorithmEntry& entry = generator->algorithmList().at(std::size_t(index));
            QCOMPARE(tab->algorithmChooser()->itemText(index), entry.name);
            QCOMPARE(tab->algorithmChooser()->itemData(index).toString(), entry.identifier);
            QVERIFY(!tab->algorithmChooser()->itemIcon(index).isNull());
        }
        QCOMPARE(itemTexts(tab->precisionChooser()), (QStringList{"1 mm", "0.1 mm", "0.01 mm"}));
        QCOMPARE(tab->precisionChooser()->iconSize(), QSize(20, 20));
        QCOMPARE((QList<double>{tab->spacingField()->maximum(), tab->spacingField()->singleStep()}), (QList<double>{100, 0.1}));
        QVERIFY(!tab->defaultShapeChooser()->isDefaultAllowed());
        QCOMPARE(tab->roundPositionsCheck()->text(), QStringLiteral("Round positions"));
        QCOMPARE(tab->snapToFrameCheck()->text(), QStringLiteral("Snap to Frame"));
        QCOMPARE(tab->galleryButton()->text(), QStringLiteral("Open Example Gallery..."));
    }

    void eachEditIsOneChange_data()
    {
        QTest::addColumn<TabEdit>("edit");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("stored");
        QTest::newRow("algorithm") << TabEdit([](MainTab* t) { t->algorithmChooser()->setCurrentIndex(3); })
                                   << "algorithmIdentifier" << QVariant("leftToRight");
        QTest::newRow("precision") << TabEdit([](MainTab* t) { t->precisionChooser()->setCurrentIndex(2); })
                                   << "precision" << QVariant(2);
        // 2.01 × 1000000 lies just below 2010000 in double precision and is truncated.
        QTest::newRow("spacing 2.01 mm") << TabEdit([](MainTab* t) { typeInto(t->spacingField(), "2.01"); })
                                         << "itemSpacing" << QVariant(2009999);
        QTest::newRow("overlap above the range") << TabEdit([](MainTab* t) { typeInto(t->overlapField(), "150"); })
                                                 << "itemOverlap" << QVariant(100000000);
        QTest::newRow("default shape") << TabEdit([](MainTab* t) { t->defaultShapeChooser()->setValue("5_point_star"); })
                                       << "worldShape" << QVariant("5_point_star");
        QTest::newRow("random placement") << TabEdit([](MainTab* t) { t->randomPlacementEditor()->slider()->setValue(25); })
                                          << "randomPlacementAmount" << QVariant(0.25);
        QTest::newRow("round positions") << TabEdit([](MainTab* t) { QTest::mouseClick(t->roundPositionsCheck(), Qt::LeftButton); })
                                         << "roundToPrecisionEnabled" << QVariant(true);
        QTest::newRow("snap to frame") << TabEdit([](MainTab* t) { QTest::mouseClick(t->snapToFrameCheck(), Qt::LeftButton); })
                                       << "snapToFrameEnabled" << QVariant(false);
    }

    void eachEditIsOneChange()
    {
        QFETCH(TabEdit, edit);
        QFETCH(QString, key);
        AppFixture app;
        MainTab* tab = showTab(app, &PropertiesFrame::mainTab);
        ChangeRecorder recorder(documentOf(app));
        edit(tab);
        QCOMPARE(recorder.records(), QStringList("changed properties/" + key));
        QTEST(storedProperty(app, key), "stored");
    }

    void changesFromOutsideAreShownAndNotWrittenBack()
    {
        AppFixture app;
        MainTab* tab = app.window()->propertiesFrame()->mainTab();
        const auto properties = propertiesOf(app);
        ChangeRecorder recorder(documentOf(app));
        properties->setAlgorithmIdentifier("closestToCenter");
        properties->setPrecision(geo::Precision::fromLevel(0));
        properties->setItemSpacing(geo::Length(2009999));
        properties->setItemOverlap(geo::Length(1250000));
        properties->setWorldShape(shape::Manager::instance()->shape("square"));
        properties->setRandomPlacementAmount(0.75);
        properties->setRoundToPrecisionEnabled(true);
        QCOMPARE(recorder.count(), 7);
        QCOMPARE(tab->algorithmChooser()->currentIndex(), 2);
        QCOMPARE(tab->precisionChooser()->currentIndex(), 0);
        QCOMPARE(tab->spacingField()->text(), QStringLiteral("2.01"));
        QCOMPARE(tab->overlapField()->value(), 1.25);
        QCOMPARE(tab->defaultShapeChooser()->value(), QStringLiteral("square"));
        QCOMPARE(tab->randomPlacementEditor()->spinBox()->value(), 75.0);
        QVERIFY(tab->roundPositionsCheck()->isChecked());
        // A precision level without entry shows none and stays until the user picks one.
        documentOf(app)->setFromDataOrThrow(QVariantMap{{"properties", QVariantMap{{"precision", 4}}}});
        QCOMPARE(tab->precisionChooser()->currentIndex(), -1);
        QCOMPARE(properties->precision().level(), 4);
        // An algorithm the generator does not list shows the first, without writing it.
        properties->setAlgorithmIdentifier("retired");
        QCOMPARE(tab->algorithmChooser()->currentIndex(), 0);
        QCOMPARE(properties->algorithmIdentifier(), QStringLiteral("retired"));
    }

    void choosingAGeneratorRefillsTheAlgorithms_data()
    {
        QTest::addColumn<QString>("algorithm");
        QTest::addColumn<QStringList>("changes");
        QTest::newRow("listed algorithm kept") << "largestSpace" << QStringList{"changed properties/generatorIdentifier"};
        QTest::newRow("unlisted algorithm replaced")
            << "retired" << QStringList{"changed properties/generatorIdentifier", "changed properties/algorithmIdentifier"};
    }

    void choosingAGeneratorRefillsTheAlgorithms()
    {
        QFETCH(QString, algorithm);
        AppFixture app;
        MainTab* tab = app.window()->propertiesFrame()->mainTab();
        const auto properties = propertiesOf(app);
        // A generator that is not registered (any more): no entry, no algorithms.
        properties->setGeneratorIdentifier("retired");
        properties->setAlgorithmIdentifier(algorithm);
        QCOMPARE(tab->generatorChooser()->currentIndex(), -1);
        QCOMPARE(tab->algorithmChooser()->count(), 0);

        ChangeRecorder recorder(documentOf(app));
        QStringList algorithmsWritten;
        QObject::connect(tab->algorithmChooser(), &QComboBox::currentIndexChanged, tab,
                         [&] { algorithmsWritten.append(properties->algorithmIdentifier()); });
        tab->generatorChooser()->setCurrentIndex(0);
        QCOMPARE(properties->generatorIdentifier(), QStringLiteral("pointgrid"));
        QTEST(recorder.records(), "changes");
        QCOMPARE(tab->algorithmChooser()->count(), 11);
        QCOMPARE(tab->algorithmChooser()->currentData().toString(), properties->algorithmIdentifier());
        QVERIFY(!properties->algorithmIdentifier().isEmpty() && properties->algorithmIdentifier() != "retired");
        QCOMPARE(algorithmsWritten, QStringList()); // refilling the list sends no change of its own
    }

    void defaultShapeOnlyNamesHeldShapes()
    {
        AppFixture app;
        MainTab* tab = app.window()->propertiesFrame()->mainTab();
        const auto before = propertiesOf(app)->worldShape();
        ChangeRecorder recorder(documentOf(app));
        tab->defaultShapeChooser()->setValue("no-such-shape");
        QCOMPARE(recorder.records(), QStringList());
        QCOMPARE(propertiesOf(app)->worldShape(), before);
        QCOMPARE(tab->defaultShapeChooser()->nameLabel()->text(), QStringLiteral("no-such-shape"));
    }
};

MOTIFEX_WIDGET_TEST_MAIN(MainTabTest)
#include "tst_maintab.moc"
