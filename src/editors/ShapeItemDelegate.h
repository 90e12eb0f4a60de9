#pragma once

#include <QItemDelegate>
#include <QPixmap>

// Draws the rows of the shape selection list as 64 × 64 thumbnails: built-in shapes in a light grey,
// user shapes in a light violet, the default entry as the word "default". Thumbnails are kept in the
// process-wide pixmap cache under the shape's visual fingerprint, so any change of a shape draws anew.
class ShapeItemDelegate : public QItemDelegate
{
    Q_OBJECT

public:
    static constexpr int thumbnailSide = 64;

    explicit ShapeItemDelegate(QObject* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The thumbnail of the shape; a transparent one for an identifier the database does not hold.
    static QPixmap pixmapForShape(const QString& identifier);
    // The colour a thumbnail draws the shape in.
    static QColor thumbnailColor(bool isBuiltIn);
};
