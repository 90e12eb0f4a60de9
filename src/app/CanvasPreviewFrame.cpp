#include "app/CanvasPreviewFrame.h"

#include "app/ApplicationController.h"
#include "app/CanvasPreview.h"
#include "app/ExportFrame.h"
#include "app/StatusFrame.h"
#include "canvas/Canvas.h"
#include "doc/Document.h"
#include "doc/Properties.h"
#include "shape/Manager.h"

#include <QMetaObject>
#include <QTimer>
#include <QVBoxLayout>

CanvasPreviewFrame::CanvasPreviewFrame(ExportFrame* exportFrame, QWidget* parent)
    : QFrame(parent)
    , m_renderer(ApplicationController::instance()->generatorDocument())
    , m_exportFrame(exportFrame)
{
    m_refreshTimer = new QTimer(this);
    m_refreshTimer->setObjectName(QStringLiteral("refreshTimer"));
    m_refreshTimer->setSingleShot(true);
    m_refreshTimer->setInterval(refreshDelay);

    setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::MinimumExpanding);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 16, 16);
    m_preview = new CanvasPreview(this);
    m_preview->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::MinimumExpanding);
    m_preview->setMinimumSize(400, 400);
    layout->addWidget(m_preview, 10);
    m_status = new StatusFrame(this);
    layout->addWidget(m_status);

    connect(m_refreshTimer, &QTimer::timeout, this, &CanvasPreviewFrame::onPropertyChange);
    connect(shape::Manager::instance(), &shape::Manager::shapeChanged, this, &CanvasPreviewFrame::onShapeChanged);
    connect(m_exportFrame, &ExportFrame::exportRequested, this, &CanvasPreviewFrame::refreshIfDue);
    updateOverlayState();
}

void CanvasPreviewFrame::setGeneratorResult(const QSharedPointer<canvas::Canvas>& result)
{
    m_lastGeneratorResult = result;
    // Without a canvas the panel is empty; being out of date lets the overlay say why.
    m_isOutOfDate = result == nullptr;
    if (result != nullptr) {
        m_renderer.updateCanvasStyle(result);
    }
    m_status->setStatistic(statisticText());
    updateSvg();
    updateOverlayState();
}

QString CanvasPreviewFrame::statisticText() const
{
    if (m_lastGeneratorResult == nullptr) {
        return QString();
    }
    const auto itemCount = m_lastGeneratorResult->items().size();
    if (itemCount == 0) {
        // A canvas without items has no radius range to speak of.
        return tr("0 items");
    }
    const auto [smallest, largest] = m_lastGeneratorResult->radiusRange();
    return tr("%1 items, largest %2mm, smallest %3mm")
        .arg(QString::number(itemCount), QString::number(largest.toDouble(), 'f', 2),
             QString::number(smallest.toDouble(), 'f', 2));
}

QSharedPointer<canvas::Canvas> CanvasPreviewFrame::lastGeneratorResult() const
{
    if (m_isWorking || m_isOutOfDate) {
        return {};
    }
    return m_lastGeneratorResult;
}

void CanvasPreviewFrame::startWork()
{
    m_refreshTimer->stop();
    m_isWorking = true;
    m_status->startWork();
    updateOverlayState();
}

void CanvasPreviewFrame::endWork(Generator::RunStatus status, const QString& message)
{
    m_isWorking = false;
    m_status->endWork(status, message);
    updateOverlayState();
    if (m_isRefreshPending) {
        m_isRefreshPending = false;
        restartRefreshTimer();
    }
}

void CanvasPreviewFrame::requestCancel()
{
    m_status->requestCancel();
}

void CanvasPreviewFrame::onDocumentPropertyChanged(const QString& /*path*/, const doc::DocumentElement* /*element*/)
{
    restartRefreshTimer();
}

void CanvasPreviewFrame::onDocumentElementAdded(const QString& /*path*/)
{
    restartRefreshTimer();
}

void CanvasPreviewFrame::onDocumentElementRemoved(const QString& /*path*/)
{
    restartRefreshTimer();
}

void CanvasPreviewFrame::onDocumentElementReset()
{
    restartRefreshTimer();
}

void CanvasPreviewFrame::restartRefreshTimer()
{
    m_isRefreshDue = true;
    // Queued, so that every change of a burst postpones the refresh.
    QMetaObject::invokeMethod(m_refreshTimer, "start", Qt::QueuedConnection);
}

void CanvasPreviewFrame::onShapeChanged(const QString& identifier)
{
    if (document()->shapeIds().contains(identifier)) {
        m_isRefreshForced = true;
        restartRefreshTimer();
    }
}

void CanvasPreviewFrame::onPropertyChange()
{
    // The run writes the generator's copy; it is compared once the run is over.
    if (m_isWorking) {
        m_isRefreshPending = true;
        return;
    }
    m_isRefreshDue = false;
    if (m_lastGeneratorResult == nullptr) {
        m_isOutOfDate = true;
        updateOverlayState();
        return;
    }
    const auto generatorDocument = ApplicationController::instance()->generatorDocument();
    const doc::CompareResult comparison = document()->compare(generatorDocument);
    if (comparison == doc::CompareResult::Equal && !m_isRefreshForced) {
        m_isOutOfDate = false;
    } else if (comparison != doc::CompareResult::RequiresRegenerate) {
        m_isOutOfDate = false;
        m_isRefreshForced = false;
        generatorDocument->setFromDocument(document());
        m_renderer.updateCanvasStyle(m_lastGeneratorResult);
        updateSvg();
    } else {
        m_isOutOfDate = true;
    }
    updateOverlayState();
}

void CanvasPreviewFrame::refreshIfDue()
{
    if (m_isRefreshDue && !m_isWorking) {
        m_refreshTimer->stop();
        onPropertyChange();
    }
}

void CanvasPreviewFrame::updateSvg()
{
    if (m_lastGeneratorResult != nullptr) {
        m_svgData = m_renderer.render(m_lastGeneratorResult);
        m_exportFrame->setSvgData(m_svgData);
        const auto properties = document()->properties();
        m_preview->setBackground(properties->canvasBackgroundEnabled() ? properties->canvasBackgroundColor()
                                                                       : palette().color(QPalette::Window));
    } else {
        m_svgData.clear();
        m_exportFrame->setSvgData(QByteArray());
    }
    m_preview->loadSvg(m_svgData);
}

void CanvasPreviewFrame::updateOverlayState()
{
    // Only a canvas that matches the document is offered for export; a run does not change that.
    m_exportFrame->setOutOfDate(m_isOutOfDate || m_lastGeneratorResult == nullptr);
    if (m_isWorking) {
        m_preview->setOverlayText(tr("Working…"));
        m_preview->setInactive(true);
    } else if (m_isOutOfDate) {
        m_preview->setOverlayText(m_lastGeneratorResult != nullptr
                                      ? tr("This preview is out of date, click on “Generate Pattern” to create a new one.")
                                      : tr("Click on “Generate Pattern” to create a preview."));
        m_preview->setInactive(true);
    } else {
        m_preview->setOverlayText(QString());
        m_preview->setInactive(false);
    }
}
