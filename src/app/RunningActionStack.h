#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>

// One file command that waits for a question or a dialog to be answered.
struct RunningAction {
    enum class Type : std::uint8_t {
        ApplicationClose = 0,
        NewProject = 1,
        OpenProject = 2,
        SaveProject = 3,
        OpenExample = 4,
    };

    Type type = Type::ApplicationClose;
    // The project file; empty while not yet chosen.
    QString path;
    // The file's content when it is already known (file-open events); empty otherwise.
    QByteArray data;
};

// The pending file commands, the newest on top. Answers to questions continue or drop them.
class RunningActionStack
{
public:
    void push(RunningAction::Type type, const QString& path = QString(), const QByteArray& data = QByteArray());
    // Does nothing when the stack is empty.
    void pop();
    void clear();
    bool hasCurrent() const;
    // The top entry; only valid while hasCurrent().
    const RunningAction& current() const;
    // Empty when the stack is empty.
    QString currentPath() const;
    // ApplicationClose when the stack is empty.
    RunningAction::Type currentType() const;
    // Sets the path of the top entry; does nothing when the stack is empty.
    void updatePath(const QString& path);

    int size() const { return static_cast<int>(m_actions.size()); }
    const QList<RunningAction>& actions() const { return m_actions; }

    // "ApplicationClose", "NewProject", "OpenProject", "SaveProject"; empty for any other type.
    static QString actionTypeToString(RunningAction::Type type);

private:
    QList<RunningAction> m_actions;
};
