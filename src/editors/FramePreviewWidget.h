#pragma once

#include "widgets/DocumentEditor.h"
#include "widgets/FramedControl.h"

#include <QColor>
#include <QPolygonF>
#include <QTimer>

#include <memory>

namespace frame {
class Base;
}

// Draws the canvas with its margin and frame as the generator will use them, rebuilt 100 ms after the
// last change of a property that shapes or colours it. The on/off switches of background and frame do
// not matter here: both colours are always drawn.
class FramePreviewWidget : public FramedControl, public DocumentEditor
{
    Q_OBJECT

public:
    explicit FramePreviewWidget(QWidget* parent);

    // Null until the first rebuild.
    const std::shared_ptr<frame::Base>& frame() const { return m_frame; }
    bool isRefreshPending() const { return m_timer.isActive(); }

    void onDocumentPropertyChanged(const QString& path, const doc::DocumentElement* element) override;
    void onDocumentElementReset() override;

    // The colour of the outlines on a background: white on dark, black on light.
    static QColor lineColorFor(const QColor& background);

public slots:
    // Rebuilds the frame from the document's properties and repaints.
    void updateFrame();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer m_timer;
    std::shared_ptr<frame::Base> m_frame;
    double m_marginMillimeters = 0.0;
    // In millimetres, already shifted by the margin.
    QPolygonF m_outline;
    QColor m_backgroundColor;
    QColor m_frameColor;
};
