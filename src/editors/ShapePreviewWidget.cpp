#include "editors/ShapePreviewWidget.h"

#include "geo/Size.h"
#include "shape/Manager.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int thumbnailSide = 48;
constexpr int pictureSide = 44;
constexpr int pictureInset = 2;

} // namespace

ShapePreviewWidget::ShapePreviewWidget(QWidget* parent)
    : QFrame(parent)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    setFixedSize(thumbnailSide, thumbnailSide);
    setCursor(Qt::PointingHandCursor);
    if (const auto* manager = shape::Manager::instance()) {
        connect(manager, &shape::Manager::shapeChanged, this, &ShapePreviewWidget::onShapeEvent);
        // A shape that disappears, or comes back with a project, changes what is drawn as well.
        connect(manager, &shape::Manager::shapeRemoved, this, &ShapePreviewWidget::onShapeEvent);
        connect(manager, &shape::Manager::shapeAdded, this, &ShapePreviewWidget::onShapeEvent);
    }
}

void ShapePreviewWidget::setShapeId(const QString& identifier)
{
    if (identifier == m_shapeId) {
        return;
    }
    m_shapeId = identifier;
    updateSvgCode();
    update();
}

void ShapePreviewWidget::updateSvgCode()
{
    const auto* manager = shape::Manager::instance();
    const auto shape = m_shapeId.isEmpty() || manager == nullptr ? nullptr : manager->shape(m_shapeId);
    if (shape == nullptr) {
        // A picture without content: nothing is drawn for the default entry or a shape that is gone.
        m_renderer.load(QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\"/>"));
        return;
    }
    const qint64 side = static_cast<qint64>(pictureSide) * geo::fixedUnit;
    m_renderer.load(shape->toSvg(geo::Size(side, side), palette().color(QPalette::Text)));
}

void ShapePreviewWidget::onShapeEvent(const QString& identifier)
{
    if (!m_shapeId.isEmpty() && identifier == m_shapeId) {
        updateSvgCode();
        update();
    }
}

void ShapePreviewWidget::mousePressEvent(QMouseEvent* event)
{
    QFrame::mousePressEvent(event);
    emit clicked();
}

void ShapePreviewWidget::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_shapeId.isEmpty()) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(palette().color(QPalette::Window));
        painter.drawEllipse(rect());
        painter.setPen(QPen(palette().color(QPalette::Text), 2));
        painter.drawText(rect(), Qt::AlignCenter, tr("Default"));
        return;
    }
    m_renderer.render(&painter, QRectF(pictureInset, pictureInset, width() - 2 * pictureInset,
                                       height() - 2 * pictureInset));
}

void ShapePreviewWidget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange) {
        updateSvgCode();
        update();
    }
    QFrame::changeEvent(event);
}
