#include "editors/ItemsTab.h"

#include "app/ApplicationController.h"
#include "app/MainWindow.h"
#include "doc/Color.h"
#include "doc/Document.h"
#include "doc/Item.h"
#include "doc/Items.h"
#include "doc/Properties.h"
#include "editors/DialogRun.h"
#include "editors/ItemColorDelegate.h"
#include "editors/ItemEditDialog.h"
#include "editors/ShapeItemDelegate.h"
#include "editors/ShapeSelectionDialog.h"
#include "editors/StaticColorWidget.h"
#include "geo/Length.h"
#include "shape/Manager.h"
#include "widgets/ActionButton.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <utility>

namespace {

constexpr unsigned addGlyph = 0x002B;
constexpr unsigned editGlyph = 0xF304;
constexpr unsigned duplicateGlyph = 0xF24D;
constexpr unsigned removeGlyph = 0xF2ED;
constexpr unsigned sortGlyph = 0xF160;

constexpr int shapeColumn = 0;
constexpr int radiusColumn = 1;
constexpr int countColumn = 2;
constexpr int colorColumn = 3;
const QSize shapeCellSize(64, 64);
const QSize colorCellSize(128, 64);

// The radii (mm) and counts of the one-step context menus.
constexpr std::array<double, 18> radiusChoices{10, 9, 8, 7, 6, 5, 4, 3, 2.5, 2, 1.75, 1.5, 1.25, 1, 0.75, 0.5, 0.25, 0.1};
constexpr std::array<int, 14> countChoices{1, 2, 3, 4, 8, 16, 24, 32, 64, 128, 256, 512, 1024, 2048};

// Marks a pending rebuild of the whole list among the pending item identifiers.
const QString wholeList = QStringLiteral("*");
const QString itemsPathPrefix = QStringLiteral("items");
const QString worldColorPathPrefix = QStringLiteral("properties/worldColor");

QString millimeterText(geo::Length length)
{
    return QString::number(length.toDouble(), 'f', 2);
}

ShapeSelectionDialog* shapeSelectionDialog()
{
    auto* controller = ApplicationController::instance();
    MainWindow* window = controller != nullptr ? controller->mainWindow() : nullptr;
    return window != nullptr ? window->shapeSelectionDialog() : nullptr;
}

} // namespace

ItemsTab::ItemsTab(QWidget* parent)
    : PropertyTab(parent)
{
    initializeUi();
    initializeContextMenu();
    updateList();
}

void ItemsTab::initializeUi()
{
    setTitle(tr("Items"));
    initializeTree();
    initializeButtons();
    m_refreshTimer = new QTimer(this);
    m_refreshTimer->setSingleShot(true);
    m_refreshTimer->setInterval(refreshDelayMilliseconds);
    m_itemDialog = new ItemEditDialog(this);
    connect(m_tree, &QTreeWidget::itemSelectionChanged, this, &ItemsTab::onItemSelectionChanged);
    connect(m_itemDialog, &QDialog::finished, this, &ItemsTab::onEditFinished);
    connect(m_tree, &QTreeWidget::doubleClicked, this, &ItemsTab::onItemDoubleClicked);
    connect(m_refreshTimer, &QTimer::timeout, this, &ItemsTab::onItemsChanged);
    if (const auto* shapes = shape::Manager::instance()) {
        // A changed user shape has a new thumbnail.
        connect(shapes, &shape::Manager::shapeChanged, m_tree->viewport(), qOverload<>(&QWidget::update));
    }
    onItemSelectionChanged();
}

void ItemsTab::initializeTree()
{
    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("itemList"));
    m_tree->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::MinimumExpanding);
    m_tree->setHeaderLabels({tr("Shape"), tr("Radius"), tr("Count"), tr("Color")});
    m_tree->setAllColumnsShowFocus(true);
    m_tree->setRootIsDecorated(false);
    m_tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_tree->header()->setStretchLastSection(true);
    m_tree->setUniformRowHeights(true);
    m_tree->setAlternatingRowColors(true);
    m_tree->setFrameShape(QFrame::NoFrame);
    mainLayout()->addWidget(m_tree, 10);
    m_tree->setItemDelegateForColumn(shapeColumn, new ShapeItemDelegate(this));
    m_colorDelegate = new ItemColorDelegate(document()->properties()->worldColor(), this);
    m_tree->setItemDelegateForColumn(colorColumn, m_colorDelegate);
}

void ItemsTab::initializeButtons()
{
    auto* row = new QHBoxLayout();
    const auto addButton = [this, row](unsigned glyph, const QString& toolTip, void (ItemsTab::*slot)()) {
        auto* button = new ActionButton(glyph, this);
        button->setToolTip(toolTip);
        connect(button, &QToolButton::clicked, this, slot);
        row->addWidget(button);
        return button;
    };
    m_addButton = addButton(addGlyph, tr("Add a new item to the list."), &ItemsTab::onAddItem);
    m_editButton = addButton(editGlyph, tr("Edit the selected item."), &ItemsTab::onEditItem);
    m_duplicateButton = addButton(duplicateGlyph, tr("Duplicate the selected item."), &ItemsTab::onDuplicateItem);
    row->addSpacing(8);
    m_removeButton = addButton(removeGlyph, tr("Remove the selected item."), &ItemsTab::onRemoveItem);
    row->addSpacing(8);
    m_sortButton = addButton(sortGlyph, tr("Sort the items in the order the generator will use them."),
                             &ItemsTab::onSort);
    row->addStretch(10);
    mainLayout()->addLayout(row);
}

void ItemsTab::initializeContextMenu()
{
    m_tree->setContextMenuPolicy(Qt::ActionsContextMenu);
    QAction* changeShape = new QAction(tr("Change shape..."), this);
    connect(changeShape, &QAction::triggered, this, &ItemsTab::onChangeShape);
    QMenu* radiusMenu = createRadiusMenu();
    QMenu* countMenu = createCountMenu();
    QMenu* colorMenu = StaticColorWidget::createColorMenu(true, this, SLOT(onChangeColor()));
    // The tab owns the menu.
    colorMenu->setParent(this, colorMenu->windowFlags());
    colorMenu->setTitle(tr("Color"));
    QAction* remove = new QAction(tr("Remove"), this);
    connect(remove, &QAction::triggered, this, &ItemsTab::onRemoveItem);
    QAction* duplicate = new QAction(tr("Duplicate"), this);
    connect(duplicate, &QAction::triggered, this, &ItemsTab::onDuplicateItem);
    QAction* edit = new QAction(tr("Edit..."), this);
    connect(edit, &QAction::triggered, this, &ItemsTab::onEditItem);
    m_itemActions = {changeShape,   radiusMenu->menuAction(), countMenu->menuAction(), colorMenu->menuAction(),
                     remove,        duplicate,                edit};
    m_tree->addActions(m_itemActions);
    onItemSelectionChanged();
}

QMenu* ItemsTab::createRadiusMenu()
{
    auto* menu = new QMenu(tr("Radius"), this);
    for (const double millimeters : radiusChoices) {
        QAction* action = menu->addAction(tr("%1 mm").arg(millimeters, 0, 'f', 2));
        action->setData(millimeters);
        connect(action, &QAction::triggered, this, &ItemsTab::onChangeRadius);
    }
    return menu;
}

QMenu* ItemsTab::createCountMenu()
{
    auto* menu = new QMenu(tr("Count"), this);
    for (const int count : countChoices) {
        QAction* action = menu->addAction(QString::number(count));
        action->setData(count);
        connect(action, &QAction::triggered, this, &ItemsTab::onChangeCount);
    }
    return menu;
}

std::shared_ptr<doc::Items> ItemsTab::items() const
{
    return document()->items();
}

int ItemsTab::currentRow() const
{
    const QModelIndex current = m_tree->currentIndex();
    return current.isValid() ? current.row() : -1;
}

int ItemsTab::rowForItemId(const QString& itemId) const
{
    for (int row = 0; row < m_tree->topLevelItemCount(); ++row) {
        if (m_tree->topLevelItem(row)->data(shapeColumn, itemIdRole).toString() == itemId) {
            return row;
        }
    }
    return -1;
}

std::shared_ptr<doc::Item> ItemsTab::itemForRow(int row) const
{
    const QTreeWidgetItem* treeItem = m_tree->topLevelItem(row);
    return treeItem != nullptr ? items()->item(treeItem->data(shapeColumn, itemIdRole).toString()) : nullptr;
}

std::shared_ptr<doc::Item> ItemsTab::selectedItem() const
{
    QTreeWidgetItem* current = m_tree->currentItem();
    if (current == nullptr || !current->isSelected()) {
        return nullptr;
    }
    return itemForRow(m_tree->indexOfTopLevelItem(current));
}

QString ItemsTab::radiusText(const doc::Item& item)
{
    const QString radius = millimeterText(item.radius());
    if (item.radiusTransition().isEmpty()) {
        return radius;
    }
    return QStringLiteral("%1\n↓ %2\n%3").arg(radius, item.radiusTransition(), millimeterText(item.radiusEnd()));
}

void ItemsTab::onItemSelectionChanged()
{
    const bool isRowSelected = !m_tree->selectedItems().isEmpty();
    m_removeButton->setEnabled(isRowSelected && m_tree->topLevelItemCount() > 0);
    m_editButton->setEnabled(isRowSelected);
    m_duplicateButton->setEnabled(isRowSelected);
    // The context menu offers its item actions by the same rule: never for an unselected row.
    for (QAction* action : std::as_const(m_itemActions)) {
        action->setEnabled(isRowSelected);
    }
}

void ItemsTab::onEditFinished(int /*result*/)
{
}

void ItemsTab::onSort()
{
    items()->sort();
}

void ItemsTab::onAddItem()
{
    m_itemDialog->setMode(ItemEditDialog::Mode::New);
    const std::shared_ptr<doc::Item> item = items()->addItem();
    openItemDialog(item);
    selectItemLater(item->itemId());
}

void ItemsTab::onRemoveItem()
{
    if (const std::shared_ptr<doc::Item> item = selectedItem()) {
        items()->removeItem(static_cast<int>(items()->items().indexOf(item)));
    }
}

void ItemsTab::onDuplicateItem()
{
    const std::shared_ptr<doc::Item> item = selectedItem();
    if (item == nullptr) {
        return;
    }
    if (const auto copy = items()->duplicateItem(static_cast<int>(items()->items().indexOf(item)))) {
        selectItemLater(copy->itemId());
    }
}

void ItemsTab::onEditItem()
{
    if (selectedItem() != nullptr) {
        editItem(currentRow());
    }
}

void ItemsTab::onItemDoubleClicked(const QModelIndex& index)
{
    if (index.isValid()) {
        editItem(index.row());
    }
}

void ItemsTab::editItem(int row)
{
    if (const std::shared_ptr<doc::Item> item = itemForRow(row)) {
        m_itemDialog->setMode(ItemEditDialog::Mode::Edit);
        openItemDialog(item);
    }
}

void ItemsTab::openItemDialog(const std::shared_ptr<doc::Item>& item)
{
    m_itemDialog->setItem(item);
    m_itemDialog->open();
}

void ItemsTab::onChangeShape()
{
    const std::shared_ptr<doc::Item> item = selectedItem();
    ShapeSelectionDialog* dialog = shapeSelectionDialog();
    if (item == nullptr || dialog == nullptr) {
        return;
    }
    m_chosenItemId = item->itemId();
    dialog->setAllowDefault(true);
    dialog->setSelectedShapeId(item->shapeId());
    DialogRun::open(dialog, this, [this](int result) {
        if (result == QDialog::Accepted) {
            onShapeSelectionConfirmed();
        }
    });
}

void ItemsTab::onShapeSelectionConfirmed()
{
    const std::shared_ptr<doc::Item> item = items()->item(m_chosenItemId);
    const ShapeSelectionDialog* dialog = shapeSelectionDialog();
    if (item != nullptr && dialog != nullptr) {
        item->setShapeId(dialog->selectedShapeId());
    }
}

void ItemsTab::onChangeRadius()
{
    const auto* action = qobject_cast<QAction*>(sender());
    const std::shared_ptr<doc::Item> item = selectedItem();
    if (action == nullptr || item == nullptr) {
        return;
    }
    item->setRadius(geo::Length::fromDouble(action->data().toDouble()));
    item->setRadiusTransition(QString());
    item->setRadiusEnd(geo::Length(0));
}

void ItemsTab::onChangeCount()
{
    const auto* action = qobject_cast<QAction*>(sender());
    if (const std::shared_ptr<doc::Item> item = action != nullptr ? selectedItem() : nullptr) {
        item->setCount(action->data().toInt());
    }
}

void ItemsTab::onChangeColor()
{
    const auto* action = qobject_cast<QAction*>(sender());
    const std::shared_ptr<doc::Item> item = selectedItem();
    if (action == nullptr || item == nullptr) {
        return;
    }
    const QColor color = action->data().value<QColor>();
    if (color.isValid()) {
        item->color()->setStaticColor(color);
    } else {
        item->color()->setParentColor();
    }
}

void ItemsTab::onDocumentPropertyChanged(const QString& path, const doc::DocumentElement* /*element*/)
{
    if (path.startsWith(worldColorPathPrefix)) {
        // Swatches of inheriting colours show the world colour.
        m_tree->viewport()->update();
        return;
    }
    if (path.startsWith(itemsPathPrefix)) {
        scheduleRefresh(path.section(QLatin1Char('/'), 1, 1));
    }
}

void ItemsTab::onDocumentElementAdded(const QString& path)
{
    if (path.startsWith(itemsPathPrefix)) {
        scheduleRefresh(wholeList);
    }
}

void ItemsTab::onDocumentElementRemoved(const QString& path)
{
    if (path.startsWith(itemsPathPrefix)) {
        scheduleRefresh(wholeList);
    }
}

void ItemsTab::onDocumentElementReset()
{
    scheduleRefresh(wholeList);
}

void ItemsTab::scheduleRefresh(const QString& itemId)
{
    // A pending rebuild covers any row; only a further rebuild request postpones it.
    if (itemId == wholeList) {
        m_pendingItemIds = {wholeList};
    } else if (m_pendingItemIds.contains(wholeList)) {
        return;
    } else {
        m_pendingItemIds.insert(itemId);
    }
    m_refreshTimer->start();
}

void ItemsTab::onItemsChanged()
{
    if (m_pendingItemIds.isEmpty()) {
        return;
    }
    const QSet<QString> pending = std::exchange(m_pendingItemIds, {});
    if (pending.contains(wholeList)) {
        updateList();
        return;
    }
    for (const QString& itemId : pending) {
        const std::shared_ptr<doc::Item> item = items()->item(itemId);
        const int row = rowForItemId(itemId);
        if (item != nullptr && row >= 0) {
            updateTreeItem(m_tree->topLevelItem(row), item);
        }
    }
    m_tree->viewport()->update();
}

void ItemsTab::selectItemLater(const QString& itemId)
{
    QTimer::singleShot(selectionDelayMilliseconds, this, [this, itemId] {
        // Changes that kept coming may still hold the refresh back: the row must exist first.
        if (m_refreshTimer->isActive()) {
            m_refreshTimer->stop();
            onItemsChanged();
        }
        const int row = rowForItemId(itemId);
        if (row >= 0) {
            m_tree->setCurrentItem(m_tree->topLevelItem(row), shapeColumn);
        }
        onItemSelectionChanged();
    });
}

void ItemsTab::updateList()
{
    const int rememberedRow = currentRow();
    m_tree->clear();
    for (const std::shared_ptr<doc::Item>& item : items()->items()) {
        updateTreeItem(new QTreeWidgetItem(m_tree), item);
    }
    const int row = std::min(rememberedRow, m_tree->topLevelItemCount() - 1);
    if (row >= 0) {
        m_tree->setCurrentItem(m_tree->topLevelItem(row), shapeColumn);
    }
}

void ItemsTab::updateTreeItem(QTreeWidgetItem* treeItem, const std::shared_ptr<doc::Item>& item)
{
    treeItem->setSizeHint(shapeColumn, shapeCellSize);
    treeItem->setSizeHint(colorColumn, colorCellSize);
    treeItem->setText(shapeColumn, item->shapeId());
    treeItem->setData(shapeColumn, Qt::UserRole, item->shapeId());
    treeItem->setData(shapeColumn, itemIdRole, item->itemId());
    treeItem->setText(radiusColumn, radiusText(*item));
    treeItem->setData(radiusColumn, Qt::UserRole, item->radius().toDouble());
    treeItem->setText(countColumn, QString::number(item->count()));
    treeItem->setData(countColumn, Qt::UserRole, item->count());
    treeItem->setText(colorColumn, item->color()->toString());
    treeItem->setData(colorColumn, Qt::UserRole, item->color()->toData());
}
