#include "editors/ShapeItemModel.h"

#include "shape/Manager.h"

ShapeItemModel::ShapeItemModel(QObject* parent)
    : QAbstractListModel(parent)
{
    const auto* manager = shape::Manager::instance();
    if (manager == nullptr) {
        return;
    }
    connect(manager, &shape::Manager::beforeShapeAdded, this, [this](int position) {
        const int row = rowForShapePosition(position);
        beginInsertRows(QModelIndex(), row, row);
    });
    connect(manager, &shape::Manager::afterShapeAdded, this, [this] { endInsertRows(); });
    connect(manager, &shape::Manager::beforeShapeRemoved, this, [this](int position) {
        const int row = rowForShapePosition(position);
        beginRemoveRows(QModelIndex(), row, row);
    });
    connect(manager, &shape::Manager::afterShapeRemoved, this, [this] { endRemoveRows(); });
    connect(manager, &shape::Manager::shapeChanged, this, [this](const QString& identifier) {
        const QModelIndex index = indexForShapeId(identifier);
        if (index.isValid()) {
            emit dataChanged(index, index);
        }
    });
}

int ShapeItemModel::rowCount(const QModelIndex& /*parent*/) const
{
    const auto* manager = shape::Manager::instance();
    const int shapeCount = manager != nullptr ? static_cast<int>(manager->shapeCount()) : 0;
    return shapeCount + (m_isDefaultAllowed ? 1 : 0);
}

QVariant ShapeItemModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid()) {
        return {};
    }
    if (m_isDefaultAllowed && index.row() == 0) {
        if (role == Qt::DisplayRole) {
            return QString();
        }
        return role == Qt::ToolTipRole ? QVariant(tr("Use Default")) : QVariant();
    }
    const auto shape = shapeForRow(index.row());
    if (shape == nullptr) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return shape->identifier();
    }
    return role == Qt::ToolTipRole ? QVariant(shape->name()) : QVariant();
}

Qt::ItemFlags ShapeItemModel::flags(const QModelIndex& index) const
{
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    const bool isDefaultRow = m_isDefaultAllowed && index.row() == 0;
    return isDefaultRow || shapeForRow(index.row()) != nullptr ? Qt::ItemIsSelectable | Qt::ItemIsEnabled
                                                                : Qt::NoItemFlags;
}

std::shared_ptr<shape::Base> ShapeItemModel::shapeForRow(int row) const
{
    const auto* manager = shape::Manager::instance();
    const int position = shapePositionForRow(row);
    return position >= 0 && manager != nullptr ? manager->shape(static_cast<unsigned long>(position)) : nullptr;
}

QModelIndex ShapeItemModel::indexForShapeId(const QString& identifier) const
{
    const auto* manager = shape::Manager::instance();
    const int position = manager != nullptr && !identifier.isEmpty() ? manager->indexForShapeId(identifier) : -1;
    if (position < 0) {
        return m_isDefaultAllowed ? index(0) : QModelIndex();
    }
    return index(rowForShapePosition(position));
}

int ShapeItemModel::shapePositionForRow(int row) const
{
    const int position = m_isDefaultAllowed ? row - 1 : row;
    return position >= 0 && row < rowCount() ? position : -1;
}

int ShapeItemModel::rowForShapePosition(int position) const
{
    return m_isDefaultAllowed ? position + 1 : position;
}

void ShapeItemModel::setAllowDefault(bool isAllowed)
{
    if (isAllowed == m_isDefaultAllowed) {
        return;
    }
    beginResetModel();
    m_isDefaultAllowed = isAllowed;
    endResetModel();
}
