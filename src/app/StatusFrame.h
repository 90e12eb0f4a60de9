#pragma once

#include "generator/ProgressInterface.h"
#include "plinth/TimeDurationFormatter.h"

#include <QElapsedTimer>
#include <QFrame>
#include <QMutex>
#include <QString>

class QLabel;
class QProgressBar;
class QToolButton;

// The status line under the preview. It is also the progress interface of a running generator: the
// worker-side calls only post queued calls to the line and read the cancel flag, under one mutex.
class StatusFrame : public QFrame, public ProgressInterface
{
    Q_OBJECT

public:
    explicit StatusFrame(QWidget* parent);

    void startWork();
    void endWork();
    void setStatistic(const QString& text);
    void requestCancel();

    void progressTaskStarted(const QString& name) override;
    void progressUpdate(int perMille) override;
    bool progressCancelRequested() override;

    Q_INVOKABLE void onTaskStarted(const QString& name);
    Q_INVOKABLE void onProgress(int perMille);

private:
    void initializeUi();

    QElapsedTimer m_runTimer;
    QLabel* m_statusLabel = nullptr;
    QLabel* m_statisticLabel = nullptr;
    plinth::TimeDurationFormatter m_durationFormatter;
    QProgressBar* m_progressBar = nullptr;
    QToolButton* m_cancelButton = nullptr;
    QMutex m_mutex;
    QElapsedTimer m_throttleTimer;
    QString m_taskName;
    bool m_isCancelRequested = false;
};
