#pragma once

#include "widgets/FramedControl.h"

#include <QByteArray>
#include <QColor>

class QLabel;
class QSvgWidget;

// Draws the SVG of a generated canvas on a framed panel, with an overlay text and a dimmed look while
// the picture is not current.
class CanvasPreview : public FramedControl
{
    Q_OBJECT

public:
    explicit CanvasPreview(QWidget* parent);

    void setBackground(const QColor& color);
    const QColor& background() const { return m_background; }
    void loadSvg(const QByteArray& data);
    // The SVG last loaded (shared with the caller's copy, not duplicated).
    const QByteArray& svgData() const { return m_svgData; }
    void setOverlayText(const QString& text);
    QString overlayText() const;
    void setInactive(bool isInactive);
    bool isInactive() const { return m_isInactive; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    static QColor defaultBackground();

    bool m_isInactive = false;
    QSvgWidget* m_svgView = nullptr;
    QColor m_background;
    QByteArray m_svgData;
    QLabel* m_overlayLabel = nullptr;
};
