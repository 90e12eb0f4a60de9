#include "editors/CoordinateWidget.h"

#include "editors/ClampingSpinBox.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

CoordinateWidget::CoordinateWidget(Orientation orientation, QWidget* parent)
    : QFrame(parent)
{
    initializeUi(orientation);
}

void CoordinateWidget::initializeUi(Orientation orientation)
{
    setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Preferred);
    m_xSpinBox = createSpinBox(QStringLiteral("xSpinBox"));
    m_ySpinBox = createSpinBox(QStringLiteral("ySpinBox"));
    auto* xLabel = new QLabel(tr("X:"), this);
    auto* yLabel = new QLabel(tr("Y:"), this);
    xLabel->setBuddy(m_xSpinBox);
    yLabel->setBuddy(m_ySpinBox);
    if (orientation == Orientation::Horizontal) {
        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(8);
        layout->addWidget(xLabel);
        layout->addWidget(m_xSpinBox);
        layout->addWidget(yLabel);
        layout->addWidget(m_ySpinBox);
    } else {
        auto* layout = new QGridLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(8);
        layout->addWidget(xLabel, 0, 0);
        layout->addWidget(m_xSpinBox, 0, 1);
        layout->addWidget(yLabel, 1, 0);
        layout->addWidget(m_ySpinBox, 1, 1);
    }
    connect(m_xSpinBox, &QDoubleSpinBox::valueChanged, this, &CoordinateWidget::onXChanged);
    connect(m_ySpinBox, &QDoubleSpinBox::valueChanged, this, &CoordinateWidget::onYChanged);
}

QDoubleSpinBox* CoordinateWidget::createSpinBox(const QString& objectName)
{
    auto* spinBox = new ClampingSpinBox(this);
    spinBox->setObjectName(objectName);
    spinBox->setMinimumHeight(24);
    spinBox->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Minimum);
    spinBox->setRange(0.0, 1.0);
    spinBox->setSingleStep(0.01);
    spinBox->setDecimals(2);
    return spinBox;
}

void CoordinateWidget::setValue(const geo::Normal2D& value)
{
    if (m_value == value) {
        return;
    }
    m_value = value;
    m_isUpdating = true;
    m_xSpinBox->setValue(value.x());
    m_ySpinBox->setValue(value.y());
    m_isUpdating = false;
}

// The field the user did not touch keeps the exact stored coordinate rather than its two-decimal text.
void CoordinateWidget::onXChanged()
{
    if (m_isUpdating) {
        return;
    }
    m_value.setX(geo::Normal1D(m_xSpinBox->value()).orZero());
    emit valueChanged();
}

void CoordinateWidget::onYChanged()
{
    if (m_isUpdating) {
        return;
    }
    m_value.setY(geo::Normal1D(m_ySpinBox->value()).orZero());
    emit valueChanged();
}
