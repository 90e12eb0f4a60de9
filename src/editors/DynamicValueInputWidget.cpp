#include "editors/DynamicValueInputWidget.h"

#include "editors/Normal2DWidget.h"
#include "widgets/IconFont.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QToolButton>

DynamicValueInputWidget::DynamicValueInputWidget(QWidget* parent)
    : QFrame(parent)
{
    initializeUi();
}

void DynamicValueInputWidget::initializeUi()
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    m_buttonGroup = new QButtonGroup(this);
    m_buttonGroup->setExclusive(true);
    layout->addWidget(createButtonFrame());
    m_buttonGroup->button(static_cast<int>(doc::DynamicValueInput::Zero))->setChecked(true);
    layout->addStretch();
    m_centerEditor = new Normal2DWidget(this);
    m_centerEditor->setToolTip(tr("Polar center point"));
    layout->addWidget(m_centerEditor);
    onInputChanged();

    connect(m_buttonGroup, &QButtonGroup::buttonClicked, this, &DynamicValueInputWidget::onInputChanged);
    // Queued, so that owners hear of a click after the click has been handled.
    connect(m_buttonGroup, &QButtonGroup::buttonClicked, this, &DynamicValueInputWidget::valueChanged,
            Qt::QueuedConnection);
    connect(m_centerEditor, &Normal2DWidget::valueChanged, this, &DynamicValueInputWidget::valueChanged);
}

QFrame* DynamicValueInputWidget::createButtonFrame()
{
    auto* buttonFrame = new QFrame(this);
    buttonFrame->setObjectName(QStringLiteral("buttonFrame"));
    buttonFrame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* grid = new QGridLayout(buttonFrame);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    const std::vector<doc::DynamicValueInputEntry>& inputs = doc::dynamicValueInputList();
    const int columnCount = static_cast<int>((inputs.size() + 1) / 2);
    for (std::size_t k = 0; k < inputs.size(); ++k) {
        const doc::DynamicValueInputEntry& entry = inputs[k];
        auto* button = new QToolButton(buttonFrame);
        button->setCheckable(true);
        button->setObjectName(entry.identifier);
        button->setToolTip(entry.description);
        button->setFont(IconFont::font());
        button->setText(QString(entry.glyph));
        button->setFixedSize(26, 22);
        const int id = static_cast<int>(k);
        m_buttonGroup->addButton(button, id);
        grid->addWidget(button, id / columnCount, id % columnCount);
    }
    return buttonFrame;
}

void DynamicValueInputWidget::setInputValue(doc::DynamicValueInput input)
{
    if (input == inputValue()) {
        return;
    }
    if (QAbstractButton* inputButton = button(input)) {
        inputButton->setChecked(true);
    }
    onInputChanged();
}

doc::DynamicValueInput DynamicValueInputWidget::inputValue() const
{
    const QAbstractButton* checked = m_buttonGroup->checkedButton();
    return doc::dynamicValueInputFromString(checked != nullptr ? checked->objectName() : QString());
}

void DynamicValueInputWidget::setCenterValue(const geo::Normal2D& center)
{
    m_centerEditor->setValue(center);
}

geo::Normal2D DynamicValueInputWidget::centerValue() const
{
    return m_centerEditor->value();
}

void DynamicValueInputWidget::setParentEnabled(bool isEnabled)
{
    if (QAbstractButton* parentButton = button(doc::DynamicValueInput::Parent)) {
        parentButton->setEnabled(isEnabled);
    }
}

QAbstractButton* DynamicValueInputWidget::button(doc::DynamicValueInput input) const
{
    const QString identifier = doc::dynamicValueInputToString(input);
    for (QAbstractButton* candidate : m_buttonGroup->buttons()) {
        if (candidate->objectName() == identifier) {
            return candidate;
        }
    }
    return nullptr;
}

void DynamicValueInputWidget::onInputChanged()
{
    const doc::DynamicValueInput input = inputValue();
    m_centerEditor->setEnabled(input == doc::DynamicValueInput::PolarAngle ||
                               input == doc::DynamicValueInput::PolarDistance);
}
