#pragma once

#include "generator/Generator.h"
#include "svg/Renderer.h"
#include "widgets/DocumentEditor.h"

#include <QByteArray>
#include <QFrame>
#include <QSharedPointer>

class QTimer;

namespace canvas {
class Canvas;
}

class CanvasPreview;
class ExportFrame;
class StatusFrame;

// The right side of the main window: the preview above the status line. Keeps the last generated
// canvas, renders it, and follows the document: a second after the last change it restyles the canvas
// or marks it out of date.
class CanvasPreviewFrame : public QFrame, public DocumentEditor
{
    Q_OBJECT

public:
    // How long after the last change the preview compares the documents, in milliseconds.
    static constexpr int refreshDelay = 1000;

    CanvasPreviewFrame(ExportFrame* exportFrame, QWidget* parent);

    // Shows a new result; a null result leaves an empty panel that is marked out of date.
    void setGeneratorResult(const QSharedPointer<canvas::Canvas>& result);
    // The last result while it matches the document (not working, not out of date); null otherwise.
    QSharedPointer<canvas::Canvas> lastGeneratorResult() const;

    void startWork();
    // The run's end decides the status text (see StatusFrame::endWork).
    void endWork(Generator::RunStatus status, const QString& message = QString());
    void requestCancel();
    StatusFrame* status() const { return m_status; }
    CanvasPreview* canvasPreview() const { return m_preview; }
    const QByteArray& svgData() const { return m_svgData; }
    bool isOutOfDate() const { return m_isOutOfDate; }
    bool isWorking() const { return m_isWorking; }

    void onDocumentPropertyChanged(const QString& path, const doc::DocumentElement* element) override;
    void onDocumentElementAdded(const QString& path) override;
    void onDocumentElementRemoved(const QString& path) override;
    void onDocumentElementReset() override;

public slots:
    // Compares the edited document with the generator's copy: restyles the canvas or marks it out of date.
    void onPropertyChange();
    void updateSvg();
    void updateOverlayState();

private:
    void onShapeChanged(const QString& identifier);
    void restartRefreshTimer();
    // Runs a comparison that is still due at once (an export must not wait for the timer).
    void refreshIfDue();
    QString statisticText() const;

    QSharedPointer<canvas::Canvas> m_lastGeneratorResult;
    bool m_isWorking = false;
    bool m_isOutOfDate = true;
    bool m_isRefreshForced = false;
    // A refresh that came due during a run; it runs once the run has ended.
    bool m_isRefreshPending = false;
    // A change arrived that the comparison has not seen yet.
    bool m_isRefreshDue = false;
    QTimer* m_refreshTimer = nullptr;
    svg::Renderer m_renderer;
    QByteArray m_svgData;
    ExportFrame* m_exportFrame = nullptr;
    CanvasPreview* m_preview = nullptr;
    StatusFrame* m_status = nullptr;
};
