#include "app/RunningActionStack.h"

void RunningActionStack::push(RunningAction::Type type, const QString& path, const QByteArray& data)
{
    m_actions.append(RunningAction{type, path, data});
}

void RunningActionStack::pop()
{
    if (!m_actions.isEmpty()) {
        m_actions.removeLast();
    }
}

void RunningActionStack::clear()
{
    m_actions.clear();
}

bool RunningActionStack::hasCurrent() const
{
    return !m_actions.isEmpty();
}

const RunningAction& RunningActionStack::current() const
{
    return m_actions.last();
}

QString RunningActionStack::currentPath() const
{
    return hasCurrent() ? current().path : QString();
}

RunningAction::Type RunningActionStack::currentType() const
{
    return hasCurrent() ? current().type : RunningAction::Type::ApplicationClose;
}

void RunningActionStack::updatePath(const QString& path)
{
    if (hasCurrent()) {
        m_actions.last().path = path;
    }
}

QString RunningActionStack::actionTypeToString(RunningAction::Type type)
{
    switch (type) {
    case RunningAction::Type::ApplicationClose:
        return QStringLiteral("ApplicationClose");
    case RunningAction::Type::NewProject:
        return QStringLiteral("NewProject");
    case RunningAction::Type::OpenProject:
        return QStringLiteral("OpenProject");
    case RunningAction::Type::SaveProject:
        return QStringLiteral("SaveProject");
    case RunningAction::Type::OpenExample:
        break;
    }
    return QString();
}
