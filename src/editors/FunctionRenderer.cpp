#include "editors/FunctionRenderer.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmapCache>

#include <algorithm>

namespace {

QPen linePen(double value, double width)
{
    return QPen(QColor::fromHsvF(0, 0, value, 1), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QPainterPath curvePath(const FunctionRenderer::Function& function, const QRectF& plot, int segmentCount)
{
    QPainterPath path;
    for (int i = 0; i <= segmentCount; ++i) {
        const double x = std::clamp(static_cast<double>(i) / segmentCount, 0.0, 1.0);
        const double y = function(x);
        // Values outside 0 .. 1 leave the plot; only the picture's edge clips them.
        const QPointF point(plot.left() + x * plot.width(), plot.top() + plot.height() - y * plot.height());
        if (i == 0) {
            path.moveTo(point);
        } else {
            path.lineTo(point);
        }
    }
    return path;
}

} // namespace

QPixmap FunctionRenderer::pixmapForFunction(const func::FunctionPtr& function)
{
    if (function == nullptr) {
        QPixmap empty(pictureSize, pictureSize);
        empty.fill(Qt::transparent);
        return empty;
    }
    return cachedPixmapForFunction([function](double x) { return function->value(geo::Normal1D(x).orZero()).value(); },
                                   function->identifier(), QSize(pictureSize, pictureSize), pictureMargin);
}

QPixmap FunctionRenderer::cachedPixmapForFunction(const Function& function, const QString& identifier, QSize size,
                                                  double margin)
{
    const QString key = cacheKey(identifier, size, margin);
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap)) {
        return pixmap;
    }
    pixmap = pixmapForFunction(function, size, margin);
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

QPixmap FunctionRenderer::pixmapForFunction(const Function& function, QSize size, double margin)
{
    QPixmap pixmap(size);
    pixmap.fill(QColor::fromHsvF(0, 0, 0.05, 1));
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);

    const double width = size.width();
    const double height = size.height();
    const QRectF plot(margin, margin, width - 2 * margin, height - 2 * margin);
    painter.setPen(linePen(0.4, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(plot);
    painter.drawLine(QPointF(width / 2, plot.top()), QPointF(width / 2, plot.bottom()));
    painter.drawLine(QPointF(plot.left(), height / 2), QPointF(plot.right(), height / 2));

    painter.setPen(linePen(0.95, 2.0));
    painter.drawPath(curvePath(function, plot, 4 * size.width()));
    return pixmap;
}

QString FunctionRenderer::cacheKey(const QString& identifier, QSize size, double margin)
{
    // One multi-argument call, so that an identifier can never supply a placeholder of its own.
    return QStringLiteral("fn_%1_%2x%3+%4")
        .arg(identifier, QString::number(size.width()), QString::number(size.height()),
             QString::number(margin, 'f', 2));
}
