#include "app/StatusFrame.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMetaObject>
#include <QMutexLocker>
#include <QProgressBar>
#include <QToolButton>

#include <algorithm>
#include <utility>

StatusFrame::StatusFrame(QWidget* parent)
    : QFrame(parent)
{
    m_steadyTimer.start();
    m_clock = [this] { return m_steadyTimer.elapsed(); };
    initializeUi();
}

void StatusFrame::initializeUi()
{
    setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Preferred);
    setMinimumHeight(26);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);

    m_statusLabel = new QLabel(tr("Ready"), this);
    m_statusLabel->setObjectName(QStringLiteral("statusLabel"));
    QFont boldFont = m_statusLabel->font();
    boldFont.setWeight(QFont::Bold);
    m_statusLabel->setFont(boldFont);
    // The reason of a refused run can be long: the label takes the free width and wraps within it
    // instead of widening the window.
    m_statusLabel->setWordWrap(true);
    m_statusLabel->setTextFormat(Qt::PlainText);
    layout->addWidget(m_statusLabel, 1);
    layout->addStretch(0);

    m_statisticLabel = new QLabel(this);
    m_statisticLabel->setObjectName(QStringLiteral("statisticLabel"));
    m_statisticLabel->setTextFormat(Qt::PlainText);
    m_statisticLabel->hide();
    layout->addWidget(m_statisticLabel);

    m_progressBar = new QProgressBar(this);
    m_progressBar->setObjectName(QStringLiteral("progressBar"));
    m_progressBar->setRange(0, 1000);
    m_progressBar->setFixedWidth(200);
    m_progressBar->setValue(0);
    m_progressBar->hide();
    layout->addWidget(m_progressBar, 10);

    m_cancelButton = new QToolButton(this);
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    m_cancelButton->setText(tr("Cancel"));
    m_cancelButton->hide();
    connect(m_cancelButton, &QToolButton::clicked, this, &StatusFrame::requestCancel);
    layout->addWidget(m_cancelButton);
}

void StatusFrame::setClock(Clock clock)
{
    QMutexLocker locker(&m_mutex);
    m_clock = std::move(clock);
}

void StatusFrame::startWork()
{
    QMutexLocker locker(&m_mutex);
    m_isWorking = true;
    m_isCancelRequested = false;
    m_taskName = tr("Starting");
    m_lastProgressTime = m_clock();
    m_progressBar->show();
    m_progressBar->setValue(0);
    m_statusLabel->setText(tr("Starting..."));
    m_statisticLabel->hide();
    m_cancelButton->show();
    m_runStart = m_lastProgressTime;
}

void StatusFrame::endWork(Generator::RunStatus status, const QString& message)
{
    m_isWorking = false;
    m_progressBar->hide();
    m_progressBar->setValue(0);
    m_cancelButton->hide();
    switch (status) {
    case Generator::RunStatus::Cancelled:
        m_statusLabel->setText(tr("Canceled."));
        break;
    case Generator::RunStatus::Refused:
    case Generator::RunStatus::Failed:
    case Generator::RunStatus::NotRun:
        m_statusLabel->setText(message);
        break;
    case Generator::RunStatus::Completed:
    case Generator::RunStatus::NothingFits:
        m_statusLabel->setText(tr("Work done in %1").arg(elapsedText()));
        break;
    }
    m_statisticLabel->show();
}

void StatusFrame::setStatistic(const QString& text)
{
    m_statisticLabel->setText(text);
}

void StatusFrame::requestCancel()
{
    QMutexLocker locker(&m_mutex);
    m_isCancelRequested = true;
}

QString StatusFrame::statusText() const
{
    return m_statusLabel->text();
}

QString StatusFrame::statisticText() const
{
    return m_statisticLabel->text();
}

QString StatusFrame::elapsedText() const
{
    const qint64 elapsed = std::max<qint64>(0, m_clock() - m_runStart);
    return m_durationFormatter.formatMilliseconds(static_cast<std::uint64_t>(elapsed));
}

void StatusFrame::progressTaskStarted(const QString& name)
{
    QMutexLocker locker(&m_mutex);
    QMetaObject::invokeMethod(this, "onTaskStarted", Qt::QueuedConnection, Q_ARG(QString, name));
}

void StatusFrame::progressUpdate(int perMille)
{
    QMutexLocker locker(&m_mutex);
    const qint64 now = m_clock();
    if (now - m_lastProgressTime > progressInterval) {
        m_lastProgressTime = now;
        QMetaObject::invokeMethod(this, "onProgress", Qt::QueuedConnection, Q_ARG(int, perMille));
    }
}

bool StatusFrame::progressCancelRequested()
{
    QMutexLocker locker(&m_mutex);
    return m_isCancelRequested;
}

void StatusFrame::onTaskStarted(const QString& name)
{
    QMutexLocker locker(&m_mutex);
    if (!m_isWorking) {
        return;
    }
    m_taskName = name;
    m_statusLabel->setText(tr("%1...").arg(name));
}

void StatusFrame::onProgress(int perMille)
{
    QMutexLocker locker(&m_mutex);
    if (!m_isWorking) {
        return;
    }
    m_progressBar->setValue(perMille);
    m_statusLabel->setText(tr("%1... (%2%) Elapsed time: %3")
                               .arg(m_taskName, QString::number(perMille / 10.0, 'f', 1), elapsedText()));
}
