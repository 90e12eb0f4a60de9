#include "support/EditorTesting.h"

#include <QAction>
#include <QComboBox>

namespace motifex::test {

QStringList actionTexts(const QList<QAction*>& actions)
{
    QStringList texts;
    for (const QAction* action : actions) {
        texts.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return texts;
}

QStringList comboTexts(const QComboBox* box, int role)
{
    QStringList texts;
    for (int index = 0; index < box->count(); ++index) {
        texts.append(box->itemData(index, role).toString());
    }
    return texts;
}

EventCounter::EventCounter(QObject* watched, QEvent::Type type) : m_type(type)
{
    watched->installEventFilter(this);
}

bool EventCounter::eventFilter(QObject* /*watched*/, QEvent* event)
{
    if (event->type() == m_type) {
        ++count;
    }
    return false;
}

} // namespace motifex::test
