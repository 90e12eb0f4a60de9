#include "editors/Normal2DWidget.h"

#include "editors/CoordinateWidget.h"
#include "editors/Normal2DFrame.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

Normal2DWidget::Normal2DWidget(QWidget* parent)
    : QFrame(parent)
{
    initializeUi();
}

void Normal2DWidget::initializeUi()
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    m_compactPad = new Normal2DFrame(Normal2DFrame::Style::Compact, this);
    layout->addWidget(m_compactPad);
    initializePadDialog();
    connect(m_compactPad, &Normal2DFrame::clicked, m_padDialog, &QDialog::open);
}

void Normal2DWidget::initializePadDialog()
{
    m_padDialog = new QDialog(this);
    m_padDialog->setModal(true);
    auto* layout = new QVBoxLayout(m_padDialog);
    layout->setContentsMargins(32, 32, 32, 32);
    layout->setSpacing(8);
    m_largePad = new Normal2DFrame(Normal2DFrame::Style::Large, m_padDialog);
    m_largePad->setMinimumSize(300, 300);
    m_largePad->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::MinimumExpanding);
    layout->addWidget(m_largePad);

    auto* rowLayout = new QHBoxLayout();
    rowLayout->setContentsMargins(0, 0, 0, 0);
    rowLayout->setSpacing(8);
    m_coordinateFields = new CoordinateWidget(CoordinateWidget::Orientation::Horizontal, m_padDialog);
    rowLayout->addWidget(m_coordinateFields);
    rowLayout->addStretch();
    auto* closeButton = new QPushButton(tr("Close"), m_padDialog);
    rowLayout->addWidget(closeButton);
    layout->addLayout(rowLayout);

    m_commitTimer = new QTimer(this);
    m_commitTimer->setSingleShot(true);
    m_commitTimer->setInterval(commitDelayMilliseconds);

    connect(closeButton, &QPushButton::clicked, m_padDialog, &QDialog::accept);
    connect(m_largePad, &Normal2DFrame::valueChanged, this, &Normal2DWidget::onLargePadChanged);
    connect(m_coordinateFields, &CoordinateWidget::valueChanged, this, &Normal2DWidget::onCoordinateFieldsChanged);
    connect(m_commitTimer, &QTimer::timeout, this, &Normal2DWidget::commitPadValue);
    // A commit left pending after the dialog closed could write while the document must not change
    // (a generation run started right after closing): the last edit is committed as the dialog closes.
    connect(m_padDialog, &QDialog::finished, this, &Normal2DWidget::commitPadValue);
}

bool Normal2DWidget::isCommitPending() const
{
    return m_commitTimer->isActive();
}

void Normal2DWidget::setValue(const geo::Normal2D& value)
{
    if (m_value == value) {
        return;
    }
    m_value = value;
    showValue();
    emit valueChanged();
}

void Normal2DWidget::onLargePadChanged()
{
    m_coordinateFields->setValue(m_largePad->value());
    m_commitTimer->start();
}

void Normal2DWidget::onCoordinateFieldsChanged()
{
    m_largePad->setValue(m_coordinateFields->value());
    m_commitTimer->start();
}

void Normal2DWidget::commitPadValue()
{
    m_commitTimer->stop();
    if (m_largePad->value() == m_value) {
        return;
    }
    m_value = m_largePad->value();
    showValue();
    emit valueChanged();
}

void Normal2DWidget::showValue()
{
    m_compactPad->setValue(m_value);
    m_largePad->setValue(m_value);
    m_coordinateFields->setValue(m_value);
}
