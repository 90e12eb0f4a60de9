#include "support/ChangeRecorder.h"

namespace motifex::test {

namespace {

const QString changedPrefix = QStringLiteral("changed ");

} // namespace

ChangeRecorder::ChangeRecorder(std::shared_ptr<doc::DocumentElement> element)
    : m_element(std::move(element))
{
    m_element->addListener(this);
}

ChangeRecorder::~ChangeRecorder()
{
    m_element->removeListener(this);
}

QStringList ChangeRecorder::changedPaths() const
{
    QStringList paths;
    for (const QString& record : m_records) {
        if (record.startsWith(changedPrefix)) {
            paths.append(record.mid(changedPrefix.size()));
        }
    }
    return paths;
}

void ChangeRecorder::onDocumentPropertyChanged(const QString& path, const doc::DocumentElement* /*element*/)
{
    m_records.append(changedPrefix + path);
}

void ChangeRecorder::onDocumentElementAdded(const QString& path)
{
    m_records.append(QStringLiteral("added ") + path);
}

void ChangeRecorder::onDocumentElementRemoved(const QString& path)
{
    m_records.append(QStringLiteral("removed ") + path);
}

void ChangeRecorder::onDocumentElementReset()
{
    m_records.append(QStringLiteral("reset"));
}

} // namespace motifex::test
