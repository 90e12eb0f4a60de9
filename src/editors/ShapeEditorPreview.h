#pragma once

#include "widgets/FramedControl.h"

#include <QSvgRenderer>

#include <memory>

namespace shape {
class Base;
}

// The shape editor's large live picture: the shape over a grid with guide lines, on a dark panel.
class ShapeEditorPreview : public FramedControl
{
    Q_OBJECT

public:
    explicit ShapeEditorPreview(QWidget* parent);

    // Nothing for the shape already shown.
    void setShape(const std::shared_ptr<shape::Base>& shape);
    const std::shared_ptr<shape::Base>& shape() const { return m_shape; }
    // Draws the shape's current values again.
    void updateSvg();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::shared_ptr<shape::Base> m_shape;
    QSvgRenderer m_renderer;
};
