#include "app/StatusFrame.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMetaObject>
#include <QMutexLocker>
#include <QProgressBar>
#include <QTextLayout>
#include <QToolButton>

#include <algorithm>
#include <utility>

// Shows its text on at most two lines of the width it is given, the rest elided, with the whole text as
// tooltip when it does not fit. Its width comes from the status line, never from the text, so that a long
// text (the reason of a refused run) can neither widen the window nor push the preview up.
class StatusLabel : public QLabel
{
public:
    explicit StatusLabel(QWidget* parent)
        : QLabel(parent)
    {
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        setTextFormat(Qt::PlainText);
    }

    void setFullText(const QString& text)
    {
        m_fullText = text;
        updateShownText();
    }

    const QString& fullText() const { return m_fullText; }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QLabel::resizeEvent(event);
        updateShownText();
    }

    void changeEvent(QEvent* event) override
    {
        QLabel::changeEvent(event);
        if (event->type() == QEvent::FontChange) {
            updateShownText();
        }
    }

private:
    void updateShownText()
    {
        const QString oneLine = m_fullText.simplified();
        const int width = contentsRect().width();
        QString shown = oneLine;
        bool isShortened = false;
        if (width > 0 && fontMetrics().horizontalAdvance(oneLine) > width) {
            QTextLayout layout(oneLine, font());
            QTextOption option;
            option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
            layout.setTextOption(option);
            layout.beginLayout();
            QTextLine firstLine = layout.createLine();
            firstLine.setLineWidth(width);
            const int firstLength = firstLine.textLength();
            layout.endLayout();
            const QString rest = oneLine.mid(firstLength).trimmed();
            if (!rest.isEmpty()) {
                const QString secondLine = fontMetrics().elidedText(rest, Qt::ElideRight, width);
                shown = oneLine.left(firstLength).trimmed() + QLatin1Char('\n') + secondLine;
                isShortened = secondLine != rest;
            }
        }
        setToolTip(isShortened ? m_fullText : QString());
        if (text() != shown) {
            setText(shown);
        }
    }

    QString m_fullText;
};

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

    m_statusLabel = new StatusLabel(this);
    m_statusLabel->setObjectName(QStringLiteral("statusLabel"));
    QFont boldFont = m_statusLabel->font();
    boldFont.setWeight(QFont::Bold);
    m_statusLabel->setFont(boldFont);
    m_statusLabel->setFullText(tr("Ready"));
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
    m_statusLabel->setFullText(tr("Starting..."));
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
    bool isStatisticShown = true;
    switch (status) {
    case Generator::RunStatus::Cancelled:
        m_statusLabel->setFullText(tr("Canceled."));
        break;
    case Generator::RunStatus::Refused:
    case Generator::RunStatus::Failed:
    case Generator::RunStatus::NotRun:
        // The reason, often with advice, takes the whole line while it stands; the earlier run's
        // statistic comes back with the next run.
        m_statusLabel->setFullText(message);
        isStatisticShown = false;
        break;
    case Generator::RunStatus::Completed:
    case Generator::RunStatus::NothingFits:
        m_statusLabel->setFullText(tr("Work done in %1").arg(elapsedText()));
        break;
    }
    m_statisticLabel->setVisible(isStatisticShown);
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
    return m_statusLabel->fullText();
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
    m_statusLabel->setFullText(tr("%1...").arg(name));
}

void StatusFrame::onProgress(int perMille)
{
    QMutexLocker locker(&m_mutex);
    if (!m_isWorking) {
        return;
    }
    m_progressBar->setValue(perMille);
    m_statusLabel->setFullText(tr("%1... (%2%) Elapsed time: %3")
                                   .arg(m_taskName, QString::number(perMille / 10.0, 'f', 1), elapsedText()));
}
