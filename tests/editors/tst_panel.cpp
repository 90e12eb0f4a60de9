#include "app/MainWindow.h"
#include "doc/Document.h"
#include "doc/Properties.h"
#include "editors/ItemsTab.h"
#include "editors/MetaTab.h"
#include "editors/PropertiesFrame.h"
#include "editors/PropertyTab.h"
#include "support/AppFixture.h"
#include "support/ChangeRecorder.h"
#include "support/WidgetTestMain.h"

#include <QAction>
#include <QFormLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QtTest>

using motifex::test::AppFixture;
using motifex::test::ChangeRecorder;

namespace {

PropertiesFrame* panelOf(AppFixture& app)
{
    return app.window()->propertiesFrame();
}

std::shared_ptr<doc::Document> documentOf(AppFixture& app)
{
    return app.controller().document();
}

} // namespace

class PanelTest : public QObject
{
    Q_OBJECT

private slots:
    void tabsInOrder()
    {
        AppFixture app;
        QTabWidget* tabs = panelOf(app)->tabWidget();
        const QStringList toolTips{"Main", "Canvas", "Rotation", "Order", "Color", "Items", "Metadata"};
        const QStringList titles{"Main Settings", "Canvas", "Item Rotation", "Item Order", "Color", "Items",
                                 "Metadata"};
        QCOMPARE(tabs->count(), 7);
        QCOMPARE(tabs->iconSize(), QSize(16, 16));
        for (int index = 0; index < tabs->count(); ++index) {
            QCOMPARE(tabs->tabToolTip(index), toolTips.at(index));
            QVERIFY(tabs->tabText(index).isEmpty());
            QVERIFY(!tabs->tabIcon(index).isNull());
            auto* tab = qobject_cast<PropertyTab*>(tabs->widget(index));
            QVERIFY(tab != nullptr);
            QCOMPARE(tab->title(), titles.at(index));
        }
        QCOMPARE(tabs->widget(5), panelOf(app)->itemsTab());
        QCOMPARE(tabs->widget(6), panelOf(app)->metaTab());
    }

    void viewMenuSwitchesTabs_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("actionText");
        const QStringList texts{"&Main", "C&anvas", "&Rotation", "&Order", "&Color", "&Items", "&Meta"};
        for (int index = 0; index < texts.size(); ++index) {
            QTest::addRow("Ctrl+%d", index + 1) << index << texts.at(index);
        }
    }

    void viewMenuSwitchesTabs()
    {
        QFETCH(int, index);
        QFETCH(QString, actionText);
        AppFixture app;
        QMenu* menu = panelOf(app)->viewMenu();
        QVERIFY(menu != nullptr);
        QCOMPARE(menu->title(), QStringLiteral("&View"));
        QAction* action = menu->actions().at(index);
        QCOMPARE(action->text(), actionText);
        QCOMPARE(action->shortcut(), QKeySequence(QStringLiteral("Ctrl+%1").arg(index + 1)));

        QTabWidget* tabs = panelOf(app)->tabWidget();
        tabs->setCurrentIndex(index == 0 ? 1 : 0);
        QTest::keyClick(app.window(), static_cast<Qt::Key>(Qt::Key_1 + index), Qt::ControlModifier);
        QCOMPARE(tabs->currentIndex(), index);
    }

    void formLayoutOnlyWithRows()
    {
        AppFixture app;
        QVERIFY(panelOf(app)->metaTab()->layout()->findChild<QFormLayout*>() != nullptr);
        // Within the tab's own layout: its item dialog, a child window, has forms of its own.
        QVERIFY(panelOf(app)->itemsTab()->layout()->findChild<QFormLayout*>() == nullptr);
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
        QFETCH(QString, key);
        QCOMPARE(PropertyTab::propertyKeyForPath(path), key);
    }

    void buildingThePanelWritesNothing()
    {
        AppFixture app;
        ChangeRecorder recorder(documentOf(app));
        auto frame = std::make_unique<PropertiesFrame>(nullptr);
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
        QCOMPARE(recorder.records(), QStringList());
    }

    void loadingFillsTheTabsWithoutWritingBack()
    {
        AppFixture app;
        MetaTab* tab = panelOf(app)->metaTab();
        QCOMPARE(tab->nameField()->text(), QString());

        QVariantMap properties{{"name", "Garden"}, {"notes", "First line\nSecond line"}};
        ChangeRecorder recorder(documentOf(app));
        documentOf(app)->setFromDataOrThrow(QVariantMap{{"properties", properties}});
        QCOMPARE(tab->nameField()->text(), QStringLiteral("Garden"));
        QCOMPARE(tab->notesField()->toPlainText(), QStringLiteral("First line\nSecond line"));
        QVERIFY(!recorder.changedPaths().contains("properties/name"));
        QVERIFY(!recorder.changedPaths().contains("properties/notes"));
        QCOMPARE(documentOf(app)->properties()->name(), QStringLiteral("Garden"));
    }

    void typingIsAnnouncedOncePerEdit()
    {
        AppFixture app;
        MetaTab* tab = panelOf(app)->metaTab();
        panelOf(app)->tabWidget()->setCurrentWidget(tab);
        ChangeRecorder recorder(documentOf(app));

        QTest::keyClicks(tab->nameField(), "Tide");
        QCOMPARE(recorder.records(), QStringList(4, "changed properties/name"));
        QCOMPARE(documentOf(app)->properties()->name(), QStringLiteral("Tide"));
        QCOMPARE(tab->nameField()->text(), QStringLiteral("Tide"));
        QCOMPARE(tab->nameField()->cursorPosition(), 4);

        recorder.clear();
        QTest::keyClicks(tab->notesField(), "ab");
        QTest::keyClick(tab->notesField(), Qt::Key_Return);
        QCOMPARE(recorder.records(), QStringList(3, "changed properties/notes"));
        QCOMPARE(documentOf(app)->properties()->notes(), QStringLiteral("ab\n"));
    }

    void nameIsCutAt120Characters()
    {
        AppFixture app;
        MetaTab* tab = panelOf(app)->metaTab();
        QTest::keyClicks(tab->nameField(), QString(130, QLatin1Char('w')));
        QCOMPARE(tab->nameField()->text().size(), 120);
        QCOMPARE(documentOf(app)->properties()->name(), QString(120, QLatin1Char('w')));
    }

    void aChangeFromOutsideIsShownAndNotWrittenBack()
    {
        AppFixture app;
        MetaTab* tab = panelOf(app)->metaTab();
        ChangeRecorder recorder(documentOf(app));
        documentOf(app)->properties()->setName("Harbour");
        documentOf(app)->properties()->setNotes("Blue");
        QCOMPARE(tab->nameField()->text(), QStringLiteral("Harbour"));
        QCOMPARE(tab->notesField()->toPlainText(), QStringLiteral("Blue"));
        QCOMPARE(recorder.records(), (QStringList{"changed properties/name", "changed properties/notes"}));
    }

    void updateStatesStopEchoes()
    {
        AppFixture app;
        MetaTab* tab = panelOf(app)->metaTab();
        std::shared_ptr<doc::Document> document = documentOf(app);
        {
            // A control changed while the document updates writes nothing.
            doc::UpdateScope scope(document);
            scope.setState(doc::UpdateState::DocumentUpdate);
            tab->nameField()->setText("Ignored");
            QCOMPARE(document->properties()->name(), QString());
        }
        {
            // A change announced while an editor writes is not shown.
            doc::UpdateScope scope(document);
            scope.setState(doc::UpdateState::EditorUpdate);
            document->properties()->setNotes("Written by another editor");
            QCOMPARE(tab->notesField()->toPlainText(), QString());
        }
        QCOMPARE(*document->update(), doc::UpdateState::Idle);
    }
};

MOTIFEX_WIDGET_TEST_MAIN(PanelTest)
#include "tst_panel.moc"
