#include "app/ActionButton.h"
#include "app/FileIO.h"
#include "app/MainWindow.h"
#include "doc/Color.h"
#include "doc/Document.h"
#include "doc/Item.h"
#include "doc/Items.h"
#include "doc/Properties.h"
#include "editors/ItemColorDelegate.h"
#include "editors/ItemEditDialog.h"
#include "editors/ItemsTab.h"
#include "editors/PropertiesFrame.h"
#include "editors/ShapeSelectionDialog.h"
#include "editors/StaticColorWidget.h"
#include "shape/Manager.h"
#include "support/AppFixture.h"
#include "support/UserActions.h"
#include "support/WidgetTestMain.h"

#include <QDialogButtonBox>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTreeWidget>
#include <QtTest>

using namespace motifex::test;

namespace {

// The items tab shown in the panel, with the document's items.
struct TabFixture {
    explicit TabFixture(AppFixture& app) : app(app), items(app.controller().document()->items())
    {
        tab = app.window()->propertiesFrame()->itemsTab();
        tree = tab->itemList();
        app.window()->propertiesFrame()->tabWidget()->setCurrentWidget(tab);
        QVERIFY(QTest::qWaitForWindowExposed(tree));
        // The start-up's new document reaches the list a moment later.
        QTRY_COMPARE(rowItemIds(), documentItemIds());
    }

    QStringList rowItemIds() const
    {
        QStringList identifiers;
        for (int row = 0; row < tree->topLevelItemCount(); ++row) {
            identifiers.append(tree->topLevelItem(row)->data(0, ItemsTab::itemIdRole).toString());
        }
        return identifiers;
    }

    QStringList documentItemIds() const
    {
        QStringList identifiers;
        for (const auto& item : items->items()) {
            identifiers.append(item->itemId());
        }
        return identifiers;
    }

    void clickRow(int row, Qt::KeyboardModifiers modifiers = {})
    {
        tree->scrollToItem(tree->topLevelItem(row));
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, modifiers, rowCentre(row));
    }

    QPoint rowCentre(int row) const { return tree->visualItemRect(tree->topLevelItem(row)).center(); }

    // Right-clicks the row (-1: below the rows) and chooses the context menu entry.
    bool chooseFromContextMenu(int row, const QStringList& entry)
    {
        const QPoint position = row >= 0 ? rowCentre(row) : QPoint(8, tree->viewport()->height() - 8);
        return chooseMenuEntry([this, position] { contextClick(tree->viewport(), position); }, entry);
    }

    QStringList column(int column) const
    {
        QStringList texts;
        for (int row = 0; row < tree->topLevelItemCount(); ++row) {
            texts.append(tree->topLevelItem(row)->text(column));
        }
        return texts;
    }

    QStringList documentRadii() const
    {
        QStringList radii;
        for (const auto& item : items->items()) {
            radii.append(ItemsTab::radiusText(*item));
        }
        return radii;
    }

    QList<bool> enabledStates() const
    {
        QList<bool> states{tab->editButton()->isEnabled(), tab->duplicateButton()->isEnabled(),
                           tab->removeButton()->isEnabled()};
        for (QAction* action : tree->actions()) {
            states.append(action->isEnabled());
        }
        return states;
    }

    AppFixture& app;
    std::shared_ptr<doc::Items> items;
    ItemsTab* tab = nullptr;
    QTreeWidget* tree = nullptr;
};

QStringList actionTexts(const QList<QAction*>& actions)
{
    QStringList texts;
    for (const QAction* action : actions) {
        if (!action->isSeparator()) {
            texts.append(action->text());
        }
    }
    return texts;
}

QMenu* submenu(QTreeWidget* tree, const QString& text)
{
    for (QAction* action : tree->actions()) {
        if (action->text() == text) {
            return action->menu();
        }
    }
    return nullptr;
}

} // namespace

class ItemsTest : public QObject
{
    Q_OBJECT

private slots:
    void buttonsAndContextMenu()
    {
        AppFixture app;
        TabFixture fixture(app);
        QCOMPARE(fixture.tab->title(), QStringLiteral("Items"));
        const QTreeWidgetItem* header = fixture.tree->headerItem();
        QCOMPARE(QStringList({header->text(0), header->text(1), header->text(2), header->text(3)}),
                 QStringList({"Shape", "Radius", "Count", "Color"}));
        const QStringList toolTips{fixture.tab->addButton()->toolTip(), fixture.tab->editButton()->toolTip(),
                                   fixture.tab->duplicateButton()->toolTip(), fixture.tab->removeButton()->toolTip(),
                                   fixture.tab->sortButton()->toolTip()};
        QCOMPARE(toolTips, QStringList({"Add a new item to the list.", "Edit the selected item.",
                                        "Duplicate the selected item.", "Remove the selected item.",
                                        "Sort the items in the order the generator will use them."}));
        QCOMPARE(actionTexts(fixture.tree->actions()),
                 QStringList({"Change shape...", "Radius", "Count", "Color", "Remove", "Duplicate", "Edit..."}));
        const QList<QAction*> radii = submenu(fixture.tree, "Radius")->actions();
        QCOMPARE(radii.size(), 18);
        QCOMPARE(radii.first()->text(), QStringLiteral("10.00 mm"));
        QCOMPARE(radii.at(8)->text(), QStringLiteral("2.50 mm"));
        QCOMPARE(radii.last()->text(), QStringLiteral("0.10 mm"));
        QCOMPARE(radii.last()->data().toDouble(), 0.1);
        QCOMPARE(actionTexts(submenu(fixture.tree, "Count")->actions()),
                 QStringList({"1", "2", "3", "4", "8", "16", "24", "32", "64", "128", "256", "512", "1024", "2048"}));
        const auto* defaultEntry = submenu(fixture.tree, "Color")->findChild<QAction*>(StaticColorWidget::defaultEntryObjectName);
        QVERIFY(defaultEntry != nullptr && !defaultEntry->data().isValid());

        // Nothing is selected at start: only add and sort are offered.
        QCOMPARE(fixture.tree->topLevelItemCount(), 8);
        QCOMPARE(fixture.enabledStates(), QList<bool>(10, false));
        QVERIFY(fixture.tab->addButton()->isEnabled() && fixture.tab->sortButton()->isEnabled());
    }

    // One item's edits update its row; an addition rebuilds the list.
    void rowsFollowTheDocument()
    {
        AppFixture app;
        TabFixture fixture(app);
        const auto item = fixture.items->itemAt(2);
        const QTreeWidgetItem* row = fixture.tree->topLevelItem(2);
        QCOMPARE(row->text(1), QStringLiteral("4.00"));
        QCOMPARE(row->data(1, Qt::UserRole).toDouble(), 4.0);
        QCOMPARE(row->data(0, ItemsTab::itemIdRole).toString(), item->itemId());
        for (int count = 11; count <= 20; ++count) {
            item->setCount(count);
        }
        item->setRadiusTransition("linear");
        item->setRadiusEnd(geo::Length(1000000));
        QTRY_COMPARE(row->text(1), QStringLiteral("4.00\n↓ linear\n1.00"));
        QCOMPARE(fixture.tree->topLevelItem(2), row);
        QCOMPARE(row->text(2), QStringLiteral("20"));
        QCOMPARE(row->data(2, Qt::UserRole).toInt(), 20);

        item->setCount(5);
        fixture.items->addItem();
        QTRY_COMPARE(fixture.tree->topLevelItemCount(), 9);
        QCOMPARE(fixture.column(2), QStringList({"1", "4", "5", "16", "32", "64", "128", "1000", "10"}));
    }

    void contextMenuChangesTheItem_data()
    {
        QTest::addColumn<QStringList>("entry");
        QTest::addColumn<QString>("radius");
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("color");
        const QString before = QStringLiteral("4.00\n↓ linear\n1.00");
        const QString firstRegular = QColor::fromHsvF(0, 0.8, 0.8).name();
        QTest::newRow("radius") << QStringList({"Radius", "2.50 mm"}) << "2.50" << "8" << "#3366cc";
        QTest::newRow("count") << QStringList({"Count", "2048"}) << before << "2048" << "#3366cc";
        QTest::newRow("preset colour") << QStringList({"Color", "Regular", " " + firstRegular}) << before << "8"
                                       << firstRegular;
        QTest::newRow("default colour") << QStringList({"Color", "Default"}) << before << "8" << "parent";
    }

    void contextMenuChangesTheItem()
    {
        QFETCH(QStringList, entry);
        QFETCH(QString, radius);
        QFETCH(QString, count);
        QFETCH(QString, color);
        AppFixture app;
        TabFixture fixture(app);
        const auto item = fixture.items->itemAt(2);
        item->setRadiusTransition("linear");
        item->setRadiusEnd(geo::Length(1000000));
        item->color()->setStaticColor(QColor("#3366cc"));
        QVERIFY(fixture.chooseFromContextMenu(2, entry));
        QTRY_COMPARE(fixture.tree->topLevelItem(2)->text(1), radius);
        QCOMPARE(fixture.tree->topLevelItem(2)->text(2), count);
        QCOMPARE(item->color()->isParentColor() ? QStringLiteral("parent") : item->color()->staticColour().name(), color);
        QCOMPARE(item->radiusEnd() == geo::Length(0), item->radiusTransition().isEmpty());
    }

    // Buttons and context menu act only on a selected row.
    void itemActionsNeedASelectedRow()
    {
        AppFixture app;
        TabFixture fixture(app);
        while (fixture.items->items().size() > 2) {
            fixture.items->removeItem(2);
        }
        QTRY_COMPARE(fixture.tree->topLevelItemCount(), 2);
        fixture.clickRow(1);
        QCOMPARE(fixture.enabledStates(), QList<bool>(10, true));
        fixture.clickRow(1, Qt::ControlModifier);
        QCOMPARE(fixture.tree->currentIndex().row(), 1);
        QCOMPARE(fixture.enabledStates(), QList<bool>(10, false));
        QVERIFY(!fixture.chooseFromContextMenu(-1, {"Count", "2048"}));
        QVERIFY(!fixture.chooseFromContextMenu(-1, {"Remove"}));
        QCOMPARE(fixture.column(2), QStringList({"1", "4"}));

        // Removing the last item leaves no current row.
        for (int remaining = 1; remaining >= 0; --remaining) {
            fixture.clickRow(0);
            QTest::mouseClick(fixture.tab->removeButton(), Qt::LeftButton);
            QTRY_COMPARE(fixture.tree->topLevelItemCount(), remaining);
        }
        QVERIFY(!fixture.tree->currentIndex().isValid());
        QCOMPARE(fixture.enabledStates(), QList<bool>(10, false));
    }

    void changeShapeStartsAtTheItemsShape()
    {
        AppFixture app;
        TabFixture fixture(app);
        const QString star = shape::Manager::instance()->shape(20)->identifier();
        fixture.items->itemAt(1)->setShapeId(star);
        ShapeSelectionDialog* dialog = app.window()->shapeSelectionDialog();
        for (const int row : {1, 2}) {
            QVERIFY(fixture.chooseFromContextMenu(row, {"Change shape..."}));
            QTRY_VERIFY(dialog->isVisible());
            QVERIFY(dialog->isDefaultAllowed());
            QCOMPARE(dialog->selectedShapeId(), row == 1 ? star : QString());
            QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
            QTRY_VERIFY(!dialog->isVisible());
        }
        QVERIFY(runQueuedCalls());
        QCOMPARE(fixture.items->itemAt(1)->shapeId(), star);
        QCOMPARE(fixture.items->itemAt(2)->shapeId(), QString());
    }

    void addEditDuplicateAndSort()
    {
        AppFixture app;
        TabFixture fixture(app);
        ItemEditDialog* dialog = fixture.tab->itemDialog();
        QTest::mouseClick(fixture.tab->addButton(), Qt::LeftButton);
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Edit New Item"));
        QCOMPARE(dialog->item(), fixture.items->itemAt(8));
        QTRY_COMPARE(fixture.tree->currentIndex().row(), 8);
        QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Close), Qt::LeftButton);
        QVERIFY(!dialog->isVisible());

        doubleClickIndex(fixture.tree, fixture.tree->model()->index(2, 1));
        QTRY_VERIFY(dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Edit Item"));
        QCOMPARE(dialog->item(), fixture.items->itemAt(2));
        QTest::keyClick(dialog, Qt::Key_Escape);

        QTest::mouseClick(fixture.tab->duplicateButton(), Qt::LeftButton);
        QCOMPARE(fixture.items->itemAt(3)->radius(), geo::Length(4000000));
        QTRY_COMPARE(fixture.tree->currentIndex().row(), 3);

        // Stable: the three 4 mm items keep their order.
        const QStringList fourIds{fixture.items->itemAt(2)->itemId(), fixture.items->itemAt(3)->itemId(),
                                  fixture.items->itemAt(9)->itemId()};
        QTest::mouseClick(fixture.tab->sortButton(), Qt::LeftButton);
        QCOMPARE(fixture.documentRadii(),
                 QStringList({"6.00", "5.00", "4.00", "4.00", "4.00", "3.00", "2.00", "1.00", "0.50", "0.25"}));
        QCOMPARE(QStringList({fixture.items->itemAt(2)->itemId(), fixture.items->itemAt(3)->itemId(),
                              fixture.items->itemAt(4)->itemId()}),
                 fourIds);
        QTRY_COMPARE(fixture.column(1), fixture.documentRadii());
        QVERIFY(app.window()->fileIO()->hasUnsavedChanges());
        QVERIFY(app.window()->isWindowModified());
    }

    // Clicks faster than the list follows: each acts on the item its row shows, or on nothing.
    void quickSuccession()
    {
        AppFixture app;
        TabFixture fixture(app);
        const auto first = fixture.items->itemAt(0);
        const auto fourth = fixture.items->itemAt(3);
        first->setRadius(geo::Length(100000));
        QTRY_COMPARE(fixture.tree->topLevelItem(0)->text(1), QStringLiteral("0.10"));
        fixture.clickRow(3);

        QTest::mouseClick(fixture.tab->duplicateButton(), Qt::LeftButton);
        QTest::mouseClick(fixture.tab->sortButton(), Qt::LeftButton);
        QCOMPARE(fixture.items->itemAt(2), fourth);
        QTest::mouseClick(fixture.tab->removeButton(), Qt::LeftButton);
        QVERIFY(fixture.items->items().indexOf(fourth) < 0);
        QTest::mouseClick(fixture.tab->duplicateButton(), Qt::LeftButton);
        QTest::mouseClick(fixture.tab->editButton(), Qt::LeftButton);
        fixture.tab->onChangeShape();
        QCOMPARE(fixture.items->items().size(), 8);
        QVERIFY(!fixture.tab->itemDialog()->isVisible());
        QVERIFY(!app.window()->shapeSelectionDialog()->isVisible());

        QTRY_COMPARE(fixture.column(1), fixture.documentRadii());
        QCOMPARE(fixture.documentRadii(), QStringList({"5.00", "4.00", "3.00", "2.00", "1.00", "0.50", "0.25", "0.10"}));
        QCOMPARE(fixture.rowItemIds(), fixture.documentItemIds());
    }

    // "parent" stands over a colour that follows the world colour, and over one that cannot be read.
    void colourSwatches_data()
    {
        QTest::addColumn<QVariant>("data");
        QTest::addColumn<bool>("isParent");
        doc::Color color(nullptr);
        color.setStaticColor(QColor("#3366cc"));
        QTest::newRow("static") << color.toData() << false;
        color.setParentColor();
        QTest::newRow("parent") << color.toData() << true;
        QTest::newRow("unreadable")
            << QVariant(QVariantMap{{"hue", QVariantMap{{"functions", QVariantList{QVariantMap{{"identifier", "none"}}}}}}})
            << true;
    }

    void colourSwatches()
    {
        QFETCH(QVariant, data);
        QFETCH(bool, isParent);
        AppFixture app;
        const auto worldColor = app.controller().document()->properties()->worldColor();
        worldColor->setStaticColor(QColor("#e0e0a0"));
        auto* delegate = new ItemColorDelegate(worldColor, nullptr);
        QStandardItemModel model(1, 1);
        model.setData(model.index(0, 0), data, Qt::UserRole);
        QStyleOptionViewItem option;
        option.rect = QRect(0, 0, 160, 64);
        QImage image(option.rect.size(), QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        delegate->paint(&painter, option, model.index(0, 0));
        painter.end();
        int textPixels = 0;
        for (int x = 0; x < image.width(); ++x) {
            for (int y = 0; y < image.height(); ++y) {
                textPixels += image.pixelColor(x, y) == option.palette.color(QPalette::Text) ? 1 : 0;
            }
        }
        QCOMPARE(textPixels > 0, isParent);
        QCOMPARE(image.pixelColor(8, 8).name(), isParent ? QStringLiteral("#e0e0a0") : QStringLiteral("#3366cc"));

        // A change of the world colour forgets the swatches; a destroyed delegate hears no more of it.
        QCOMPARE(delegate->cachedSwatchCount(), 1);
        worldColor->setStaticColor(QColor("#101010"));
        QCOMPARE(delegate->cachedSwatchCount(), 0);
        delete delegate;
        worldColor->setStaticColor(QColor("#202020"));
    }
};

MOTIFEX_WIDGET_TEST_MAIN(ItemsTest)
#include "tst_items.moc"
