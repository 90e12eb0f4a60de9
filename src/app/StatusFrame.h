#pragma once

#include "generator/Generator.h"
#include "generator/ProgressInterface.h"
#include "plinth/TimeDurationFormatter.h"

#include <QElapsedTimer>
#include <QFrame>
#include <QMutex>
#include <QString>

#include <functional>

class QLabel;
class QProgressBar;
class QToolButton;
class StatusLabel;

// The status line under the preview. It is also the progress interface of a running generator: the
// worker-side calls only post queued calls to the line and read the cancel flag, under one mutex.
class StatusFrame : public QFrame, public ProgressInterface
{
    Q_OBJECT

public:
    // Milliseconds on a steady clock; any thread may call it.
    using Clock = std::function<qint64()>;

    // Progress values closer together than this (in milliseconds) are dropped.
    static constexpr qint64 progressInterval = 100;

    explicit StatusFrame(QWidget* parent);

    void startWork();
    // The run's end decides the text: "Canceled." for a cancelled run, the reason of a refused or failed
    // one (the statistic is hidden while it stands), otherwise the duration.
    void endWork(Generator::RunStatus status, const QString& message = QString());
    void setStatistic(const QString& text);
    void requestCancel();

    // The whole status text; the line may show it shortened (with the whole text as tooltip).
    QString statusText() const;
    QString statisticText() const;

    // Replaces the steady clock that times runs and throttles progress (tests drive it by hand).
    void setClock(Clock clock);

    void progressTaskStarted(const QString& name) override;
    void progressUpdate(int perMille) override;
    bool progressCancelRequested() override;

    Q_INVOKABLE void onTaskStarted(const QString& name);
    Q_INVOKABLE void onProgress(int perMille);

private:
    void initializeUi();
    QString elapsedText() const;

    QElapsedTimer m_steadyTimer;
    Clock m_clock;
    qint64 m_runStart = 0;
    StatusLabel* m_statusLabel = nullptr;
    QLabel* m_statisticLabel = nullptr;
    plinth::TimeDurationFormatter m_durationFormatter;
    QProgressBar* m_progressBar = nullptr;
    QToolButton* m_cancelButton = nullptr;
    QMutex m_mutex;
    qint64 m_lastProgressTime = 0;
    QString m_taskName;
    bool m_isCancelRequested = false;
    // Main thread only: queued calls that arrive after the run has ended are dropped.
    bool m_isWorking = false;
};
