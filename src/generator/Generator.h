#pragma once

#include "generator/InstanceList.h"
#include "geo/Angle.h"
#include "geo/Length.h"
#include "geo/Normal1D.h"

#include <QSharedPointer>
#include <QString>

#include <cstdint>
#include <memory>
#include <mutex>
#include <random>
#include <vector>

namespace canvas {
class Canvas;
}
namespace doc {
class Document;
class Item;
} // namespace doc

class ProgressInterface;

// The base of every generator: holds the generator's copy of the document, the sorted list of item
// copies to place, the empty result canvas, and a thread-safe random source.
//
// initialize is cheap: it takes the document's item definitions and makes the frame and the empty
// canvas. The list of copies, which can be very long, is built by prepareInstances inside the run, where
// progress is reported and a cancel request is heard.
class Generator
{
public:
    // One copy of an item definition waiting to be placed.
    struct Instance {
        std::shared_ptr<doc::Item> item;
        geo::Length radius;
    };

    // One placement algorithm as offered to the user.
    struct AlgorithmEntry {
        QString identifier;
        QString name;
        int icon = 0;
    };

    // Why the last run ended as it did; tells a null canvas from "cancelled" apart from the others.
    enum class RunStatus : std::uint8_t {
        NotRun,
        Completed,   // a canvas was returned
        Cancelled,   // the user asked to stop
        NothingFits, // no grid point and no item copy could be used
        Refused,     // the run would need more memory than allowed (see runMessage)
        Failed,      // an unexpected failure (see runMessage)
    };

    Generator(const QString& identifier, const QString& name);
    virtual ~Generator();
    Generator(const Generator&) = delete;
    Generator& operator=(const Generator&) = delete;

    // Prepares a run; a derived generator calls it first. Never throws: a failure is kept as the run
    // status and makes the following generate return a null canvas.
    virtual void initialize();
    // Runs the placement; null when cancelled or nothing could be placed (runStatus tells which).
    virtual QSharedPointer<canvas::Canvas> generate(ProgressInterface* progress) = 0;
    // Releases the per-run data; a derived generator calls it too.
    virtual void cleanUp();
    virtual const std::vector<AlgorithmEntry>& algorithmList() const = 0;

    const QString& identifier() const noexcept { return m_identifier; }
    const QString& name() const noexcept { return m_name; }
    void setDocument(const std::shared_ptr<doc::Document>& document);
    const std::shared_ptr<doc::Document>& document() const noexcept { return m_document; }
    // The result of the current or last run.
    const QSharedPointer<canvas::Canvas>& canvas() const noexcept { return m_canvas; }

    // The radius of the smallest copy, or the larger canvas side when there is no copy (or the list is not
    // built yet).
    geo::Length minimumFreeSpace() const noexcept { return m_minimumFreeSpace; }
    // The copies of the document's definitions before the list is built, negative counts counting 0.
    quint64 plannedInstanceCount() const noexcept { return m_plannedInstanceCount; }
    // The copies in the built list.
    quint64 instanceCount() const noexcept { return m_instances.size(); }
    bool hasNextInstance() const noexcept;
    // The instance at the current position, then advances; past the end throws std::out_of_range.
    Instance nextInstance();

    // A random normal in [0, 1) and a random angle in [0, 360) degrees; safe from any thread.
    geo::Normal1D getRandomNormal();
    geo::Angle getRandomAngle();

    RunStatus runStatus() const noexcept { return m_runStatus; }
    // The user-readable reason of a refused or failed run; empty otherwise.
    const QString& runMessage() const noexcept { return m_runMessage; }

protected:
    // Builds the list of copies, largest first, and the minimum free space. Work is counted as
    // InstanceList::workOf the definitions. False, with an empty list, when the cancel check asked to stop.
    bool prepareInstances(const InstanceList::CancelCheck& isCancelled, const InstanceList::WorkDone& workDone);
    const QList<std::shared_ptr<doc::Item>>& itemDefinitions() const noexcept { return m_itemDefinitions; }
    const InstanceList& instanceList() const noexcept { return m_instances; }

    void setRunStatus(RunStatus status, const QString& message = QString());
    // Whether initialize left the run able to go on.
    bool isInitialized() const noexcept { return m_isInitialized; }
    // Drops the reference to a canvas that a failed run left half filled.
    void releaseCanvas() noexcept;

private:
    // False, with the run status set, when there is nothing to run on.
    bool initializeOrThrow();

    QString m_identifier;
    QString m_name;
    std::shared_ptr<doc::Document> m_document;
    QSharedPointer<canvas::Canvas> m_canvas;
    geo::Length m_minimumFreeSpace;
    QList<std::shared_ptr<doc::Item>> m_itemDefinitions;
    quint64 m_plannedInstanceCount = 0;
    InstanceList m_instances;
    std::mutex m_randomMutex;
    std::ranlux48 m_randomEngine;
    std::uniform_real_distribution<double> m_angleDistribution{0.0, 360.0};
    std::uniform_real_distribution<double> m_normalDistribution{0.0, 1.0};
    RunStatus m_runStatus = RunStatus::NotRun;
    QString m_runMessage;
    bool m_isInitialized = false;
};
