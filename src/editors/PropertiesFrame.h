#pragma once

#include <QFrame>

class QMenu;
class QMenuBar;
class QTabWidget;

class CanvasTab;
class ColorTab;
class ItemsTab;
class MainTab;
class MetaTab;
class OrderTab;
class PropertyTab;
class RotationTab;

// The left-hand panel: the seven property tabs through which the whole document is edited, and the
// View menu that switches between them.
class PropertiesFrame : public QFrame
{
    Q_OBJECT

public:
    explicit PropertiesFrame(QWidget* parent);

    // Adds the "&View" menu with one action per tab (Ctrl+1 .. Ctrl+7).
    void initializeMenu(QMenuBar* menuBar);

    QTabWidget* tabWidget() const { return m_tabWidget; }
    // Null until initializeMenu.
    QMenu* viewMenu() const { return m_viewMenu; }

    MainTab* mainTab() const { return m_mainTab; }
    CanvasTab* canvasTab() const { return m_canvasTab; }
    RotationTab* rotationTab() const { return m_rotationTab; }
    OrderTab* orderTab() const { return m_orderTab; }
    ColorTab* colorTab() const { return m_colorTab; }
    ItemsTab* itemsTab() const { return m_itemsTab; }
    MetaTab* metaTab() const { return m_metaTab; }

    // The tab on the page at that index (each page scrolls its tab), or null.
    PropertyTab* tab(int index) const;
    // Makes the page that holds the tab current, as a click on its icon does.
    void showTab(PropertyTab* tab);

private:
    void initializeUi();
    void createTabs();

    QTabWidget* m_tabWidget = nullptr;
    QMenu* m_viewMenu = nullptr;
    MainTab* m_mainTab = nullptr;
    CanvasTab* m_canvasTab = nullptr;
    RotationTab* m_rotationTab = nullptr;
    OrderTab* m_orderTab = nullptr;
    ColorTab* m_colorTab = nullptr;
    ItemsTab* m_itemsTab = nullptr;
    MetaTab* m_metaTab = nullptr;
};
