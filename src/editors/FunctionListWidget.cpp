#include "editors/FunctionListWidget.h"

#include "editors/FunctionRenderer.h"
#include "func/Manager.h"

const QSize FunctionListWidget::itemSize(160, 52);

FunctionListWidget::FunctionListWidget(QWidget* parent)
    : QListWidget(parent)
{
    setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::MinimumExpanding);
    setIconSize(QSize(FunctionRenderer::pictureSize, FunctionRenderer::pictureSize));
    setUniformItemSizes(true);
    setContentsMargins(8, 8, 8, 8);
    setFlow(QListView::LeftToRight);
    setWrapping(true);
    setResizeMode(QListView::Adjust);
    setSelectionMode(QAbstractItemView::SingleSelection);
}

void FunctionListWidget::addFunctionRow(const QString& identifier)
{
    const func::FunctionPtr function = func::Manager::instance().function(identifier);
    if (function == nullptr) {
        return;
    }
    auto* item = new QListWidgetItem(QIcon(FunctionRenderer::pixmapForFunction(function)), function->name());
    item->setData(Qt::UserRole, identifier);
    item->setSizeHint(itemSize);
    addItem(item);
}
