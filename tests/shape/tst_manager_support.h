#pragma once

#include "shape/Manager.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

// Shape data, files in the private storage folder and a log of the database signals, shared by the
// shape database tests.
namespace managertest {

inline QVariantMap shapeData(const QString& type, const QString& identifier, const QString& name, int index,
                             const QVariantMap& modifiers, int version = 1)
{
    return QVariantMap{{QStringLiteral("version"), version},  {QStringLiteral("type"), type},
                       {QStringLiteral("identifier"), identifier}, {QStringLiteral("name"), name},
                       {QStringLiteral("index"), index},      {QStringLiteral("modifier"), modifiers}};
}

inline QVariantMap starData(const QString& identifier, const QString& name, int index, double valleyRatio = 0.5)
{
    return shapeData(QStringLiteral("SimpleStar"), identifier, name, index,
                     {{QStringLiteral("0"), 0.5}, {QStringLiteral("1"), valleyRatio}, {QStringLiteral("2"), 0.5}});
}

inline QVariantMap heartData(const QString& identifier, const QString& name, int index, double ratio = 0.5)
{
    return shapeData(QStringLiteral("Heart"), identifier, name, index,
                     {{QStringLiteral("0"), ratio}, {QStringLiteral("1"), 0.5}});
}

inline QDir storage()
{
    return QDir(shape::Manager::getShapeStorageDir());
}

// Empties the storage folder (and its "failed" subfolder) and creates it again.
inline void resetStorage()
{
    const QString path = shape::Manager::getShapeStorageDir();
    if (!path.isEmpty()) {
        QDir(path).removeRecursively();
    }
    shape::Manager::getShapeStorageDir();
}

inline bool writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

inline bool writeShapeFile(const QString& fileName, const QVariantMap& data)
{
    return writeFile(storage().filePath(fileName), QJsonDocument::fromVariant(data).toJson());
}

inline QVariantMap readShapeFile(const QString& fileName)
{
    QFile file(storage().filePath(fileName));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QJsonDocument::fromJson(file.readAll()).toVariant().toMap();
}

inline QStringList storedFiles()
{
    return storage().entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name);
}

inline QStringList identifiersFrom(const QVariant& projectShapes)
{
    QStringList identifiers;
    for (const QVariant& entry : projectShapes.toList()) {
        identifiers.append(entry.toMap().value(QStringLiteral("identifier")).toString());
    }
    identifiers.sort();
    return identifiers;
}

// Records every signal of a manager, in order, as text such as "beforeShapeAdded 170".
class SignalLog : public QObject
{
public:
    explicit SignalLog(shape::Manager& manager)
    {
        using M = shape::Manager;
        connect(&manager, &M::shapeChanged, this, [this](const QString& id) { events << "shapeChanged " + id; });
        connect(&manager, &M::shapeAdded, this, [this](const QString& id) { events << "shapeAdded " + id; });
        connect(&manager, &M::shapeRemoved, this, [this](const QString& id) { events << "shapeRemoved " + id; });
        connect(&manager, &M::beforeShapeAdded, this,
                [this](int index) { events << QStringLiteral("beforeShapeAdded %1").arg(index); });
        connect(&manager, &M::afterShapeAdded, this, [this]() { events << QStringLiteral("afterShapeAdded"); });
        connect(&manager, &M::beforeShapeRemoved, this,
                [this](int index) { events << QStringLiteral("beforeShapeRemoved %1").arg(index); });
        connect(&manager, &M::afterShapeRemoved, this, [this]() { events << QStringLiteral("afterShapeRemoved"); });
    }

    QStringList events;
};

} // namespace managertest
