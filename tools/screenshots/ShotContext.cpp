#include "ShotContext.h"

#include "app/ApplicationController.h"
#include "app/MainWindow.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QElapsedTimer>
#include <QMenu>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QThread>
#include <QTimer>

ShotContext::ShotContext(const QString& outputDir)
    : m_outputDir(outputDir)
{
    m_outputDir.mkpath(QStringLiteral("."));
}

void ShotContext::start(WindowSize size)
{
    m_controller = std::make_unique<ApplicationController>();
    if (!m_controller->start()) {
        qFatal("The application did not start.");
    }
    if (size == WindowSize::LargeScreen) {
        window()->resize(MainWindow::firstGeometry(QRect(0, 0, 1600, 1000), window()->minimumSize()).size());
    }
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

void ShotContext::saveScreen(const QString& name)
{
    settle(50);
    const QString path = m_outputDir.filePath(name + QStringLiteral(".png"));
    if (!window()->screen()->grabWindow(0).save(path)) {
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
    saveModals(trigger, {ModalShot{name, close}});
}

void ShotContext::saveModals(const std::function<void()>& trigger, const QList<ModalShot>& shots)
{
    int nextShot = 0;
    QPointer<QWidget> lastModal;
    // The boxes may run their own event loops (exec), so they are grabbed from a timer inside those loops.
    auto* poller = new QTimer;
    poller->setInterval(20);
    QObject::connect(poller, &QTimer::timeout, [this, poller, &shots, &nextShot, &lastModal] {
        QWidget* modal = QApplication::activeModalWidget();
        if (nextShot >= shots.size() || modal == nullptr || !modal->isVisible() || modal == lastModal) {
            return;
        }
        // Stopped while it works: settling runs the event loop, which would call this slot again.
        poller->stop();
        settle(150);
        const ModalShot& shot = shots.at(nextShot++);
        save(modal, shot.name);
        lastModal = modal;
        if (shot.close) {
            shot.close(modal);
        } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->reject();
        } else {
            modal->close();
        }
        poller->start();
    });
    poller->start();
    trigger();
    if (!waitFor([&nextShot, &shots] { return nextShot >= shots.size(); }, 10000)) {
        qWarning("Only %d of %d modal boxes appeared, from %s on", static_cast<int>(nextShot),
                 static_cast<int>(shots.size()), qPrintable(shots.value(nextShot).name));
    }
    poller->stop();
    poller->deleteLater();
    settle(100);
}
