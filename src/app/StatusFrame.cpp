#include "app/StatusFrame.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMetaObject>
#include <QMutexLocker>
#include <QProgressBar>
#include <QToolButton>

StatusFrame::StatusFrame(QWidget* parent)
    : QFrame(parent)
{
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
    QFont boldFont = m_statusLabel->font();
    boldFont.setWeight(QFont::Bold);
    m_statusLabel->setFont(boldFont);
    layout->addWidget(m_statusLabel);
    layout->addStretch();

    m_statisticLabel = new QLabel(this);
    m_statisticLabel->hide();
    layout->addWidget(m_statisticLabel);

    m_progressBar = new QProgressBar(this);
    m_progressBar->setRange(0, 1000);
    m_progressBar->setFixedWidth(200);
    m_progressBar->setValue(0);
    m_progressBar->hide();
    layout->addWidget(m_progressBar, 10);

    m_cancelButton = new QToolButton(this);
    m_cancelButton->setText(tr("Cancel"));
    m_cancelButton->hide();
    connect(m_cancelButton, &QToolButton::clicked, this, &StatusFrame::requestCancel);
    layout->addWidget(m_cancelButton);
}

void StatusFrame::startWork()
{
    QMutexLocker locker(&m_mutex);
    m_isCancelRequested = false;
    m_taskName = tr("Starting");
    m_throttleTimer.start();
    m_progressBar->show();
    m_progressBar->setValue(0);
    m_statusLabel->setText(tr("Starting..."));
    m_statisticLabel->hide();
    m_cancelButton->show();
    m_runTimer.start();
}

void StatusFrame::endWork()
{
    m_progressBar->hide();
    m_progressBar->setValue(0);
    m_cancelButton->hide();
    if (progressCancelRequested()) {
        m_statusLabel->setText(tr("Canceled."));
    } else {
        m_statusLabel->setText(
            tr("Work done in %1").arg(m_durationFormatter.formatMilliseconds(static_cast<std::uint64_t>(m_runTimer.elapsed()))));
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

void StatusFrame::progressTaskStarted(const QString& name)
{
    QMutexLocker locker(&m_mutex);
    QMetaObject::invokeMethod(this, "onTaskStarted", Qt::QueuedConnection, Q_ARG(QString, name));
}

void StatusFrame::progressUpdate(int perMille)
{
    QMutexLocker locker(&m_mutex);
    if (m_throttleTimer.elapsed() > 100) {
        m_throttleTimer.restart();
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
    m_taskName = name;
    m_statusLabel->setText(tr("%1...").arg(name));
}

void StatusFrame::onProgress(int perMille)
{
    QMutexLocker locker(&m_mutex);
    m_progressBar->setValue(perMille);
    m_statusLabel->setText(tr("%1... (%2%) Elapsed time: %3")
                               .arg(m_taskName)
                               .arg(perMille / 10.0, 0, 'f', 1)
                               .arg(m_durationFormatter.formatMilliseconds(
                                   static_cast<std::uint64_t>(m_runTimer.elapsed()))));
}
