#pragma once

#include "doc/DocumentChangeListener.h"
#include "doc/DocumentElement.h"

#include <QStringList>

#include <memory>

namespace motifex::test {

// Listens to one document element and records every announcement it makes, in order, as
// "changed <path>", "added <path>", "removed <path>" or "reset", so that tests can check that an edit
// is announced exactly once and that a refresh writes nothing back.
class ChangeRecorder : public doc::DocumentChangeListener
{
public:
    explicit ChangeRecorder(std::shared_ptr<doc::DocumentElement> element);
    ~ChangeRecorder() override;
    ChangeRecorder(const ChangeRecorder&) = delete;
    ChangeRecorder& operator=(const ChangeRecorder&) = delete;

    const QStringList& records() const { return m_records; }
    // Only the paths of property changes.
    QStringList changedPaths() const;
    int count() const { return static_cast<int>(m_records.size()); }
    void clear() { m_records.clear(); }

    void onDocumentPropertyChanged(const QString& path, const doc::DocumentElement* element) override;
    void onDocumentElementAdded(const QString& path) override;
    void onDocumentElementRemoved(const QString& path) override;
    void onDocumentElementReset() override;

private:
    std::shared_ptr<doc::DocumentElement> m_element;
    QStringList m_records;
};

} // namespace motifex::test
