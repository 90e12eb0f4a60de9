#include "app/StandardShortcut.h"

QKeySequence standardShortcut(QKeySequence::StandardKey key)
{
    const QKeySequence platformSequence(key);
    if (!platformSequence.isEmpty()) {
        return platformSequence;
    }
    switch (key) {
    case QKeySequence::SaveAs:
        return QKeySequence(QStringLiteral("Ctrl+Shift+S"));
    case QKeySequence::Preferences:
        return QKeySequence(QStringLiteral("Ctrl+,"));
    case QKeySequence::Quit:
        return QKeySequence(QStringLiteral("Ctrl+Q"));
    default:
        return platformSequence;
    }
}
