#pragma once

#include <QString>

// The user's Documents folder, where file dialogs start; the home folder where there is none (a
// Linux desktop may name a Documents folder that was never made).
QString documentsFolder();
// The folder when it exists, else the Documents folder: where a remembered folder is gone.
QString existingFolderOrDocuments(const QString& folder);
