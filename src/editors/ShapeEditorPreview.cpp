#include "editors/ShapeEditorPreview.h"

#include "shape/Base.h"

#include <QPainter>

namespace {

constexpr int previewSide = 528;

} // namespace

ShapeEditorPreview::ShapeEditorPreview(QWidget* parent)
    : FramedControl(parent)
{
    setFixedSize(previewSide, previewSide);
}

void ShapeEditorPreview::setShape(const std::shared_ptr<shape::Base>& shape)
{
    if (shape == m_shape) {
        return;
    }
    m_shape = shape;
    updateSvg();
}

void ShapeEditorPreview::updateSvg()
{
    m_renderer.load(m_shape != nullptr ? m_shape->toPreview()
                                       : QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\"/>"));
    update();
}

void ShapeEditorPreview::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    paintPanel(&painter, QColor::fromHsvF(0, 0, 0.1f, 1));
    painter.setRenderHint(QPainter::Antialiasing);
    m_renderer.render(&painter, QRectF(rect()));
}
