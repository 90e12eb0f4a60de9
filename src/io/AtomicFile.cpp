#include "io/AtomicFile.h"

#include <QSaveFile>

#include <cerrno>
#include <cstring>

namespace io {

bool writeFileAtomically(const QString& path, const QByteArray& data, QString* errorString)
{
    QSaveFile file(path);
    const auto fail = [&file, errorString](int systemError) {
        if (errorString != nullptr) {
            // A write that stops part-way (file too large, disk full) leaves Qt without a reason of its
            // own; the system's reason is then the one to show.
            *errorString = systemError != 0 ? QString::fromLocal8Bit(std::strerror(systemError)) : file.errorString();
        }
        file.cancelWriting();
        return false;
    };
    if (!file.open(QIODevice::WriteOnly)) {
        return fail(0);
    }
    // commit() does not notice a failure while it empties the write buffer and would then replace the
    // file with a truncated one, so the flush is checked first.
    errno = 0;
    if (file.write(data) != data.size() || !file.flush()) {
        return fail(errno);
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
