#pragma once

#include "shape/Base.h"

#include "geo/Normal1D.h"

#include <QObject>
#include <QReadWriteLock>
#include <QSet>
#include <QString>
#include <QVariant>

#include <atomic>
#include <map>
#include <memory>
#include <set>
#include <utility>
#include <vector>

namespace shape {

// The process-wide database of shape definitions: the built-in catalogue followed by the user's own
// shapes, which are kept as one JSON file per shape in the application's data folder.
//
// Threads: only the main thread changes the database (load, save, add, update, remove, import). The
// lookups, toData and resolveDataOrThrow may be called from any thread at the same time: the list is
// guarded by a read-write lock, held only while the list itself is read or changed (never while signals
// go out or shapes are called). A shape, once held, is never changed in place: update swaps in a changed
// copy, so a shape pointer handed out stays consistent for as long as the caller keeps it, and holders
// look the identifier up again on shapeChanged to get the new version.
class Manager : public QObject
{
    Q_OBJECT

public:
    using ShapePointer = std::shared_ptr<Base>;
    using ShapeList = std::vector<ShapePointer>;
    // Identifier in the data → identifier under which the database holds the shape.
    using IdentifierMap = std::map<QString, QString>;

    // Holds the built-in shapes; reads no file.
    explicit Manager(QObject* parent = nullptr);
    ~Manager() override;

    // The manager whose constructor ran last and which still exists; null otherwise.
    static Manager* instance();
    // The canonical path of the "shapes" folder in the application data folder, created when missing;
    // empty when there is no such folder (it could not be created, or no data location is known).
    static QString getShapeStorageDir();
    // Reads the content of one shape file: the stored index and the new shape.
    static std::pair<int, ShapePointer> createShapeFromDataOrThrow(const QVariant& data);

    // Appends the shapes of the files in the storage folder; throws err::IoError when the folder is
    // unusable and err::Deserialize when files could not be read (the readable ones stay loaded).
    void loadOrThrow();
    // Writes every user shape to its file and removes files of shapes no longer held.
    void saveOrThrow();
    // Moves the files that the loads could not read into the subfolder "failed"; throws err::IoError.
    void fixLoadingIssues();

    ShapePointer shape(const QString& identifier) const;
    ShapePointer shape(unsigned long index) const;
    std::size_t shapeCount() const;
    int indexForShapeId(const QString& identifier) const;
    bool hasShapeId(const QString& identifier) const;
    // The shape "circle".
    ShapePointer defaultShape() const;
    // A copy of the whole list.
    ShapeList shapes() const;

    // Stores a copy of the shape under a new identifier and returns it; empty when the shape is not valid.
    QString add(const ShapePointer& shape);
    // False (and nothing changed) for an unknown identifier or a name that breaks the naming rules.
    bool update(const QString& identifier, const QString& name, const std::vector<geo::Normal1D>& values);
    // False for an unknown identifier and for built-in shapes, which cannot be removed.
    bool remove(const QString& identifier);

    // The project's "shapes" list: the user shapes among the identifiers.
    QVariant toData(const QSet<QString>& identifiers) const;
    // Imports a project's "shapes" list (main thread): every entry is checked before any is added; held
    // equal shapes are reused, others are added, renamed when their identifier is taken. Saves only when
    // something was added.
    IdentifierMap setFromDataOrThrow(const QVariant& data);
    // Checks a project's "shapes" list like the import and maps each entry to a held shape that looks the
    // same, without adding anything; identifiers without such a shape map to themselves. Any thread.
    IdentifierMap resolveDataOrThrow(const QVariant& data) const;
    // Reads a project's "shapes" list into new shapes, checked as the import checks them, without adding
    // any to the database: for drawing a project's own shapes while it is only looked at. Any thread.
    static ShapeList readEntriesOrThrow(const QVariant& data);

    // The file names read by the last load or written by the last save.
    const std::set<QString>& storedFileNames() const { return m_storedFileNames; }
    // The files that loads could not read and that are not yet moved aside.
    const std::set<QString>& failedFileNames() const { return m_failedFileNames; }

signals:
    void shapeChanged(const QString& identifier);
    void shapeAdded(const QString& identifier);
    void shapeRemoved(const QString& identifier);
    void beforeShapeAdded(int index);
    void afterShapeAdded();
    void beforeShapeRemoved(int index);
    void afterShapeRemoved();

private:
    struct LoadedShape {
        int index = 0;
        ShapePointer shape;
        QString fileName;
    };

    std::vector<LoadedShape> readStorageFolder(const QString& folderPath);
    void appendLoaded(std::vector<LoadedShape> loaded);
    // Replaces the identifier by random ones until no held shape has it.
    void makeIdentifierUnique(Base& shape) const;
    void appendAnnounced(const ShapePointer& shape);
    // Changes on behalf of the dialogs are kept even when the files cannot be written.
    void saveIgnoringErrors();

    static std::atomic<Manager*> s_instance;

    mutable QReadWriteLock m_lock;
    ShapeList m_shapes;
    std::set<QString> m_storedFileNames;
    std::set<QString> m_failedFileNames;
};

} // namespace shape
