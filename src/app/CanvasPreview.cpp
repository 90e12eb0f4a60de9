#include "app/CanvasPreview.h"

#include <QGraphicsDropShadowEffect>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QPainter>
#include <QSvgRenderer>
#include <QSvgWidget>
#include <QVBoxLayout>

namespace {

// The overlay's light text stands on a translucent dark backing, so that it reads over a light pattern
// (and its light canvas background) as well as over a dark one, in either palette.
class OverlayLabel : public QLabel
{
public:
    explicit OverlayLabel(QWidget* parent)
        : QLabel(parent)
    {
        setTextFormat(Qt::PlainText);
        // Room around the wrapped text for the backing's padding.
        setContentsMargins(backingPadding * 2, backingPadding * 2, backingPadding * 2, backingPadding * 2);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        if (!text().isEmpty()) {
            const QRect textRect =
                fontMetrics().boundingRect(contentsRect(), static_cast<int>(alignment()) | Qt::TextWordWrap, text());
            QPainter painter(this);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(0, 0, 0, 160));
            painter.drawRoundedRect(textRect.adjusted(-backingPadding, -backingPadding / 2, backingPadding,
                                                      backingPadding / 2),
                                    backingRadius, backingRadius);
        }
        QLabel::paintEvent(event);
    }

private:
    static constexpr int backingPadding = 16;
    static constexpr int backingRadius = 8;
};

} // namespace

CanvasPreview::CanvasPreview(QWidget* parent)
    : FramedControl(parent)
    , m_background(defaultBackground())
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    m_svgView = new QSvgWidget(this);
    m_svgView->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::MinimumExpanding);
    layout->addWidget(m_svgView, 10);

    m_overlayLabel = new OverlayLabel(this);
    m_overlayLabel->setObjectName(QStringLiteral("overlayLabel"));
    QFont overlayFont = font();
    overlayFont.setPointSizeF(overlayFont.pointSizeF() * 2);
    m_overlayLabel->setFont(overlayFont);
    m_overlayLabel->setAlignment(Qt::AlignCenter);
    m_overlayLabel->setWordWrap(true);
    m_overlayLabel->setPalette(QPalette(Qt::black));
    auto* shadow = new QGraphicsDropShadowEffect(m_overlayLabel);
    shadow->setColor(Qt::black);
    shadow->setOffset(0, 3);
    shadow->setBlurRadius(10);
    m_overlayLabel->setGraphicsEffect(shadow);
    m_overlayLabel->hide();
}

QColor CanvasPreview::defaultBackground()
{
    return QColor::fromHsvF(0, 0, 0.2f);
}

void CanvasPreview::setBackground(const QColor& color)
{
    if (m_background == color) {
        return;
    }
    m_background = color;
    update();
}

void CanvasPreview::loadSvg(const QByteArray& data)
{
    m_svgData = data;
    m_svgView->load(data);
    m_svgView->renderer()->setAspectRatioMode(Qt::KeepAspectRatio);
    m_svgView->update();
    if (data.isEmpty()) {
        m_background = defaultBackground();
        update();
    }
}

void CanvasPreview::setOverlayText(const QString& text)
{
    if (text.isEmpty()) {
        m_overlayLabel->clear();
        m_overlayLabel->hide();
    } else {
        m_overlayLabel->setText(text);
        m_overlayLabel->show();
    }
}

QString CanvasPreview::overlayText() const
{
    return m_overlayLabel->text();
}

void CanvasPreview::setInactive(bool isInactive)
{
    if (m_isInactive == isInactive) {
        return;
    }
    m_isInactive = isInactive;
    if (isInactive) {
        auto* opacity = new QGraphicsOpacityEffect(m_svgView);
        opacity->setOpacity(0.2);
        m_svgView->setGraphicsEffect(opacity);
    } else {
        m_svgView->setGraphicsEffect(nullptr);
    }
}

void CanvasPreview::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    paintPanel(&painter, m_background);
}

void CanvasPreview::resizeEvent(QResizeEvent* event)
{
    FramedControl::resizeEvent(event);
    // The overlay covers the whole panel, outside the layout.
    m_overlayLabel->setGeometry(rect());
}
