#include "io/AtomicFile.h"

#include <QSaveFile>

namespace io {

bool writeFileAtomically(const QString& path, const QByteArray& data, QString* errorString)
{
    QSaveFile file(path);
    const auto fail = [&file, errorString]() {
        if (errorString != nullptr) {
            *errorString = file.errorString();
        }
        file.cancelWriting();
        return false;
    };
    if (!file.open(QIODevice::WriteOnly)) {
        return fail();
    }
    // commit() does not notice a failure while it empties the write buffer and would then replace the
    // file with a truncated one, so the flush is checked first.
    if (file.write(data) != data.size() || !file.flush()) {
        return fail();
    }
    if (!file.commit()) {
        if (errorString != nullptr) {
            *errorString = file.errorString();
        }
        return false;
    }
    return true;
}

} // namespace io
