#include "editors/FunctionListWidget.h"

#include "editors/FunctionRenderer.h"

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
