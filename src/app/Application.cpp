#include "app/Application.h"

#include <QFile>
#include <QFileInfo>
#include <QFileOpenEvent>
#include <QUrl>

Application::Application(int& argc, char** argv)
    : QApplication(argc, argv)
{
}

bool Application::event(QEvent* event)
{
    if (event->type() == QEvent::FileOpen) {
        auto* fileOpenEvent = static_cast<QFileOpenEvent*>(event);
        const QUrl url = fileOpenEvent->url();
        if (url.isLocalFile()) {
            const QFileInfo fileInfo(url.toLocalFile());
            if (fileInfo.isFile()) {
                QFile file(fileInfo.absoluteFilePath());
                if (file.open(QIODevice::ReadOnly)) {
                    const QByteArray data = file.read(maximumProjectFileSize);
                    if (!data.isEmpty()) {
                        emit fileOpenRequest(fileOpenEvent->file(), data);
                    }
                }
            }
        }
    }
    return QApplication::event(event);
}
