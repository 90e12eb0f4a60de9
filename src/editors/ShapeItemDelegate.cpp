#include "editors/ShapeItemDelegate.h"

#include "shape/Manager.h"
#include "svg/Renderer.h"

#include <QPainter>
#include <QPixmapCache>

namespace {

constexpr int thumbnailMargin = 4;

} // namespace

ShapeItemDelegate::ShapeItemDelegate(QObject* parent)
    : QItemDelegate(parent)
{
}

void ShapeItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    painter->save();
    if (option.state.testFlag(QStyle::State_Selected)) {
        painter->fillRect(option.rect, option.palette.brush(QPalette::Highlight));
    }
    const QString identifier = index.data(Qt::DisplayRole).toString();
    if (identifier.isEmpty()) {
        painter->setPen(option.palette.color(QPalette::Text));
        painter->drawText(option.rect, Qt::AlignCenter, tr("default"));
    } else {
        painter->setRenderHint(QPainter::SmoothPixmapTransform);
        painter->drawPixmap(option.rect, pixmapForShape(identifier));
    }
    painter->restore();
}

QSize ShapeItemDelegate::sizeHint(const QStyleOptionViewItem& /*option*/, const QModelIndex& /*index*/) const
{
    return {thumbnailSide, thumbnailSide};
}

QPixmap ShapeItemDelegate::pixmapForShape(const QString& identifier)
{
    const auto* manager = shape::Manager::instance();
    const auto shape = identifier.isEmpty() || manager == nullptr ? nullptr : manager->shape(identifier);
    const QString key = shape != nullptr ? shape->visualFingerprint() : QString();
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap)) {
        return pixmap;
    }
    if (shape == nullptr) {
        pixmap = QPixmap(thumbnailSide, thumbnailSide);
        pixmap.fill(Qt::transparent);
    } else {
        pixmap = svg::Renderer::renderPixmap(shape, QSize(thumbnailSide, thumbnailSide),
                                             thumbnailColor(shape->isBuiltIn()), thumbnailMargin);
    }
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

QColor ShapeItemDelegate::thumbnailColor(bool isBuiltIn)
{
    const QColor color = isBuiltIn ? QColor::fromHsvF(0, 0, 0.95f) : QColor::fromHsvF(0.75f, 0.4f, 0.98f);
    // Through its text, as an opaque 8-bit colour.
    return QColor(color.name());
}
