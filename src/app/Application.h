#pragma once

#include <QApplication>
#include <QByteArray>
#include <QString>

// The application object: turns the desktop's file-open events into a signal that carries the file's
// content, so that the file handling never reads a file it was not asked to open.
class Application : public QApplication
{
    Q_OBJECT

public:
    // The most a project file may hold; longer files are cut here and then fail as JSON.
    static constexpr qint64 maximumProjectFileSize = 10000000;

    Application(int& argc, char** argv);

    bool event(QEvent* event) override;

signals:
    void fileOpenRequest(const QString& path, const QByteArray& data);
};
