#pragma once

#include "doc/DocumentChangeListener.h"
#include "editors/ListenerRegistration.h"

#include <QCache>
#include <QItemDelegate>
#include <QPixmap>

#include <memory>

namespace doc {
class Color;
}

// Draws the colour column of the item list: a swatch of how the item's colour varies across the canvas
// (left to right also from the first to the last and from the smallest to the largest item), with the
// word "parent" over a colour that follows the world colour unchanged.
//
// Swatches are cached by the colour's text form. An inheriting colour's swatch depends on the world
// colour, so the delegate listens to it and forgets every swatch when it changes.
class ItemColorDelegate : public QItemDelegate, private doc::DocumentChangeListener
{
    Q_OBJECT

public:
    static constexpr int swatchWidth = 160;
    static constexpr int swatchHeight = 64;
    static constexpr int swatchCacheSize = 100;

    ItemColorDelegate(const std::shared_ptr<doc::Color>& parentColor, QObject* parent);
    ~ItemColorDelegate() override;

    // The index's Qt::UserRole data is the item colour's data; data that cannot be read is drawn as
    // a parent colour.
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The swatch of the colour last read by paint.
    QPixmap pixmapForColor() const;
    int cachedSwatchCount() const { return m_swatchCache.count(); }

private:
    void onDocumentPropertyChanged(const QString& path, const doc::DocumentElement* element) override;
    void onDocumentElementReset() override;

    std::shared_ptr<doc::Color> m_parentColor;
    // Left again when the delegate goes, so the world colour never calls a destroyed delegate.
    ListenerRegistration m_parentRegistration;
    std::shared_ptr<doc::Color> m_workingColor;
    mutable QCache<QString, QPixmap> m_swatchCache;
};
