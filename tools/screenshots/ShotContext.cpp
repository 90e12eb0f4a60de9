#include "ShotContext.h"

#include "app/ApplicationController.h"
#include "app/MainWindow.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QElapsedTimer>
#include <QMenu>
#include <QPixmap>
#include <QThread>
#include <QTimer>

ShotContext::ShotContext(const QString& outputDir)
    : m_outputDir(outputDir)
    , m_controller(std::make_unique<ApplicationController>())
{
    m_outputDir.mkpath(QStringLiteral("."));
    if (!m_controller->start()) {
        qFatal("The application did not start.");
    }
    window()->resize(1400, 900);
    settle(300);
}

ShotContext::~ShotContext() = default;

ApplicationController& ShotContext::controller()
{
    return *m_controller;
}

MainWindow* ShotContext::window()
{
    return m_controller->mainWindow();
}

void ShotContext::settle(int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
}

bool ShotContext::waitFor(const std::function<bool()>& condition, int timeoutMilliseconds)
{
    QDeadlineTimer deadline(timeoutMilliseconds);
    while (!condition()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
    return true;
}

void ShotContext::save(QWidget* widget, const QString& name)
{
    settle(50);
    const QString path = m_outputDir.filePath(name + QStringLiteral(".png"));
    if (!widget->grab().save(path)) {
        qWarning("Could not write %s", qPrintable(path));
    }
}

void ShotContext::saveMenu(QMenu* menu, const QString& name)
{
    menu->popup(window()->mapToGlobal(QPoint(40, 40)));
    settle(150);
    save(menu, name);
    menu->hide();
    settle(50);
}

void ShotContext::saveModal(const std::function<void()>& trigger, const QString& name,
                            const std::function<void(QWidget*)>& close)
{
    bool isSaved = false;
    // The box may run its own event loop (exec), so it is grabbed from a timer inside that loop.
    auto* poller = new QTimer;
    poller->setInterval(20);
    QObject::connect(poller, &QTimer::timeout, [this, poller, name, close, &isSaved] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible()) {
            return;
        }
        poller->stop();
        settle(150);
        save(modal, name);
        isSaved = true;
        if (close) {
            close(modal);
        } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->reject();
        } else {
            modal->close();
        }
    });
    poller->start();
    trigger();
    if (!waitFor([&isSaved] { return isSaved; }, 10000)) {
        qWarning("No modal box appeared for %s", qPrintable(name));
    }
    poller->deleteLater();
    settle(100);
}
