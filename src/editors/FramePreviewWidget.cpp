#include "editors/FramePreviewWidget.h"

#include "doc/Document.h"
#include "doc/Properties.h"
#include "frame/Base.h"
#include "frame/Manager.h"
#include "geo/Fixed.h"

#include <QPainter>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {

constexpr int refreshDelayMilliseconds = 100;
constexpr int pictureInset = 8;

// The properties that change what the preview draws.
const QStringList& drawnPropertyKeys()
{
    static const QStringList keys{
        QStringLiteral("canvasFrameShape"),      QStringLiteral("canvasMargin"),
        QStringLiteral("canvasSize"),            QStringLiteral("canvasFrameRatio"),
        QStringLiteral("canvasFrameValueA"),     QStringLiteral("canvasFrameValueB"),
        QStringLiteral("canvasFrameValueC"),     QStringLiteral("canvasFrameValueD"),
        QStringLiteral("canvasFrameValueE"),     QStringLiteral("canvasBackgroundColor"),
        QStringLiteral("canvasFrameColor"),
    };
    return keys;
}

double millimeters(qint64 fixed)
{
    return geo::fixedToDouble(fixed);
}

} // namespace

FramePreviewWidget::FramePreviewWidget(QWidget* parent)
    : FramedControl(parent)
{
    setMinimumWidth(200);
    setFixedHeight(160);
    m_timer.setSingleShot(true);
    m_timer.setInterval(refreshDelayMilliseconds);
    connect(&m_timer, &QTimer::timeout, this, &FramePreviewWidget::updateFrame);
}

void FramePreviewWidget::onDocumentPropertyChanged(const QString& path, const doc::DocumentElement* /*element*/)
{
    const QStringList fields = path.split(QLatin1Char('/'));
    if (fields.size() >= 2 && fields.at(0) == QLatin1String("properties") && drawnPropertyKeys().contains(fields.at(1))) {
        m_timer.start();
    }
}

void FramePreviewWidget::onDocumentElementReset()
{
    m_timer.start();
}

void FramePreviewWidget::updateFrame()
{
    const frame::Manager* frames = frame::Manager::instance();
    if (frames == nullptr) {
        return;
    }
    const std::shared_ptr<doc::Properties> properties = document()->properties();
    // A shape outside the table is built as the rectangle, so an unknown shape still shows a frame.
    m_frame = frames->createFrame(properties->canvasFrameShape(), properties->canvasSize(),
                                  properties->canvasFrameRatio(),
                                  {properties->canvasFrameValueA(), properties->canvasFrameValueB(),
                                   properties->canvasFrameValueC(), properties->canvasFrameValueD(),
                                   properties->canvasFrameValueE()});
    m_marginMillimeters = millimeters(properties->canvasMargin().value());
    m_backgroundColor = properties->canvasBackgroundColor();
    m_frameColor = properties->canvasFrameColor();
    m_outline.clear();
    if (m_frame != nullptr) {
        for (const geo::Point2D& point : m_frame->outline().points()) {
            m_outline.append(QPointF(millimeters(point.x()) + m_marginMillimeters,
                                     millimeters(point.y()) + m_marginMillimeters));
        }
    }
    update();
}

QColor FramePreviewWidget::lineColorFor(const QColor& background)
{
    return background.valueF() < 0.5f ? QColor(Qt::white) : QColor(Qt::black);
}

void FramePreviewWidget::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    paintPanel(&painter, m_backgroundColor);
    if (m_frame == nullptr) {
        return;
    }
    const QSizeF available(width() - 2 * pictureInset, height() - 2 * pictureInset);
    const QSizeF total(millimeters(m_frame->size().width()) + 2.0 * m_marginMillimeters,
                       millimeters(m_frame->size().height()) + 2.0 * m_marginMillimeters);
    const double scale = std::min(available.width() / total.width(), available.height() / total.height());
    if (!std::isfinite(scale) || scale <= 0.0) {
        return;
    }
    const QPointF offset(std::round((available.width() - scale * total.width()) / 2.0) + pictureInset,
                         std::round((available.height() - scale * total.height()) / 2.0) + pictureInset);
    painter.translate(offset);
    painter.scale(scale, scale);
    // One device pixel wide at any scale.
    painter.setPen(QPen(lineColorFor(m_backgroundColor), 1.0 / scale, Qt::SolidLine));
    painter.setBrush(m_backgroundColor);
    painter.drawRect(QRectF(QPointF(0.0, 0.0), total));
    painter.setBrush(m_frameColor);
    painter.drawPolygon(m_outline, Qt::OddEvenFill);
}
