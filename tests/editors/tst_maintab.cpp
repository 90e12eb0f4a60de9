#include "app/MainWindow.h"
#include "doc/Document.h"
#include "doc/Properties.h"
#include "editors/MainTab.h"
#include "editors/Normal1DWidget.h"
#include "editors/PropertiesFrame.h"
#include "editors/ShapeWidget.h"
#include "generator/Generator.h"
#include "generator/GeneratorManager.h"
#include "shape/Manager.h"
#include "support/AppFixture.h"
#include "support/ChangeRecorder.h"
#include "support/UserActions.h"
#include "support/WidgetTestMain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

using motifex::test::AppFixture;
using motifex::test::ChangeRecorder;
using motifex::test::typeInto;

namespace {

MainTab* mainTabOf(AppFixture& app)
{
    return app.window()->propertiesFrame()->mainTab();
}

std::shared_ptr<doc::Properties> propertiesOf(AppFixture& app)
{
    return app.controller().document()->properties();
}

QStringList itemTexts(const QComboBox* box)
{
    QStringList texts;
    for (int index = 0; index < box->count(); ++index) {
        texts.append(box->itemText(index));
    }
    return texts;
}

} // namespace

class MainTabTest : public QObject
{
    Q_OBJECT

private slots:
    void rows()
    {
        AppFixture app;
        MainTab* tab = mainTabOf(app);
        QCOMPARE(tab->title(), QStringLiteral("Main Settings"));
        const auto generator = app.controller().generatorManager()->get("pointgrid");
        QCOMPARE(tab->generatorChooser()->count(), 1);
        QCOMPARE(tab->generatorChooser()->itemData(0).toString(), QStringLiteral("pointgrid"));
        QCOMPARE(tab->generatorChooser()->itemText(0), generator->name());
        QCOMPARE(tab->algorithmChooser()->count(), static_cast<int>(generator->algorithmList().size()));
        for (int index = 0; index < tab->algorithmChooser()->count(); ++index) {
            const Generator::AlgorithmEntry& entry = generator->algorithmList().at(static_cast<std::size_t>(index));
            QCOMPARE(tab->algorithmChooser()->itemText(index), entry.name);
            QCOMPARE(tab->algorithmChooser()->itemData(index).toString(), entry.identifier);
            QVERIFY(!tab->algorithmChooser()->itemIcon(index).isNull());
        }
        QCOMPARE(itemTexts(tab->precisionChooser()), (QStringList{"1 mm", "0.1 mm", "0.01 mm"}));
        QCOMPARE(tab->precisionChooser()->iconSize(), QSize(20, 20));
        QVERIFY(!tab->defaultShapeChooser()->isDefaultAllowed());
        QCOMPARE(tab->roundPositionsCheck()->text(), QStringLiteral("Round positions"));
        QCOMPARE(tab->snapToFrameCheck()->text(), QStringLiteral("Snap to Frame"));
        QCOMPARE(tab->galleryButton()->text(), QStringLiteral("Open Example Gallery..."));
    }

    void eachEditIsOneChange_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("key");
        QTest::newRow("algorithm") << "algorithm" << "algorithmIdentifier";
        QTest::newRow("precision") << "precision" << "precision";
        QTest::newRow("spacing 2.01 mm") << "spacing" << "itemSpacing";
        QTest::newRow("overlap 0.5 mm") << "overlap" << "itemOverlap";
        QTest::newRow("default shape") << "shape" << "worldShape";
        QTest::newRow("random placement") << "random" << "randomPlacementAmount";
        QTest::newRow("round positions") << "round" << "roundToPrecisionEnabled";
        QTest::newRow("snap to frame") << "snap" << "snapToFrameEnabled";
    }

    void eachEditIsOneChange()
    {
        QFETCH(QString, control);
        QFETCH(QString, key);
        AppFixture app;
        MainTab* tab = mainTabOf(app);
        const auto properties = propertiesOf(app);
        const bool wasSnapping = properties->isSnapToFrameEnabled();
        ChangeRecorder recorder(app.controller().document());

        if (control == "algorithm") {
            tab->algorithmChooser()->setCurrentIndex(3);
        } else if (control == "precision") {
            tab->precisionChooser()->setCurrentIndex(2);
        } else if (control == "spacing") {
            typeInto(tab->spacingField(), "2.01");
        } else if (control == "overlap") {
            typeInto(tab->overlapField(), "0.5");
        } else if (control == "shape") {
            tab->defaultShapeChooser()->setValue("5_point_star");
        } else if (control == "random") {
            tab->randomPlacementEditor()->slider()->setValue(25);
        } else if (control == "round") {
            QTest::mouseClick(tab->roundPositionsCheck(), Qt::LeftButton);
        } else if (control == "snap") {
            QTest::mouseClick(tab->snapToFrameCheck(), Qt::LeftButton);
        }
        QCOMPARE(recorder.records(), QStringList("changed properties/" + key));

        const auto generator = app.controller().generatorManager()->get("pointgrid");
        if (control == "algorithm") {
            QCOMPARE(properties->algorithmIdentifier(), generator->algorithmList().at(3).identifier);
        } else if (control == "precision") {
            QCOMPARE(properties->precision().level(), 2);
        } else if (control == "spacing") {
            // 2.01 × 1000000 lies just below 2010000 in double precision and is truncated.
            QCOMPARE(properties->itemSpacing().value(), Q_INT64_C(2009999));
            QCOMPARE(tab->spacingField()->text(), QStringLiteral("2.01"));
        } else if (control == "overlap") {
            QCOMPARE(properties->itemOverlap().value(), Q_INT64_C(500000));
        } else if (control == "shape") {
            QCOMPARE(properties->worldShape(), shape::Manager::instance()->shape("5_point_star"));
            QCOMPARE(tab->defaultShapeChooser()->nameLabel()->text(), QStringLiteral("5-Point Star"));
        } else if (control == "random") {
            QCOMPARE(properties->randomPlacementAmount(), geo::Normal1D(0.25));
        } else if (control == "round") {
            QVERIFY(properties->isRoundToPrecisionEnabled());
        } else if (control == "snap") {
            QCOMPARE(properties->isSnapToFrameEnabled(), !wasSnapping);
        }
    }

    void changesFromOutsideAreShownAndNotWrittenBack()
    {
        AppFixture app;
        MainTab* tab = mainTabOf(app);
        const auto properties = propertiesOf(app);
        ChangeRecorder recorder(app.controller().document());
        const auto generator = app.controller().generatorManager()->get("pointgrid");
        properties->setAlgorithmIdentifier(generator->algorithmList().at(2).identifier);
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
        // Showing 2.01 wrote nothing back: the document keeps its exact length.
        QCOMPARE(properties->itemSpacing().value(), Q_INT64_C(2009999));
    }

    void precisionWithoutEntry()
    {
        AppFixture app;
        MainTab* tab = mainTabOf(app);
        const auto document = app.controller().document();
        document->setFromDataOrThrow(QVariantMap{{"properties", QVariantMap{{"precision", 4}}}});
        QCOMPARE(tab->precisionChooser()->currentIndex(), -1);
        QCOMPARE(document->properties()->precision().level(), 4);

        tab->precisionChooser()->setCurrentIndex(1);
        QCOMPARE(document->properties()->precision().level(), 1);
    }

    void unknownAlgorithmShowsTheFirstWithoutWriting()
    {
        AppFixture app;
        MainTab* tab = mainTabOf(app);
        const auto properties = propertiesOf(app);
        properties->setAlgorithmIdentifier("retired");
        QCOMPARE(tab->algorithmChooser()->currentIndex(), 0);
        QCOMPARE(properties->algorithmIdentifier(), QStringLiteral("retired"));
    }

    void choosingAGeneratorRefillsTheAlgorithms_data()
    {
        QTest::addColumn<QString>("algorithm");
        QTest::addColumn<QStringList>("changes");
        QTest::newRow("listed algorithm kept") << "largestSpace"
                                               << QStringList{"changed properties/generatorIdentifier"};
        QTest::newRow("unlisted algorithm replaced")
            << "retired"
            << QStringList{"changed properties/generatorIdentifier", "changed properties/algorithmIdentifier"};
    }

    void choosingAGeneratorRefillsTheAlgorithms()
    {
        QFETCH(QString, algorithm);
        QFETCH(QStringList, changes);
        AppFixture app;
        MainTab* tab = mainTabOf(app);
        const auto properties = propertiesOf(app);
        // A generator that is not registered (any more): no entry, no algorithms.
        properties->setGeneratorIdentifier("retired");
        properties->setAlgorithmIdentifier(algorithm);
        QCOMPARE(tab->generatorChooser()->currentIndex(), -1);
        QCOMPARE(tab->algorithmChooser()->count(), 0);
        QCOMPARE(properties->algorithmIdentifier(), algorithm);

        ChangeRecorder recorder(app.controller().document());
        QStringList algorithmsWritten;
        QObject::connect(tab->algorithmChooser(), &QComboBox::currentIndexChanged, tab,
                         [&] { algorithmsWritten.append(properties->algorithmIdentifier()); });
        tab->generatorChooser()->setCurrentIndex(0);
        QCOMPARE(properties->generatorIdentifier(), QStringLiteral("pointgrid"));
        QCOMPARE(recorder.records(), changes);
        const auto generator = app.controller().generatorManager()->get("pointgrid");
        QCOMPARE(tab->algorithmChooser()->count(), static_cast<int>(generator->algorithmList().size()));
        QCOMPARE(tab->algorithmChooser()->currentData().toString(), properties->algorithmIdentifier());
        QVERIFY(!properties->algorithmIdentifier().isEmpty());
        QVERIFY(properties->algorithmIdentifier() != "retired");
        // Refilling the list sends no change of its own.
        QCOMPARE(algorithmsWritten, QStringList());
    }

    void defaultShapeOnlyNamesHeldShapes()
    {
        AppFixture app;
        MainTab* tab = mainTabOf(app);
        const auto properties = propertiesOf(app);
        const auto before = properties->worldShape();
        ChangeRecorder recorder(app.controller().document());
        tab->defaultShapeChooser()->setValue("no-such-shape");
        QCOMPARE(recorder.records(), QStringList());
        QCOMPARE(properties->worldShape(), before);
        QCOMPARE(tab->defaultShapeChooser()->nameLabel()->text(), QStringLiteral("no-such-shape"));
    }
};

MOTIFEX_WIDGET_TEST_MAIN(MainTabTest)
#include "tst_maintab.moc"
