#pragma once

#include <QByteArray>
#include <QString>

namespace io {

// Writes the whole file or nothing: the data goes to a temporary file that replaces the old one only when
// every byte was written. Returns false (with the reason in errorString when given) on any failure, and
// the old file is then left as it was.
bool writeFileAtomically(const QString& path, const QByteArray& data, QString* errorString = nullptr);

} // namespace io
