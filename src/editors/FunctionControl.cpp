#include "editors/FunctionControl.h"

#include "doc/InputFunction.h"
#include "editors/FunctionRenderer.h"
#include "func/Manager.h"
#include "widgets/IconFont.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

namespace {

constexpr int labelStripWidth = 24;

QChar sourceGlyph(doc::InputFunctionSource source)
{
    return source == doc::InputFunctionSource::Input ? QChar(0xF345) : QChar(0xF061);
}

QChar operatorGlyph(doc::InputFunctionOperator op)
{
    switch (op) {
    case doc::InputFunctionOperator::Map:
        return QChar(0xF661);
    case doc::InputFunctionOperator::Add:
        return QLatin1Char('+');
    case doc::InputFunctionOperator::Multiply:
        break;
    }
    return QChar(0xF00D);
}

} // namespace

FunctionControl::FunctionControl(QWidget* parent)
    : QWidget(parent)
{
    initializeUi();
}

void FunctionControl::initializeUi()
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover);
    setMouseTracking(true);

    m_clickTimer = new QTimer(this);
    m_clickTimer->setSingleShot(true);
    m_clickTimer->setInterval(QApplication::doubleClickInterval());
    connect(m_clickTimer, &QTimer::timeout, this, &FunctionControl::onClickTimeout);

    m_contextMenu = new QMenu(this);
    QAction* editAction = m_contextMenu->addAction(tr("Edit Function..."));
    connect(editAction, &QAction::triggered, this, [this] { emit editRequest(m_index); });
    QAction* removeAction = m_contextMenu->addAction(tr("Remove Function"));
    connect(removeAction, &QAction::triggered, this, [this] { emit removeRequest(m_index); });
}

void FunctionControl::setFunction(int index, const std::shared_ptr<doc::InputFunction>& function)
{
    if (index == m_index && function == m_function) {
        return;
    }
    m_index = index;
    m_function = function;
    const func::FunctionPtr libraryFunction =
        function != nullptr ? func::Manager::instance().function(function->identifier()) : nullptr;
    m_picture = FunctionRenderer::pixmapForFunction(libraryFunction);
    m_labelText = function != nullptr ? labelFor(*function) : QString();
    update();
}

QString FunctionControl::labelFor(const doc::InputFunction& function)
{
    return QString(sourceGlyph(function.inputSource())) + QLatin1Char('\n') + operatorGlyph(function.op());
}

QSize FunctionControl::sizeHint() const
{
    return QSize(labelStripWidth + FunctionRenderer::pictureSize, FunctionRenderer::pictureSize);
}

QSize FunctionControl::minimumSizeHint() const
{
    return sizeHint();
}

void FunctionControl::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.setFont(IconFont::font());
    painter.setPen(QColor::fromHsvF(0, 0, 0.85, 1));
    painter.drawText(QRect(0, 0, labelStripWidth, height()), Qt::AlignCenter, m_labelText);
    painter.drawPixmap(QRect(labelStripWidth, 0, FunctionRenderer::pictureSize, height()), m_picture);
    if (m_isHovered) {
        painter.setOpacity(0.1);
        painter.fillRect(rect(), Qt::white);
    }
}

void FunctionControl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    event->accept();
    m_clickTimer->start();
    m_pressGlobalPosition = event->globalPosition().toPoint();
    if (m_clickState == ClickState::None) {
        m_clickState = ClickState::Single;
    }
}

void FunctionControl::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
    m_clickState = ClickState::Double;
    // Normally still running from the press before; a double click is never left unanswered.
    if (!m_clickTimer->isActive()) {
        m_clickTimer->start();
    }
}

void FunctionControl::onClickTimeout()
{
    const ClickState state = m_clickState;
    m_clickState = ClickState::None;
    if (state == ClickState::Double) {
        emit editRequest(m_index);
    } else if (state == ClickState::Single) {
        m_contextMenu->popup(m_pressGlobalPosition);
    }
}

void FunctionControl::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
    m_contextMenu->popup(event->globalPos());
}

void FunctionControl::enterEvent(QEnterEvent* event)
{
    m_isHovered = true;
    update();
    QWidget::enterEvent(event);
}

void FunctionControl::leaveEvent(QEvent* event)
{
    m_isHovered = false;
    update();
    QWidget::leaveEvent(event);
}
