#include "editors/DialogRun.h"
#include "editors/ItemsTab.h"
#include "editors/MetaTab.h"
#include "editors/PropertyTab.h"
#include "support/EditorTesting.h"

#include <QDialog>
#include <QFormLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>

using namespace motifex::test;

namespace {

// One opener of a shared dialog: records the results it heard.
class Opener : public QObject
{
public:
    void open(QDialog* dialog)
    {
        DialogRun::open(dialog, this, [this](int result) { results.append(result); });
    }

    QList<int> results;
};

} // namespace

// The panel frame, the tab base, the metadata tab, and the dialog runs of the shared dialogs.
class PanelTest : public QObject
{
    Q_OBJECT

private slots:
    void dialogRunReachesOnlyTheLastOpener_data()
    {
        QTest::addColumn<bool>("isSecondOpenedWhileFirstRuns");
        QTest::newRow("one after the other") << false;
        QTest::newRow("second before the first finished") << true;
    }

    void dialogRunReachesOnlyTheLastOpener()
    {
        QFETCH(bool, isSecondOpenedWhileFirstRuns);
        QWidget window;
        window.show();
        QDialog dialog(&window);
        Opener first;
        Opener second;
        first.open(&dialog);
        QVERIFY(DialogRun::isOpenFor(&dialog, &first));
        if (!isSecondOpenedWhileFirstRuns) {
            dialog.reject();
            QTRY_COMPARE(first.results, QList<int>{QDialog::Rejected});
        }
        second.open(&dialog);
        second.open(&dialog); // a leaked first connection would answer twice
        QVERIFY(!DialogRun::isOpenFor(&dialog, &first));
        dialog.accept();
        QTRY_COMPARE(second.results, QList<int>{QDialog::Accepted});
        QVERIFY(!DialogRun::isOpenFor(&dialog, &second));

        first.open(&dialog);
        dialog.reject();
        QTRY_COMPARE(first.results.size(), isSecondOpenedWhileFirstRuns ? 1 : 2);
        QCOMPARE(second.results, QList<int>{QDialog::Accepted});

        auto gone = std::make_unique<Opener>();
        gone->open(&dialog);
        gone.reset();
        dialog.accept(); // must not reach the destroyed opener
        QVERIFY(runQueuedCalls());
    }

    void tabsAndViewMenu()
    {
        AppFixture app;
        PropertiesFrame* panel = app.window()->propertiesFrame();
        QTabWidget* tabs = panel->tabWidget();
        const QStringList toolTips{"Main", "Canvas", "Rotation", "Order", "Color", "Items", "Metadata"};
        const QStringList titles{"Main Settings", "Canvas", "Item Rotation", "Item Order", "Color", "Items", "Metadata"};
        QCOMPARE(tabs->count(), 7);
        QCOMPARE(tabs->iconSize(), QSize(16, 16));
        for (int index = 0; index < tabs->count(); ++index) {
            QCOMPARE(tabs->tabToolTip(index), toolTips.at(index));
            QVERIFY(tabs->tabText(index).isEmpty() && !tabs->tabIcon(index).isNull());
            QCOMPARE(panel->tab(index)->title(), titles.at(index));
        }
        QCOMPARE(panel->tab(5), panel->itemsTab());

        QCOMPARE(panel->viewMenu()->title(), QStringLiteral("&View"));
        QCOMPARE(actionTexts(panel->viewMenu()->actions()),
                 (QStringList{"&Main", "C&anvas", "&Rotation", "&Order", "&Color", "&Items", "&Meta"}));
        for (int index = 6; index >= 0; --index) {
            QCOMPARE(panel->viewMenu()->actions().at(index)->shortcut(), QKeySequence(QStringLiteral("Ctrl+%1").arg(index + 1)));
            QTest::keyClick(app.window(), static_cast<Qt::Key>(Qt::Key_1 + index), Qt::ControlModifier);
            QCOMPARE(tabs->currentIndex(), index);
        }
        // A tab that adds no rows has no form; its widgets follow the title directly.
        QVERIFY(panel->metaTab()->layout()->findChild<QFormLayout*>() != nullptr);
        QVERIFY(panel->itemsTab()->layout()->findChild<QFormLayout*>() == nullptr);
    }

    void propertyKeyForPath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("key");
        QTest::newRow("plain") << "properties/precision" << "precision";
        QTest::newRow("world value") << "properties/worldColor/hue/offset" << "worldColor";
        QTest::newRow("item") << "items/3f2a/count" << "";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("case matters") << "Properties/name" << "";
    }

    void propertyKeyForPath()
    {
        QFETCH(QString, path);
        QTEST(PropertyTab::propertyKeyForPath(path), "key");
    }

    void buildingAndLoadingWriteNothingBack()
    {
        AppFixture app;
        ChangeRecorder recorder(documentOf(app));
        auto frame = std::make_unique<PropertiesFrame>(nullptr);
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
        QCOMPARE(recorder.records(), QStringList());

        MetaTab* tab = app.window()->propertiesFrame()->metaTab();
        documentOf(app)->setFromDataOrThrow(
            QVariantMap{{"properties", QVariantMap{{"name", "Garden"}, {"notes", "First line\nSecond line"}}}});
        QCOMPARE(tab->nameField()->text(), QStringLiteral("Garden"));
        QCOMPARE(tab->notesField()->toPlainText(), QStringLiteral("First line\nSecond line"));
        QVERIFY(!recorder.changedPaths().contains("properties/name"));
        QVERIFY(!recorder.changedPaths().contains("properties/notes"));

        recorder.clear();
        documentOf(app)->properties()->setName("Harbour");
        QCOMPARE(tab->nameField()->text(), QStringLiteral("Harbour"));
        QCOMPARE(recorder.records(), QStringList{"changed properties/name"});
    }

    void typingIsAnnouncedOncePerEdit()
    {
        AppFixture app;
        MetaTab* tab = showTab(app, &PropertiesFrame::metaTab);
        ChangeRecorder recorder(documentOf(app));
        QTest::keyClicks(tab->nameField(), "Tide");
        QCOMPARE(recorder.records(), QStringList(4, "changed properties/name"));
        QCOMPARE(propertiesOf(app)->name(), QStringLiteral("Tide"));
        QCOMPARE(tab->nameField()->cursorPosition(), 4);

        recorder.clear();
        QTest::keyClicks(tab->notesField(), "ab");
        QTest::keyClick(tab->notesField(), Qt::Key_Return);
        QCOMPARE(recorder.records(), QStringList(3, "changed properties/notes"));
        QCOMPARE(propertiesOf(app)->notes(), QStringLiteral("ab\n"));
    }

    // A name takes 120 characters: keys typed beyond them change neither the field nor the document.
    void nameStopsAt120Characters()
    {
        AppFixture app;
        MetaTab* tab = showTab(app, &PropertiesFrame::metaTab);
        QTest::keyClicks(tab->nameField(), QString(118, QLatin1Char('w')));
        ChangeRecorder recorder(documentOf(app));
        QTest::keyClicks(tab->nameField(), QStringLiteral("xyz!"));
        const QString kept = QString(118, QLatin1Char('w')) + QStringLiteral("xy");
        QCOMPARE(tab->nameField()->text(), kept);
        QCOMPARE(propertiesOf(app)->name(), kept);
        QCOMPARE(recorder.records(), QStringList(2, "changed properties/name"));

        tab->nameField()->clear();
        QTest::keyClicks(tab->nameField(), QString(130, QLatin1Char('w')));
        QCOMPARE(tab->nameField()->text(), QString(120, QLatin1Char('w')));
        QCOMPARE(propertiesOf(app)->name(), QString(120, QLatin1Char('w')));
    }

    void updateStatesStopEchoes()
    {
        AppFixture app;
        MetaTab* tab = app.window()->propertiesFrame()->metaTab();
        {
            doc::UpdateScope scope(documentOf(app));
            scope.setState(doc::UpdateState::DocumentUpdate);
            tab->nameField()->setText("Ignored"); // a control changed while the document updates
            scope.setState(doc::UpdateState::EditorUpdate);
            propertiesOf(app)->setNotes("Written by another editor"); // not shown while an editor writes
        }
        QCOMPARE(propertiesOf(app)->name(), QString());
        QCOMPARE(tab->notesField()->toPlainText(), QString());
        QCOMPARE(*documentOf(app)->update(), doc::UpdateState::Idle);
    }
};

MOTIFEX_WIDGET_TEST_MAIN(PanelTest)
#include "tst_panel.moc"
