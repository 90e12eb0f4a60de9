#include "editors/PropertiesFrame.h"

#include "app/ApplicationController.h"
#include "doc/UpdateScope.h"
#include "editors/CanvasTab.h"
#include "editors/ColorTab.h"
#include "editors/ItemsTab.h"
#include "editors/MainTab.h"
#include "editors/MetaTab.h"
#include "editors/OrderTab.h"
#include "editors/RotationTab.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace {

struct TabEntry {
    const char* toolTip;
    int iconCodePoint;
    const char* actionText;
    const char* shortcut;
};

// In tab order.
const std::array<TabEntry, 7> tabEntries{{
    {QT_TRANSLATE_NOOP("PropertiesFrame", "Main"), 0xF015, QT_TRANSLATE_NOOP("PropertiesFrame", "&Main"),
     QT_TRANSLATE_NOOP("PropertiesFrame", "Ctrl+1")},
    {QT_TRANSLATE_NOOP("PropertiesFrame", "Canvas"), 0xF03E, QT_TRANSLATE_NOOP("PropertiesFrame", "C&anvas"),
     QT_TRANSLATE_NOOP("PropertiesFrame", "Ctrl+2")},
    {QT_TRANSLATE_NOOP("PropertiesFrame", "Rotation"), 0xF2F1, QT_TRANSLATE_NOOP("PropertiesFrame", "&Rotation"),
     QT_TRANSLATE_NOOP("PropertiesFrame", "Ctrl+3")},
    {QT_TRANSLATE_NOOP("PropertiesFrame", "Order"), 0xF160, QT_TRANSLATE_NOOP("PropertiesFrame", "&Order"),
     QT_TRANSLATE_NOOP("PropertiesFrame", "Ctrl+4")},
    {QT_TRANSLATE_NOOP("PropertiesFrame", "Color"), 0xF53F, QT_TRANSLATE_NOOP("PropertiesFrame", "&Color"),
     QT_TRANSLATE_NOOP("PropertiesFrame", "Ctrl+5")},
    {QT_TRANSLATE_NOOP("PropertiesFrame", "Items"), 0xF61F, QT_TRANSLATE_NOOP("PropertiesFrame", "&Items"),
     QT_TRANSLATE_NOOP("PropertiesFrame", "Ctrl+6")},
    {QT_TRANSLATE_NOOP("PropertiesFrame", "Metadata"), 0xF129, QT_TRANSLATE_NOOP("PropertiesFrame", "&Meta"),
     QT_TRANSLATE_NOOP("PropertiesFrame", "Ctrl+7")},
}};

// A tab page: the tab scrolls vertically when the panel is lower than the tab, so that the tab's height
// never decides the window's; its width still does, with room for the scroll bar.
class TabPage : public QScrollArea
{
public:
    TabPage(PropertyTab* tab, QWidget* parent)
        : QScrollArea(parent)
    {
        setFrameShape(QFrame::NoFrame);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setWidgetResizable(true);
        setWidget(tab);
        // Drawn as before: the tab and the page let the tab widget's panel show through.
        tab->setAutoFillBackground(false);
        viewport()->setAutoFillBackground(false);
    }

    QSize minimumSizeHint() const override
    {
        const QSize tabMinimum = widget()->minimumSizeHint();
        return {tabMinimum.width() + verticalScrollBar()->sizeHint().width(),
                std::min(tabMinimum.height(), minimumPageHeight)};
    }

    // No taller than the least: the window's column would otherwise take the tab's height as its own
    // minimum. The panel still fills the column's height.
    QSize sizeHint() const override
    {
        return {widget()->sizeHint().width() + verticalScrollBar()->sizeHint().width(), minimumSizeHint().height()};
    }

private:
    // Enough for the tab's title and a row or two.
    static constexpr int minimumPageHeight = 120;
};

} // namespace

PropertiesFrame::PropertiesFrame(QWidget* parent)
    : QFrame(parent)
{
    initializeUi();
}

void PropertiesFrame::initializeUi()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_tabWidget = new QTabWidget(this);
    m_tabWidget->setIconSize(QSize(16, 16));
    layout->addWidget(m_tabWidget);
    createTabs();
}

void PropertiesFrame::createTabs()
{
    // Building the controls sets their values, and Qt announces those as changes: as a document update,
    // the tabs' writers ignore them. The tabs show the document first on the start-up reset.
    doc::UpdateScope scope(ApplicationController::instance()->document());
    scope.beginDocumentUpdate();

    m_mainTab = new MainTab(m_tabWidget);
    m_canvasTab = new CanvasTab(m_tabWidget);
    m_rotationTab = new RotationTab(m_tabWidget);
    m_orderTab = new OrderTab(m_tabWidget);
    m_colorTab = new ColorTab(m_tabWidget);
    m_itemsTab = new ItemsTab(m_tabWidget);
    m_metaTab = new MetaTab(m_tabWidget);
    const std::array<PropertyTab*, tabEntries.size()> tabs{m_mainTab,  m_canvasTab, m_rotationTab, m_orderTab,
                                                           m_colorTab, m_itemsTab,  m_metaTab};
    const ApplicationController* controller = ApplicationController::instance();
    for (std::size_t index = 0; index < tabs.size(); ++index) {
        const TabEntry& entry = tabEntries[index];
        const int tabIndex = m_tabWidget->addTab(new TabPage(tabs[index], m_tabWidget), QIcon(controller->pixmapForIcon(entry.iconCodePoint, 16)),
                                                 QString());
        m_tabWidget->setTabToolTip(tabIndex, tr(entry.toolTip));
    }
}

PropertyTab* PropertiesFrame::tab(int index) const
{
    auto* page = qobject_cast<QScrollArea*>(m_tabWidget->widget(index));
    return page != nullptr ? qobject_cast<PropertyTab*>(page->widget()) : nullptr;
}

void PropertiesFrame::showTab(PropertyTab* tab)
{
    for (int index = 0; index < m_tabWidget->count(); ++index) {
        if (this->tab(index) == tab) {
            m_tabWidget->setCurrentIndex(index);
            return;
        }
    }
}

void PropertiesFrame::initializeMenu(QMenuBar* menuBar)
{
    m_viewMenu = menuBar->addMenu(tr("&View"));
    for (std::size_t index = 0; index < tabEntries.size(); ++index) {
        const TabEntry& entry = tabEntries[index];
        QAction* action = m_viewMenu->addAction(tr(entry.actionText));
        action->setShortcut(QKeySequence(tr(entry.shortcut)));
        const int tabIndex = static_cast<int>(index);
        connect(action, &QAction::triggered, m_tabWidget, [this, tabIndex] { m_tabWidget->setCurrentIndex(tabIndex); });
    }
}
