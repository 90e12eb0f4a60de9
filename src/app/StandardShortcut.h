#pragma once

#include <QKeySequence>

// The platform's shortcut for a standard action, with a fallback where the platform defines none
// (Linux desktops leave "Save As" and "Preferences" empty, and a platform theme may define no "Quit").
QKeySequence standardShortcut(QKeySequence::StandardKey key);
