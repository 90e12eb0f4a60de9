#include "app/FileIO.h"
#include "doc/Color.h"
#include "doc/DynamicValue.h"
#include "doc/Item.h"
#include "doc/Items.h"
#include "editors/ColorPreviewWidget.h"
#include "editors/ColorWidget.h"
#include "editors/DynamicValueInputWidget.h"
#include "editors/DynamicValueWidget.h"
#include "editors/ItemColorDelegate.h"
#include "editors/ItemEditDialog.h"
#include "editors/ItemsTab.h"
#include "editors/ShapeSelectionDialog.h"
#include "editors/StaticColorWidget.h"
#include "editors/TransitionBox.h"
#include "editors/TransitionSelectDialog.h"
#include "shape/Manager.h"
#include "support/EditorTesting.h"
#include "widgets/ActionButton.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTreeWidget>

using namespace motifex::test;

namespace {

// The items tab shown, once its list has caught up with the start-up's new document.
struct Tab {
    explicit Tab(AppFixture& app)
        : app(app), items(app.controller().document()->items()), tab(app.window()->propertiesFrame()->itemsTab()),
          list(tab->itemList())
    {
        app.window()->propertiesFrame()->showTab(tab);
        QTRY_COMPARE(column(-1), texts([](const doc::Item& item) { return item.itemId(); }));
    }

    // The texts of a column; -1 gives the item identifiers of the rows.
    QStringList column(int column) const
    {
        QStringList texts;
        for (int row = 0; row < list->topLevelItemCount(); ++row) {
            const QTreeWidgetItem* item = list->topLevelItem(row);
            texts.append(column < 0 ? item->data(0, ItemsTab::itemIdRole).toString() : item->text(column));
        }
        return texts;
    }

    QStringList texts(const std::function<QString(const doc::Item&)>& text) const
    {
        QStringList texts;
        for (const auto& item : items->items()) {
            texts.append(text(*item));
        }
        return texts;
    }

    void click(int row, Qt::KeyboardModifiers modifiers = {}) const
    {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, centre(row));
    }
    QPoint centre(int row) const { return list->visualItemRect(list->topLevelItem(row)).center(); }

    // Right-clicks the row (-1: the empty space below the rows) and chooses the entry.
    bool choose(int row, const QStringList& entry) const
    {
        const QPoint position = row >= 0 ? centre(row) : QPoint(8, list->viewport()->height() - 8);
        return chooseMenuEntry([this, position] { contextClick(list->viewport(), position); }, entry);
    }

    QList<bool> itemActionStates() const
    {
        QList<bool> states{tab->editButton()->isEnabled(), tab->duplicateButton()->isEnabled(),
                           tab->removeButton()->isEnabled()};
        for (const QAction* action : list->actions()) {
            states.append(action->isEnabled());
        }
        return states;
    }

    AppFixture& app;
    std::shared_ptr<doc::Items> items;
    ItemsTab* tab;
    QTreeWidget* list;
};

void pickTransition(AppFixture& app, TransitionBox* box, const QString& identifier)
{
    TransitionSelectDialog* chooser = app.window()->transitionSelect();
    QTest::mouseClick(box, Qt::LeftButton);
    QTRY_VERIFY(chooser->isVisible());
    clickRow(chooser->functionList(), rowWithData(chooser->functionList(), identifier));
    QTest::mouseClick(chooser->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    QTRY_COMPARE(box->value(), identifier);
}

} // namespace

class ItemsTest : public QObject
{
    Q_OBJECT

private slots:
    void buttonsAndContextMenu()
    {
        AppFixture app;
        Tab tab(app);
        QCOMPARE(QStringList({tab.tab->addButton()->toolTip(), tab.tab->editButton()->toolTip(),
                              tab.tab->duplicateButton()->toolTip(), tab.tab->removeButton()->toolTip(),
                              tab.tab->sortButton()->toolTip()}),
                 QStringList({"Add a new item to the list.", "Edit the selected item.", "Duplicate the selected item.",
                              "Remove the selected item.", "Sort the items in the order the generator will use them."}));
        const QList<QAction*> actions = tab.list->actions();
        QCOMPARE(actionTexts(actions), QStringList({"Change shape...", "Radius", "Count", "Color", "Remove", "Duplicate", "Edit..."}));
        const QStringList radii = actionTexts(actions.at(1)->menu()->actions());
        QCOMPARE(radii.size(), 18);
        QCOMPARE(QStringList({radii.first(), radii.at(8), radii.last()}), QStringList({"10.00 mm", "2.50 mm", "0.10 mm"}));
        QCOMPARE(actionTexts(actions.at(2)->menu()->actions()),
                 QStringList({"1", "2", "3", "4", "8", "16", "24", "32", "64", "128", "256", "512", "1024", "2048"}));
        QVERIFY(actions.at(3)->menu()->findChild<QAction*>(StaticColorWidget::defaultEntryObjectName) != nullptr);
        QCOMPARE(tab.itemActionStates(), QList<bool>(10, false));
        QVERIFY(tab.tab->addButton()->isEnabled() && tab.tab->sortButton()->isEnabled());
        const QPushButton* reset = tab.tab->itemDialog()->resetButton();
        QCOMPARE(reset->toolTip(), QStringLiteral("Reset the values back to the state before you started editing them."));
        QVERIFY(!reset->autoDefault());
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
        QTest::newRow("preset") << QStringList({"Color", "Regular", " " + firstRegular}) << before << "8" << firstRegular;
        QTest::newRow("default") << QStringList({"Color", "Default"}) << before << "8" << "parent";
    }

    void contextMenuChangesTheItem()
    {
        QFETCH(QStringList, entry);
        QFETCH(QString, radius);
        QFETCH(QString, count);
        QFETCH(QString, color);
        AppFixture app;
        Tab tab(app);
        const auto item = tab.items->itemAt(2);
        item->setRadiusTransition("linear");
        item->setRadiusEnd(geo::Length(1000000));
        item->color()->setStaticColor(QColor("#3366cc"));
        QVERIFY(tab.choose(2, entry));
        QTRY_COMPARE(QStringList({tab.column(1).value(2), tab.column(2).value(2)}), QStringList({radius, count}));
        QCOMPARE(item->color()->isParentColor() ? QStringLiteral("parent") : item->color()->staticColour().name(), color);
        QCOMPARE(item->radiusEnd() == geo::Length(0), item->radiusTransition().isEmpty());
    }

    void itemActionsNeedASelectedRow()
    {
        AppFixture app;
        Tab tab(app);
        for (int removed = 0; removed < 6; ++removed) {
            tab.items->removeItem(2);
        }
        QTRY_COMPARE(tab.list->topLevelItemCount(), 2);
        tab.click(1);
        QCOMPARE(tab.itemActionStates(), QList<bool>(10, true));
        tab.click(1, Qt::ControlModifier);
        QCOMPARE(tab.list->currentIndex().row(), 1);
        QCOMPARE(tab.itemActionStates(), QList<bool>(10, false));
        QVERIFY(!tab.choose(-1, {"Count", "2048"}));
        QCOMPARE(tab.column(2), QStringList({"1", "4"}));
        for (const int remaining : {1, 0}) {
            tab.click(0);
            QTest::mouseClick(tab.tab->removeButton(), Qt::LeftButton);
            QTRY_COMPARE(tab.list->topLevelItemCount(), remaining);
        }
        QCOMPARE(tab.itemActionStates(), QList<bool>(10, false));
    }

    void changeShapeStartsAtTheItemsShape()
    {
        AppFixture app;
        Tab tab(app);
        const QString star = shape::Manager::instance()->shape(20)->identifier();
        tab.items->itemAt(1)->setShapeId(star);
        ShapeSelectionDialog* dialog = app.window()->shapeSelectionDialog();
        for (const int row : {1, 2}) {
            QVERIFY(tab.choose(row, {"Change shape..."}));
            QTRY_VERIFY(dialog->isVisible());
            QCOMPARE(dialog->selectedShapeId(), row == 1 ? star : QString());
            QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
            QVERIFY(runQueuedCalls());
        }
        QCOMPARE(tab.texts([](const doc::Item& item) { return item.shapeId(); }).mid(1, 2), QStringList({star, ""}));
    }

    void addEditDuplicateAndSort()
    {
        AppFixture app;
        Tab tab(app);
        ItemEditDialog* dialog = tab.tab->itemDialog();
        QTest::mouseClick(tab.tab->addButton(), Qt::LeftButton);
        QCOMPARE(dialog->titleLabel()->text(), QStringLiteral("<h2>Edit New Item</h2>"));
        QCOMPARE(dialog->item(), tab.items->itemAt(8));
        QTRY_COMPARE(tab.list->currentIndex().row(), 8);
        QTest::keyClick(dialog, Qt::Key_Escape);
        doubleClickIndex(tab.list, tab.list->model()->index(2, 1));
        QTRY_VERIFY(dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Edit Item"));
        QCOMPARE(dialog->item(), tab.items->itemAt(2));
        QTest::keyClick(dialog, Qt::Key_Escape);
        QTest::mouseClick(tab.tab->duplicateButton(), Qt::LeftButton);
        QTRY_COMPARE(tab.list->currentIndex().row(), 3);

        // Stable: the three 4 mm items keep their order; the project stays marked as changed.
        const QStringList ids = tab.texts([](const doc::Item& item) { return item.itemId(); });
        QTest::mouseClick(tab.tab->sortButton(), Qt::LeftButton);
        QCOMPARE(tab.texts([](const doc::Item& item) { return ItemsTab::radiusText(item); }),
                 QStringList({"6.00", "5.00", "4.00", "4.00", "4.00", "3.00", "2.00", "1.00", "0.50", "0.25"}));
        QCOMPARE(tab.texts([](const doc::Item& item) { return item.itemId(); }).mid(2, 3),
                 QStringList({ids.at(2), ids.at(3), ids.at(9)}));
        QTRY_COMPARE(tab.column(-1), tab.texts([](const doc::Item& item) { return item.itemId(); }));
        QVERIFY(app.window()->fileIO()->hasUnsavedChanges() && app.window()->isWindowModified());
    }

    // Clicks faster than the list follows: each acts on the item its row shows, or on nothing.
    void quickSuccession()
    {
        AppFixture app;
        Tab tab(app);
        const auto fourth = tab.items->itemAt(3);
        tab.items->itemAt(0)->setRadius(geo::Length(100000));
        QTRY_COMPARE(tab.list->topLevelItem(0)->text(1), QStringLiteral("0.10"));
        tab.click(3);
        for (ActionButton* button : {tab.tab->duplicateButton(), tab.tab->sortButton(), tab.tab->removeButton(),
                                     tab.tab->duplicateButton(), tab.tab->editButton()}) {
            QTest::mouseClick(button, Qt::LeftButton);
        }
        tab.tab->onChangeShape();
        QVERIFY(tab.items->items().indexOf(fourth) < 0);
        QVERIFY(!tab.tab->itemDialog()->isVisible() && !app.window()->shapeSelectionDialog()->isVisible());
        QTRY_COMPARE(tab.column(-1), tab.texts([](const doc::Item& item) { return item.itemId(); }));
        QCOMPARE(tab.column(1), QStringList({"5.00", "4.00", "3.00", "2.00", "1.00", "0.50", "0.25", "0.10"}));
    }

    // A transition picked for a constant item starts half a millimetre below the radius where there is
    // room; no transition stores an end radius of 0; a lower begin lowers the end; reset restores all.
    void itemDialog_data()
    {
        QTest::addColumn<QString>("typedBegin");
        QTest::addColumn<double>("shownEnd");
        QTest::newRow("4.00") << "4" << 3.5;
        QTest::newRow("0.50") << "0.5" << 0.01;
    }

    void itemDialog()
    {
        QFETCH(QString, typedBegin);
        QFETCH(double, shownEnd);
        AppFixture app;
        const auto item = app.controller().document()->items()->itemAt(2);
        const QVariant startingData = item->toData();
        ChangeRecorder recorder(app.controller().document());
        ItemEditDialog dialog(app.window());
        dialog.setItem(item);
        dialog.open();
        QCOMPARE(recorder.records(), QStringList());
        QVERIFY(!dialog.radiusEndBox()->isEnabled());
        QCOMPARE(dialog.countBox()->value(), 8);

        typeAndLeave(dialog.radiusBeginBox(), typedBegin);
        pickTransition(app, dialog.transitionBox(), "linear");
        QVERIFY(dialog.radiusEndBox()->isEnabled());
        QCOMPARE(dialog.radiusEndBox()->value(), shownEnd);
        QCOMPARE(item->radiusEnd(), geo::Length::fromDouble(shownEnd));
        typeAndLeave(dialog.radiusBeginBox(), "0.3");
        QCOMPARE(dialog.radiusEndBox()->value(), std::min(shownEnd, 0.3));
        QCOMPARE(item->radiusEnd(), geo::Length::fromDouble(std::min(shownEnd, 0.3)));
        pickTransition(app, dialog.transitionBox(), "");
        QVERIFY(!dialog.radiusEndBox()->isEnabled());
        QCOMPARE(item->radiusEnd(), geo::Length(0));

        typeAndLeave(dialog.countBox(), "99");
        QTreeWidget* list = app.window()->propertiesFrame()->itemsTab()->itemList();
        QTRY_COMPARE(list->topLevelItem(2)->text(2), QStringLiteral("99"));
        item->color()->setStaticColor(QColor("#3366cc"));
        dialog.tabWidget()->setCurrentIndex(2);
        QTest::mouseClick(dialog.rotationEditor()->inputWidget()->button(doc::DynamicValueInput::X), Qt::LeftButton);
        QTRY_COMPARE(item->rotation()->input(), doc::DynamicValueInput::X);
        QTest::mouseClick(dialog.resetButton(), Qt::LeftButton);
        QCOMPARE(item->toData(), startingData);
        QTRY_COMPARE(list->topLevelItem(2)->text(2), QStringLiteral("8")); // the reset reaches the item list
        QCOMPARE(QList<double>({dialog.radiusBeginBox()->value(), double(dialog.countBox()->value())}), QList<double>({4, 8}));
        QCOMPARE(dialog.rotationEditor()->inputWidget()->inputValue(), doc::DynamicValueInput::Parent);
        QTRY_VERIFY(dialog.colorWidget()->preview()->parentButton()->isChecked());
        QVERIFY(dialog.isVisible());
    }

    // A pick is one edit: each value it changes is announced once, the end radius only when it changes
    // (a transition replacing another keeps the end as stored, off the box's 0.01 mm grid included).
    void transitionPickIsOneChange_data()
    {
        QTest::addColumn<qint64>("radius");
        QTest::addColumn<QString>("transition");
        QTest::addColumn<qint64>("radiusEnd");
        QTest::addColumn<QString>("picked");
        QTest::addColumn<QStringList>("changes");
        QTest::addColumn<qint64>("storedEnd");
        QTest::addColumn<double>("shownEnd");
        const QStringList both{"changed radiusTransition", "changed radiusEnd"};
        QTest::newRow("none to linear, begin 4.00") << qint64(4000000) << "" << qint64(0) << "linear" << both
                                                    << qint64(3500000) << 3.5;
        QTest::newRow("none to linear, begin 0.50") << qint64(500000) << "" << qint64(0) << "linear" << both
                                                    << qint64(10000) << 0.01;
        QTest::newRow("linear to log") << qint64(4000000) << "linear" << qint64(3456789) << "log"
                                       << QStringList{"changed radiusTransition"} << qint64(3456789) << 3.46;
        QTest::newRow("log to none") << qint64(4000000) << "log" << qint64(3000000) << "" << both << qint64(0) << 0.0;
    }

    void transitionPickIsOneChange()
    {
        QFETCH(QString, picked);
        AppFixture app;
        const auto item = app.controller().document()->items()->itemAt(2);
        QFETCH(qint64, radius);
        QFETCH(QString, transition);
        QFETCH(qint64, radiusEnd);
        item->setRadius(geo::Length(radius));
        item->setRadiusTransition(transition);
        item->setRadiusEnd(geo::Length(radiusEnd));
        ItemEditDialog dialog(app.window());
        dialog.setItem(item);
        dialog.open();
        ChangeRecorder recorder(item);
        pickTransition(app, dialog.transitionBox(), picked);
        QTEST(recorder.records(), "changes");
        QCOMPARE(item->radiusTransition(), picked);
        QTEST(item->radiusEnd().value(), "storedEnd");
        QTEST(dialog.radiusEndBox()->value(), "shownEnd");
        QCOMPARE(dialog.radiusEndBox()->isEnabled(), !picked.isEmpty());
    }

    // "parent" stands over a colour that follows the world colour, and over one that cannot be read.
    void colourSwatches_data()
    {
        QTest::addColumn<QVariant>("data");
        QTest::addColumn<QString>("swatch");
        doc::Color color(nullptr);
        color.setStaticColor(QColor("#3366cc"));
        QTest::newRow("static") << color.toData() << "#3366cc";
        color.setParentColor();
        QTest::newRow("parent") << color.toData() << "parent";
        QTest::newRow("unreadable") << QVariant(QVariantMap{{"hue", QVariantMap{{"functions", QVariantList{QVariantMap{{"identifier", "x"}}}}}}}) << "parent";
    }

    void colourSwatches()
    {
        QFETCH(QVariant, data);
        QFETCH(QString, swatch);
        AppFixture app;
        const auto worldColor = app.controller().document()->properties()->worldColor();
        worldColor->setStaticColor(QColor("#e0e0a0"));
        auto delegate = std::make_unique<ItemColorDelegate>(worldColor, nullptr);
        QStandardItemModel model(1, 1);
        model.setData(model.index(0, 0), data, Qt::UserRole);
        QStyleOptionViewItem option;
        option.rect = QRect(0, 0, 160, 64);
        QImage image(option.rect.size(), QImage::Format_ARGB32);
        QPainter painter(&image);
        delegate->paint(&painter, option, model.index(0, 0));
        painter.end();
        bool hasText = false;
        for (int x = 40; x < 120; ++x) {
            hasText = hasText || image.pixelColor(x, 32) != image.pixelColor(8, 8);
        }
        QCOMPARE(hasText ? QStringLiteral("parent") : image.pixelColor(80, 32).name(), swatch);
        QCOMPARE(image.pixelColor(8, 8).name(), swatch == "parent" ? QStringLiteral("#e0e0a0") : swatch);

        // A change of the world colour forgets the swatches; a destroyed delegate hears no more of it.
        QCOMPARE(delegate->cachedSwatchCount(), 1);
        worldColor->setStaticColor(QColor("#101010"));
        QCOMPARE(delegate->cachedSwatchCount(), 0);
        delegate.reset();
        worldColor->setStaticColor(QColor("#202020"));
    }
};

MOTIFEX_WIDGET_TEST_MAIN(ItemsTest)
#include "tst_items.moc"
