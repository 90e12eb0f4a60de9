#include "editors/ItemColorDelegate.h"

#include "doc/Color.h"

#include <QPainter>

namespace {

constexpr int swatchInset = 4;

} // namespace

ItemColorDelegate::ItemColorDelegate(const std::shared_ptr<doc::Color>& parentColor, QObject* parent)
    : QItemDelegate(parent),
      m_parentColor(parentColor),
      m_parentRegistration(parentColor, this),
      m_workingColor(std::make_shared<doc::Color>(nullptr)),
      m_swatchCache(swatchCacheSize)
{
    m_workingColor->setParent(m_parentColor);
}

ItemColorDelegate::~ItemColorDelegate() = default;

void ItemColorDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    painter->save();
    if (option.state.testFlag(QStyle::State_Selected)) {
        const QPalette::ColorGroup group = option.state.testFlag(QStyle::State_Active) ? QPalette::Active
                                                                                       : QPalette::Inactive;
        painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));
    }
    try {
        m_workingColor->setFromDataOrThrow(index.data(Qt::UserRole));
    } catch (const err::Deserialize&) {
        m_workingColor->setParentColor();
    }
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->drawPixmap(option.rect.adjusted(swatchInset, swatchInset, -swatchInset, -swatchInset), pixmapForColor());
    if (m_workingColor->isParentColor()) {
        painter->setPen(option.palette.color(QPalette::Text));
        painter->drawText(option.rect, Qt::AlignCenter, tr("parent"));
    }
    painter->restore();
}

QSize ItemColorDelegate::sizeHint(const QStyleOptionViewItem& /*option*/, const QModelIndex& /*index*/) const
{
    return {swatchWidth, swatchHeight};
}

QPixmap ItemColorDelegate::pixmapForColor() const
{
    const QString key = m_workingColor->toString();
    if (const QPixmap* cached = m_swatchCache.object(key)) {
        return *cached;
    }
    QImage image(swatchWidth, swatchHeight, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int x = 0; x < swatchWidth; ++x) {
        const double along = static_cast<double>(x) / (swatchWidth - 1);
        for (int y = 0; y < swatchHeight; ++y) {
            const doc::ItemStyleInput input{along, static_cast<double>(y) / (swatchHeight - 1), along, along};
            image.setPixelColor(x, y, m_workingColor->colorForInput(input));
        }
    }
    auto* swatch = new QPixmap(QPixmap::fromImage(image));
    const QPixmap result = *swatch;
    m_swatchCache.insert(key, swatch, 1);
    return result;
}

void ItemColorDelegate::onDocumentPropertyChanged(const QString& /*path*/, const doc::DocumentElement* /*element*/)
{
    m_swatchCache.clear();
}

void ItemColorDelegate::onDocumentElementReset()
{
    m_swatchCache.clear();
}
