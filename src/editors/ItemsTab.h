#pragma once

#include "editors/PropertyTab.h"

#include <QSet>
#include <QString>

#include <memory>

class ActionButton;
class ItemColorDelegate;
class ItemEditDialog;
class QAction;
class QMenu;
class QModelIndex;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace doc {
class Item;
class Items;
} // namespace doc

// "Items": the document's item definitions as a list of shape, radius, count and colour, with buttons
// and a context menu to add, edit, duplicate, remove and sort them and to change an item's shape,
// radius, count or colour in one step; the item dialog edits one item fully.
//
// The list follows the document 50 ms behind it: changes of one item update its row, additions,
// removals and resets rebuild the list. A row therefore stands for an item by its identifier, and
// every operation looks the item up in the document by it: a row whose item has gone does nothing.
class ItemsTab : public PropertyTab
{
    Q_OBJECT

public:
    static constexpr int refreshDelayMilliseconds = 50;
    // Longer than the refresh, so that a new or copied item is selected in the rebuilt list.
    static constexpr int selectionDelayMilliseconds = 100;
    // Column 0 of a row holds its item's identifier under this role.
    static constexpr int itemIdRole = Qt::UserRole + 1;

    explicit ItemsTab(QWidget* parent);

    // Rebuilds every row, keeping the current row number where the list is long enough.
    void updateList();
    void updateTreeItem(QTreeWidgetItem* treeItem, const std::shared_ptr<doc::Item>& item);
    // Opens the item dialog for the row's item.
    void editItem(int row);

    // The document's item that the row stands for; null when there is none (any more).
    std::shared_ptr<doc::Item> itemForRow(int row) const;
    // The item of the current row when that row is selected; null otherwise.
    std::shared_ptr<doc::Item> selectedItem() const;

    // "4.00", or with a transition "4.00\n↓ linear\n1.00".
    static QString radiusText(const doc::Item& item);

    QTreeWidget* itemList() const { return m_tree; }
    ItemEditDialog* itemDialog() const { return m_itemDialog; }
    ItemColorDelegate* colorDelegate() const { return m_colorDelegate; }
    ActionButton* addButton() const { return m_addButton; }
    ActionButton* editButton() const { return m_editButton; }
    ActionButton* duplicateButton() const { return m_duplicateButton; }
    ActionButton* removeButton() const { return m_removeButton; }
    ActionButton* sortButton() const { return m_sortButton; }

    void onDocumentPropertyChanged(const QString& path, const doc::DocumentElement* element) override;
    void onDocumentElementAdded(const QString& path) override;
    void onDocumentElementRemoved(const QString& path) override;
    void onDocumentElementReset() override;

public slots:
    void onItemSelectionChanged();
    void onEditFinished(int result);
    void onSort();
    void onAddItem();
    void onRemoveItem();
    void onDuplicateItem();
    void onEditItem();
    void onItemDoubleClicked(const QModelIndex& index);
    void onItemsChanged();
    void onChangeShape();
    void onChangeRadius();
    void onChangeCount();
    void onChangeColor();
    void onShapeSelectionConfirmed();

private:
    void initializeUi();
    void initializeTree();
    void initializeButtons();
    void initializeContextMenu();
    QMenu* createRadiusMenu();
    QMenu* createCountMenu();

    std::shared_ptr<doc::Items> items() const;
    int currentRow() const;
    int rowForItemId(const QString& itemId) const;
    // Refreshes the item's row, or with "*" the whole list, once the document has been quiet for a moment.
    void scheduleRefresh(const QString& itemId);
    // Makes the item's row current once the list has caught up with the document.
    void selectItemLater(const QString& itemId);
    void openItemDialog(const std::shared_ptr<doc::Item>& item);

    QTimer* m_refreshTimer = nullptr;
    QSet<QString> m_pendingItemIds;
    // The item of the running shape change, by identifier: it may be removed meanwhile.
    QString m_chosenItemId;
    ItemEditDialog* m_itemDialog = nullptr;
    QTreeWidget* m_tree = nullptr;
    ItemColorDelegate* m_colorDelegate = nullptr;
    ActionButton* m_addButton = nullptr;
    ActionButton* m_removeButton = nullptr;
    ActionButton* m_sortButton = nullptr;
    ActionButton* m_editButton = nullptr;
    ActionButton* m_duplicateButton = nullptr;
    // The context menu entries that act on the selected item.
    QList<QAction*> m_itemActions;
};
