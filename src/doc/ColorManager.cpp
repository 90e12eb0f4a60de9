#include "doc/ColorManager.h"

#include "io/AtomicFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QUuid>

#include <algorithm>

namespace doc {

namespace {

// A longer file is cut here and then fails to parse.
constexpr qint64 maximumFileSize = 100000;

QString folderPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/colors/");
}

QString fileNameFor(const QString& identifier)
{
    return QStringLiteral("color_%1.json").arg(identifier);
}

bool isIdentifierCharacter(QChar character)
{
    const char16_t code = character.unicode();
    return (code >= u'a' && code <= u'z') || (code >= u'A' && code <= u'Z') || (code >= u'0' && code <= u'9')
        || code == u'-' || code == u'_';
}

QJsonObject entryToJson(const ColorManager::Entry& entry)
{
    QJsonObject object;
    object.insert(QStringLiteral("identifier"), entry.identifier);
    object.insert(QStringLiteral("name"), entry.name);
    object.insert(QStringLiteral("dataVersion"), 1);
    object.insert(QStringLiteral("appName"), QCoreApplication::applicationName());
    object.insert(QStringLiteral("appVersion"), QCoreApplication::applicationVersion());
    object.insert(QStringLiteral("data"), QJsonValue::fromVariant(entry.data));
    return object;
}

} // namespace

ColorManager::ColorManager() : m_folder(folderPath()) {}

void ColorManager::load()
{
    m_folder.setPath(folderPath());
    if (!m_folder.exists() && !m_folder.mkpath(QStringLiteral("."))) {
        qDebug("Failed to create data storage path: %s", qPrintable(m_folder.absolutePath()));
    }
    const QFileInfoList files = m_folder.entryInfoList();
    for (const QFileInfo& info : files) {
        if (!info.isFile() || info.suffix() != QStringLiteral("json")) {
            continue;
        }
        loadFile(info.filePath());
    }
}

void ColorManager::loadFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qDebug("Failed to open color definition file: %s", qPrintable(path));
        return;
    }
    const QJsonDocument document = QJsonDocument::fromJson(file.read(maximumFileSize));
    if (document.isNull() || !document.isObject()) {
        qDebug("Failed to parse color definition file: %s", qPrintable(path));
        return;
    }
    const QJsonObject object = document.object();
    Entry entry{object.value(QStringLiteral("identifier")).toString(), object.value(QStringLiteral("name")).toString(),
                object.value(QStringLiteral("data")).toVariant()};
    if (!isValidIdentifier(entry.identifier)) {
        qDebug("Invalid identifier in color definition file: %s", qPrintable(path));
        return;
    }
    // The whole file name must belong to the identifier, or update and remove would act on another file.
    if (QFileInfo(path).fileName() != fileNameFor(entry.identifier)) {
        qDebug("Identifier does not match file name: %s", qPrintable(path));
        return;
    }
    m_entries.push_back(std::move(entry));
}

QString ColorManager::add(const QString& name, const QVariant& data)
{
    Entry entry{QUuid::createUuid().toString(QUuid::WithoutBraces), name, data};
    if (!saveEntry(entry)) {
        qDebug("Failed to save entry on the disk.");
        return {};
    }
    m_entries.push_back(entry);
    return entry.identifier;
}

template<typename Change>
bool ColorManager::changeEntry(const QString& identifier, const Change& change)
{
    const auto it = find(identifier);
    if (it == m_entries.end()) {
        return false;
    }
    change(*it);
    if (!saveEntry(*it)) {
        qDebug("Failed to update entry on the disk.");
        return false;
    }
    return true;
}

bool ColorManager::update(const QString& identifier, const QVariant& data)
{
    return changeEntry(identifier, [&data](Entry& entry) { entry.data = data; });
}

bool ColorManager::rename(const QString& identifier, const QString& name)
{
    return changeEntry(identifier, [&name](Entry& entry) { entry.name = name; });
}

bool ColorManager::remove(const QString& identifier)
{
    const auto it = find(identifier);
    if (it == m_entries.end()) {
        return false;
    }
    const QString path = filePath(identifier);
    m_folder.remove(fileNameFor(identifier));
    // A preset whose file survived would come back at the next start, so it stays listed.
    if (QFileInfo::exists(path)) {
        qDebug("Failed to remove color data file: %s", qPrintable(path));
        return false;
    }
    m_entries.erase(it);
    return true;
}

QString ColorManager::name(const QString& identifier) const
{
    const auto it = find(identifier);
    return it != m_entries.end() ? it->name : QString();
}

QVariant ColorManager::data(const QString& identifier) const
{
    const auto it = find(identifier);
    return it != m_entries.end() ? it->data : QVariant();
}

ColorManager::Entry ColorManager::entry(const QString& identifier) const
{
    const auto it = find(identifier);
    return it != m_entries.end() ? *it : Entry();
}

bool ColorManager::saveEntry(const Entry& entry)
{
    if (!isValidIdentifier(entry.identifier)) {
        qDebug("Invalid color identifier: %s", qPrintable(entry.identifier));
        return false;
    }
    const QString path = filePath(entry.identifier);
    if (!io::writeFileAtomically(path, QJsonDocument(entryToJson(entry)).toJson())) {
        qDebug("Failed to open color data file for write: %s", qPrintable(path));
        return false;
    }
    return true;
}

bool ColorManager::isValidIdentifier(const QString& identifier)
{
    return !identifier.isEmpty() && std::all_of(identifier.cbegin(), identifier.cend(), isIdentifierCharacter);
}

std::vector<ColorManager::Entry>::iterator ColorManager::find(const QString& identifier)
{
    return std::find_if(m_entries.begin(), m_entries.end(),
                        [&identifier](const Entry& entry) { return entry.identifier == identifier; });
}

std::vector<ColorManager::Entry>::const_iterator ColorManager::find(const QString& identifier) const
{
    return std::find_if(m_entries.cbegin(), m_entries.cend(),
                        [&identifier](const Entry& entry) { return entry.identifier == identifier; });
}

QString ColorManager::filePath(const QString& identifier) const
{
    return m_folder.filePath(fileNameFor(identifier));
}

} // namespace doc
