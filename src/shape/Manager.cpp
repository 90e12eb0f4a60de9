#include "shape/Manager.h"

#include "shape/Builder.h"

#include "err/Deserialize.h"
#include "err/IoError.h"
#include "io/AtomicFile.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QReadLocker>
#include <QStandardPaths>
#include <QWriteLocker>

#include <algorithm>
#include <optional>

namespace shape {

std::atomic<Manager*> Manager::s_instance{nullptr};

namespace {

constexpr qint64 maximumFileSize = 100000;
constexpr int firstUserFileIndex = 1000;
// In UTF-16 code units, as shape data is read back; the name pattern counts characters.
constexpr qsizetype maximumNameLength = 128;

const QString keyIdentifier = QStringLiteral("identifier");
const QString keyType = QStringLiteral("type");
const QString failedFolderName = QStringLiteral("failed");

QString fileNameFor(const QString& identifier)
{
    return QStringLiteral("shape_%1.json").arg(identifier);
}

QString storageFolderOrThrow()
{
    const QString path = Manager::getShapeStorageDir();
    // Without a folder the relative file names would land in the working directory.
    if (path.isEmpty() || !QFileInfo(path).isDir()) {
        throw err::IoError(QStringLiteral("Could not access the storage directory for the shape definitions."));
    }
    return path;
}

std::optional<QVariantMap> toVariantMap(const QVariant& data)
{
    if (data.typeId() == QMetaType::QVariantMap) {
        return data.toMap();
    }
    if (data.typeId() == QMetaType::QVariantHash) {
        const QVariantHash hash = data.toHash();
        QVariantMap map;
        for (auto it = hash.cbegin(); it != hash.cend(); ++it) {
            map.insert(it.key(), it.value());
        }
        return map;
    }
    return std::nullopt;
}

Manager::ShapeList::const_iterator findShape(const Manager::ShapeList& shapes, const QString& identifier)
{
    return std::find_if(shapes.cbegin(), shapes.cend(),
                        [&identifier](const Manager::ShapePointer& shape) { return shape->identifier() == identifier; });
}

void writeShapeFileOrThrow(const QDir& folder, const QString& fileName, const QVariant& data)
{
    QString errorString;
    // The previous file stays as it was unless every byte reached the new one.
    if (!io::writeFileAtomically(folder.filePath(fileName),
                                 QJsonDocument::fromVariant(data).toJson(QJsonDocument::Indented), &errorString)) {
        throw err::IoError(QStringLiteral("Saving the shape file \"%1\" failed. Error: %2").arg(fileName, errorString));
    }
}

// The name itself when the folder has no entry of that name, otherwise "<base>-<n>.<suffix>".
QString freeFileNameIn(const QDir& folder, const QString& fileName)
{
    if (!QFileInfo::exists(folder.filePath(fileName))) {
        return fileName;
    }
    const QFileInfo info(fileName);
    for (int number = 1;; ++number) {
        const QString candidate = info.completeBaseName() + QLatin1Char('-') + QString::number(number)
            + QLatin1Char('.') + info.suffix();
        if (!QFileInfo::exists(folder.filePath(candidate))) {
            return candidate;
        }
    }
}

} // namespace

Manager::Manager(QObject* parent) : QObject(parent)
{
    for (const ShapePointer& shape : Builder::createAllBuiltIns()) {
        shape->makeBuiltIn();
        m_shapes.push_back(shape);
    }
    s_instance = this;
}

Manager::~Manager()
{
    Manager* expected = this;
    s_instance.compare_exchange_strong(expected, nullptr);
}

Manager* Manager::instance()
{
    return s_instance;
}

QString Manager::getShapeStorageDir()
{
    const QString dataLocation = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    // An unknown location would otherwise turn into "/shapes/" at the root of the file system.
    const QString path = dataLocation.isEmpty() ? QString() : dataLocation + QStringLiteral("/shapes/");
    if (path.isEmpty() || !QDir().mkpath(path)) {
        qDebug("Failed to create the shape storage directory.");
        return {};
    }
    const QFileInfo info(path);
    return info.isDir() ? info.canonicalFilePath() : QString();
}

std::pair<int, Manager::ShapePointer> Manager::createShapeFromDataOrThrow(const QVariant& data)
{
    const std::optional<QVariantMap> map = toVariantMap(data);
    if (!map) {
        throw err::Deserialize(QStringLiteral("Shape data is malformed"));
    }
    if (!map->contains(keyType)) {
        throw err::Deserialize(QStringLiteral("Shape data contains no type name."));
    }
    const Type type = typeFromIdentifier(map->value(keyType).toString());
    ShapePointer shape = type == Type::Unknown ? ShapePointer() : Builder::createShape(type);
    if (!shape) {
        throw err::Deserialize(QStringLiteral("Unknown shape type."));
    }
    const int index = shape->setFromDataOrThrow(QVariant(*map));
    return {index, shape};
}

void Manager::loadOrThrow()
{
    const QString folderPath = storageFolderOrThrow();
    m_storedFileNames.clear();
    appendLoaded(readStorageFolder(folderPath));
    if (!m_failedFileNames.empty()) {
        throw err::Deserialize(QStringLiteral("Failed to deserialize %1 shape files.").arg(m_failedFileNames.size()));
    }
}

std::vector<Manager::LoadedShape> Manager::readStorageFolder(const QString& folderPath)
{
    const QDir folder(folderPath);
    // Files only: a folder that happens to be named "x.json" is not a shape file.
    const QStringList fileNames =
        folder.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    std::vector<LoadedShape> loaded;
    for (const QString& fileName : fileNames) {
        QFile file(folder.filePath(fileName));
        if (file.size() > maximumFileSize) {
            continue;
        }
        // An unreadable file is reported like an unusable one instead of ending the whole load.
        if (!file.open(QIODevice::ReadOnly)) {
            m_failedFileNames.insert(fileName);
            continue;
        }
        const QByteArray content = file.read(maximumFileSize + 1);
        if (file.error() != QFileDevice::NoError) {
            m_failedFileNames.insert(fileName);
            continue;
        }
        if (content.size() > maximumFileSize) {
            continue;
        }
        const QJsonDocument document = QJsonDocument::fromJson(content);
        if (document.isNull()) {
            continue;
        }
        try {
            auto [index, shape] = createShapeFromDataOrThrow(document.toVariant());
            loaded.push_back({index, shape, fileName});
        } catch (const err::Deserialize&) {
            m_failedFileNames.insert(fileName);
        }
    }
    return loaded;
}

void Manager::appendLoaded(std::vector<LoadedShape> loaded)
{
    std::stable_sort(loaded.begin(), loaded.end(),
                     [](const LoadedShape& a, const LoadedShape& b) { return a.index < b.index; });
    ShapeList accepted;
    const auto isTaken = [this, &accepted](const QString& identifier) {
        return hasShapeId(identifier) || findShape(accepted, identifier) != accepted.cend();
    };
    for (const LoadedShape& entry : loaded) {
        // A second file with a taken identifier would be overwritten by the next save; it keeps its
        // shape under a new identifier instead, written to its own file by that save.
        while (isTaken(entry.shape->identifier())) {
            entry.shape->setRandomIdentifier();
        }
        accepted.push_back(entry.shape);
        m_storedFileNames.insert(entry.fileName);
    }
    QWriteLocker locker(&m_lock);
    m_shapes.insert(m_shapes.end(), accepted.begin(), accepted.end());
}

void Manager::saveOrThrow()
{
    QDir folder(storageFolderOrThrow());
    std::set<QString> written;
    int index = firstUserFileIndex;
    for (const ShapePointer& shape : shapes()) {
        if (shape->isBuiltIn()) {
            continue;
        }
        const QString fileName = fileNameFor(shape->identifier());
        writeShapeFileOrThrow(folder, fileName, shape->toData(index));
        written.insert(fileName);
        ++index;
    }
    for (const QString& fileName : m_storedFileNames) {
        if (written.count(fileName) == 0) {
            folder.remove(fileName);
        }
    }
    m_storedFileNames = std::move(written);
}

void Manager::fixLoadingIssues()
{
    QDir folder(storageFolderOrThrow());
    if (!QFileInfo(folder.filePath(failedFolderName)).isDir() && !folder.mkdir(failedFolderName)) {
        throw err::IoError(QStringLiteral("Failed to create 'failure' directory."));
    }
    const QDir failedFolder(folder.filePath(failedFolderName));
    int unmovedCount = 0;
    for (const QString& fileName : std::set<QString>(m_failedFileNames)) {
        if (!QFileInfo::exists(folder.filePath(fileName))) {
            m_failedFileNames.erase(fileName);
            continue;
        }
        // A file of the same name from an earlier start must not keep this one in place.
        const QString target = failedFolder.filePath(freeFileNameIn(failedFolder, fileName));
        if (QFile::rename(folder.filePath(fileName), target)) {
            m_failedFileNames.erase(fileName);
        } else {
            ++unmovedCount;
        }
    }
    if (unmovedCount > 0) {
        throw err::IoError(QStringLiteral("Failed to move %1 shape files into the 'failed' directory.").arg(unmovedCount));
    }
}

Manager::ShapePointer Manager::shape(const QString& identifier) const
{
    QReadLocker locker(&m_lock);
    const auto found = findShape(m_shapes, identifier);
    return found != m_shapes.cend() ? *found : ShapePointer();
}

Manager::ShapePointer Manager::shape(unsigned long index) const
{
    QReadLocker locker(&m_lock);
    return index < m_shapes.size() ? m_shapes[index] : ShapePointer();
}

std::size_t Manager::shapeCount() const
{
    QReadLocker locker(&m_lock);
    return m_shapes.size();
}

int Manager::indexForShapeId(const QString& identifier) const
{
    QReadLocker locker(&m_lock);
    const auto found = findShape(m_shapes, identifier);
    return found != m_shapes.cend() ? static_cast<int>(found - m_shapes.cbegin()) : -1;
}

bool Manager::hasShapeId(const QString& identifier) const
{
    return indexForShapeId(identifier) >= 0;
}

Manager::ShapePointer Manager::defaultShape() const
{
    return shape(QStringLiteral("circle"));
}

Manager::ShapeList Manager::shapes() const
{
    QReadLocker locker(&m_lock);
    return m_shapes;
}

QString Manager::add(const ShapePointer& shape)
{
    if (!shape) {
        return {};
    }
    const ShapePointer copy = Builder::createShape(shape->type());
    if (!copy) {
        return {};
    }
    try {
        copy->setFromDataOrThrow(shape->toData(0));
    } catch (const err::Deserialize&) {
        return {};
    }
    copy->setRandomIdentifier();
    makeIdentifierUnique(*copy);
    appendAnnounced(copy);
    saveIgnoringErrors();
    return copy->identifier();
}

bool Manager::update(const QString& identifier, const QString& name, const std::vector<geo::Normal1D>& values)
{
    // A name that breaks the rules would make the shape file unreadable at the next start.
    if (name.size() > maximumNameLength || !Base::isValidName(name)) {
        return false;
    }
    const int position = indexForShapeId(identifier);
    if (position < 0) {
        return false;
    }
    const ShapePointer current = shape(static_cast<unsigned long>(position));
    const ShapePointer changed = Builder::createShape(current->type());
    if (!changed) {
        return false;
    }
    changed->setIdentifier(identifier);
    changed->setName(name);
    changed->setModifierValues(values);
    if (current->isBuiltIn()) {
        changed->makeBuiltIn();
    }
    {
        // Readers on other threads may still hold the previous object; it stays as it was.
        QWriteLocker locker(&m_lock);
        m_shapes[static_cast<std::size_t>(position)] = changed;
    }
    emit shapeChanged(identifier);
    saveIgnoringErrors();
    return true;
}

bool Manager::remove(const QString& identifier)
{
    const int position = indexForShapeId(identifier);
    if (position < 0) {
        return false;
    }
    // The catalogue stays whole: documents fall back to built-in shapes such as "circle".
    if (shape(static_cast<unsigned long>(position))->isBuiltIn()) {
        return false;
    }
    emit beforeShapeRemoved(position);
    {
        QWriteLocker locker(&m_lock);
        m_shapes.erase(m_shapes.begin() + position);
    }
    emit afterShapeRemoved();
    emit shapeRemoved(identifier);
    saveIgnoringErrors();
    return true;
}

QVariant Manager::toData(const QSet<QString>& identifiers) const
{
    // A snapshot, so that no lock is held while the shapes write their data.
    const ShapeList held = shapes();
    QVariantList entries;
    for (const QString& identifier : identifiers) {
        const auto found = findShape(held, identifier);
        if (found != held.cend() && !(*found)->isBuiltIn()) {
            entries.append((*found)->toData(static_cast<int>(found - held.cbegin())));
        }
    }
    return entries;
}

Manager::IdentifierMap Manager::setFromDataOrThrow(const QVariant& data)
{
    // Every entry is read before the first one is added, so a bad entry leaves the database as it was.
    const ShapeList entries = readEntriesOrThrow(data);
    IdentifierMap identifierMap;
    bool hasAppended = false;
    for (const ShapePointer& entry : entries) {
        const ShapePointer held = shape(entry->identifier());
        if (held && held->isVisuallyEqual(entry)) {
            continue;
        }
        const QString readIdentifier = entry->identifier();
        makeIdentifierUnique(*entry);
        identifierMap[readIdentifier] = entry->identifier();
        appendAnnounced(entry);
        hasAppended = true;
    }
    if (hasAppended) {
        saveIgnoringErrors();
    }
    return identifierMap;
}

Manager::IdentifierMap Manager::resolveDataOrThrow(const QVariant& data) const
{
    const ShapeList entries = readEntriesOrThrow(data);
    const ShapeList held = shapes();
    IdentifierMap identifierMap;
    for (const ShapePointer& entry : entries) {
        const auto sameIdentifier = findShape(held, entry->identifier());
        if (sameIdentifier != held.cend() && (*sameIdentifier)->isVisuallyEqual(entry)) {
            continue;
        }
        // An earlier import may hold this shape under another identifier.
        const auto lookAlike = std::find_if(held.cbegin(), held.cend(),
                                            [&entry](const ShapePointer& shape) { return shape->isVisuallyEqual(entry); });
        identifierMap[entry->identifier()] = lookAlike != held.cend() ? (*lookAlike)->identifier() : entry->identifier();
    }
    return identifierMap;
}

Manager::ShapeList Manager::readEntriesOrThrow(const QVariant& data)
{
    if (data.isNull()) {
        return {};
    }
    if (data.typeId() != QMetaType::QVariantList) {
        throw err::Deserialize(QStringLiteral("The shape entry is not a list."));
    }
    const QVariantList list = data.toList();
    ShapeList entries;
    entries.reserve(static_cast<std::size_t>(list.size()));
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QString key = QStringLiteral("entry[%1]").arg(i);
        const std::optional<QVariantMap> map = toVariantMap(list.at(i));
        if (!map) {
            throw err::Deserialize(QStringLiteral("The shape entry is no object."), key);
        }
        if (!map->contains(keyIdentifier)) {
            throw err::Deserialize(QStringLiteral("The shape entry has no identifier."), key);
        }
        const QString identifier = map->value(keyIdentifier).toString();
        if (identifier.isEmpty()) {
            throw err::Deserialize(QStringLiteral("The shape entry has an empty identifier."), key);
        }
        if (!Base::isValidIdentifier(identifier)) {
            throw err::Deserialize(QStringLiteral("The shape entry has an malformed identifier."), key);
        }
        const Type type = typeFromIdentifier(map->value(keyType).toString());
        const ShapePointer shape = type == Type::Unknown ? ShapePointer() : Builder::createShape(type);
        if (!shape) {
            throw err::Deserialize(QStringLiteral("The shape entry has an unknown type."), key);
        }
        try {
            shape->setFromDataOrThrow(QVariant(*map));
        } catch (const err::Deserialize& inner) {
            throw err::Deserialize(key, inner);
        }
        entries.push_back(shape);
    }
    return entries;
}

void Manager::makeIdentifierUnique(Base& shape) const
{
    while (hasShapeId(shape.identifier())) {
        shape.setRandomIdentifier();
    }
}

void Manager::appendAnnounced(const ShapePointer& shape)
{
    emit beforeShapeAdded(static_cast<int>(shapeCount()));
    {
        QWriteLocker locker(&m_lock);
        m_shapes.push_back(shape);
    }
    emit afterShapeAdded();
    emit shapeAdded(shape->identifier());
}

void Manager::saveIgnoringErrors()
{
    try {
        saveOrThrow();
    } catch (const err::IoError& error) {
        qDebug() << "Could not save the user shapes:" << error.reason();
    }
}

} // namespace shape
