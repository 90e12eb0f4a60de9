#pragma once

#include <QDir>
#include <QString>
#include <QVariant>

#include <vector>

namespace doc {

// The user's colour presets, one JSON file "color_<identifier>.json" each in the "colors" folder of the
// application data directory. The colour data is stored and returned as it is, never interpreted.
class ColorManager
{
public:
    struct Entry
    {
        QString identifier;
        QString name;
        QVariant data;
    };

    ColorManager();

    // Fills the list from the folder; called once, on an empty manager.
    void load();

    const std::vector<Entry>& entries() const { return m_entries; }

    // Writes a new preset; returns its identifier, or an empty text when the file could not be written.
    QString add(const QString& name, const QVariant& data);
    // Unknown identifiers change nothing. The list keeps the new value even when the file write fails;
    // the result says whether the file holds it.
    bool update(const QString& identifier, const QVariant& data);
    bool rename(const QString& identifier, const QString& name);
    // The entry leaves the list only once its file is gone; returns whether it left.
    bool remove(const QString& identifier);

    QString name(const QString& identifier) const;
    QVariant data(const QString& identifier) const;
    Entry entry(const QString& identifier) const;

    // Writes the entry's file; true only when the complete file was committed.
    bool saveEntry(const Entry& entry);

    // Letters, digits, "-" and "_" only: an identifier becomes part of a file name in the folder.
    static bool isValidIdentifier(const QString& identifier);

private:
    std::vector<Entry>::iterator find(const QString& identifier);
    std::vector<Entry>::const_iterator find(const QString& identifier) const;
    // Applies the change to the listed entry and rewrites its file; false for an unknown identifier or
    // a failed write (the list keeps the change).
    template<typename Change>
    bool changeEntry(const QString& identifier, const Change& change);
    QString filePath(const QString& identifier) const;
    void loadFile(const QString& path);

    QDir m_folder;
    std::vector<Entry> m_entries;
};

} // namespace doc
