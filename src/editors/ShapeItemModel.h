#pragma once

#include <QAbstractListModel>

#include <memory>

namespace shape {
class Base;
}

// The rows of the shape selection list: every shape of the shape database in its order, optionally
// preceded by the default entry (empty display text, tool tip "Use Default"). A shape row shows the
// shape's identifier as display text and its name as tool tip; the rows follow the database's signals.
class ShapeItemModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit ShapeItemModel(QObject* parent);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The row of the shape; with the default entry an absent or empty identifier gives the default row,
    // without it an invalid index.
    QModelIndex indexForShapeId(const QString& identifier) const;
    // The database position of a row; -1 for the default row and for rows outside the list.
    int shapePositionForRow(int row) const;
    // The shape a row shows; null for the default row and for rows outside the list.
    std::shared_ptr<shape::Base> shapeForRow(int row) const;

    bool isDefaultAllowed() const { return m_isDefaultAllowed; }
    void setAllowDefault(bool isAllowed);

private:
    int rowForShapePosition(int position) const;

    bool m_isDefaultAllowed = false;
};
