#include "editors/TransitionBox.h"

#include "app/ApplicationController.h"
#include "app/MainWindow.h"
#include "editors/DialogRun.h"
#include "editors/FunctionRenderer.h"
#include "editors/TransitionSelectDialog.h"
#include "func/Manager.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

TransitionBox::TransitionBox(QWidget* parent)
    : FramedControl(parent)
{
    initializeUi();
}

void TransitionBox::initializeUi()
{
    setFixedHeight(56);
    setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Fixed);
    setAttribute(Qt::WA_Hover);
    setMouseTracking(true);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 3, 3, 8);
    layout->setSpacing(8);
    m_pictureLabel = new QLabel(this);
    m_pictureLabel->setFixedSize(FunctionRenderer::pictureSize, FunctionRenderer::pictureSize);
    layout->addWidget(m_pictureLabel);
    m_textLabel = new QLabel(this);
    // The panel is dark in either appearance, so the label is light in either.
    QPalette textPalette = m_textLabel->palette();
    textPalette.setColor(QPalette::WindowText, QColor::fromHsvF(0, 0, 0.85, 1));
    m_textLabel->setPalette(textPalette);
    layout->addWidget(m_textLabel);
    updateUi();
}

void TransitionBox::setValue(const QString& identifier)
{
    if (identifier == m_value) {
        return;
    }
    m_value = identifier;
    updateUi();
}

void TransitionBox::updateUi()
{
    if (m_value.isEmpty()) {
        m_pictureLabel->setPixmap(QPixmap());
        m_textLabel->setText(tr("No Transition"));
        return;
    }
    const func::FunctionPtr function = func::Manager::instance().function(m_value);
    if (function == nullptr) {
        return;
    }
    m_pictureLabel->setPixmap(FunctionRenderer::pixmapForFunction(function));
    m_textLabel->setText(function->name());
}

void TransitionBox::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    paintPanel(&painter, QColor::fromHsvF(0, 0, m_isHovered ? 0.2 : 0.1, 1));
}

void TransitionBox::mousePressEvent(QMouseEvent* event)
{
    event->accept();
}

void TransitionBox::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() == Qt::LeftButton) {
        QTimer::singleShot(openDelayMilliseconds, this, &TransitionBox::openChooser);
    }
}

void TransitionBox::openChooser()
{
    MainWindow* window = ApplicationController::instance()->mainWindow();
    if (window == nullptr) {
        return;
    }
    TransitionSelectDialog* chooser = window->transitionSelect();
    chooser->setFunction(m_value);
    DialogRun::open(chooser, this, [this](int result) { onTransitionSelect(result); });
}

void TransitionBox::onTransitionSelect(int result)
{
    MainWindow* window = ApplicationController::instance()->mainWindow();
    if (result != QDialog::Accepted || window == nullptr) {
        return;
    }
    const QString chosen = window->transitionSelect()->function();
    if (chosen == m_value) {
        return;
    }
    m_value = chosen;
    updateUi();
    emit valueChanged();
}

void TransitionBox::enterEvent(QEnterEvent* event)
{
    m_isHovered = true;
    update();
    FramedControl::enterEvent(event);
}

void TransitionBox::leaveEvent(QEvent* event)
{
    m_isHovered = false;
    update();
    FramedControl::leaveEvent(event);
}
