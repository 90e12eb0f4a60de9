#include "editors/DynamicValueWidget.h"

#include "doc/DynamicValue.h"
#include "editors/DynamicValueInputWidget.h"
#include "editors/FunctionBox.h"
#include "editors/Normal1DWidget.h"
#include "editors/UpdateGuard.h"

#include <QFormLayout>

namespace {

struct EditorModes {
    Normal1DWidget::Mode range;
    Normal1DWidget::Mode offset;
};

EditorModes editorModesFor(DynamicValueWidget::DisplayMode displayMode)
{
    switch (displayMode) {
    case DynamicValueWidget::DisplayMode::Rotation:
        return {Normal1DWidget::Mode::RotationDegrees, Normal1DWidget::Mode::RotationDegrees};
    case DynamicValueWidget::DisplayMode::Hue:
        return {Normal1DWidget::Mode::HueDegrees, Normal1DWidget::Mode::HueDegrees};
    case DynamicValueWidget::DisplayMode::Level:
        // Signed: level ranges run either way around the offset (a colour's default is −10 % .. +10 %).
        return {Normal1DWidget::Mode::SignedPercent, Normal1DWidget::Mode::SignedPercent};
    }
    return {Normal1DWidget::Mode::Percent, Normal1DWidget::Mode::Percent};
}

} // namespace

DynamicValueWidget::DynamicValueWidget(DisplayMode displayMode, QWidget* parent)
    : QFrame(parent), m_displayMode(displayMode)
{
    initializeUi();
}

DynamicValueWidget::~DynamicValueWidget()
{
    if (m_value != nullptr) {
        m_value->removeListener(this);
    }
}

void DynamicValueWidget::initializeUi()
{
    const EditorModes modes = editorModesFor(m_displayMode);
    auto* layout = new QFormLayout(this);
    layout->setSpacing(4);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    m_inputWidget = new DynamicValueInputWidget(this);
    layout->addRow(tr("Input:"), m_inputWidget);
    m_functionBox = new FunctionBox(this);
    layout->addRow(tr("Functions:"), m_functionBox);
    m_rangeStartEditor = new Normal1DWidget(modes.range, this);
    layout->addRow(tr("Range Start:"), m_rangeStartEditor);
    m_rangeEndEditor = new Normal1DWidget(modes.range, this);
    layout->addRow(tr("Range End:"), m_rangeEndEditor);
    m_offsetEditor = new Normal1DWidget(modes.offset, this);
    layout->addRow(tr("Offset:"), m_offsetEditor);

    connect(m_inputWidget, &DynamicValueInputWidget::valueChanged, this, &DynamicValueWidget::onInputEdited);
    connect(m_rangeStartEditor, &Normal1DWidget::valueChanged, this, &DynamicValueWidget::onRangeStartEdited);
    connect(m_rangeEndEditor, &Normal1DWidget::valueChanged, this, &DynamicValueWidget::onRangeEndEdited);
    connect(m_offsetEditor, &Normal1DWidget::valueChanged, this, &DynamicValueWidget::onOffsetEdited);
    updateStates();
}

void DynamicValueWidget::setDynamicValue(const std::shared_ptr<doc::DynamicValue>& value)
{
    if (value == m_value) {
        return;
    }
    if (m_value != nullptr) {
        m_value->removeListener(this);
    }
    m_value = value;
    if (m_value == nullptr) {
        m_functionBox->setFunctions(nullptr);
        return;
    }
    m_value->addListener(this);
    m_inputWidget->setParentEnabled(m_value->parent() != nullptr);
    m_functionBox->setFunctions(m_value->functions());
    onDocumentElementReset();
}

void DynamicValueWidget::updateStates()
{
    const bool isMapped = static_cast<int>(m_inputWidget->inputValue()) >= static_cast<int>(doc::DynamicValueInput::X);
    m_rangeStartEditor->setEnabled(isMapped);
    m_rangeEndEditor->setEnabled(isMapped);
}

void DynamicValueWidget::onInputEdited()
{
    if (m_value != nullptr) {
        UpdateGuard::write(m_value.get(), [this] {
            m_value->setInput(m_inputWidget->inputValue());
            m_value->setCenter(m_inputWidget->centerValue());
        });
    }
    // Also during a refresh, so that the range editors follow the input shown.
    updateStates();
}

// The end the user did not touch comes from the value itself: an editor may show it only within its
// own range, and writing that back would change it.
void DynamicValueWidget::onRangeStartEdited()
{
    if (m_value == nullptr) {
        return;
    }
    UpdateGuard::write(m_value.get(), [this] {
        m_value->setRange(geo::NormalRange(m_rangeStartEditor->value(), m_value->range().end()));
    });
}

void DynamicValueWidget::onRangeEndEdited()
{
    if (m_value == nullptr) {
        return;
    }
    UpdateGuard::write(m_value.get(), [this] {
        m_value->setRange(geo::NormalRange(m_value->range().begin(), m_rangeEndEditor->value()));
    });
}

void DynamicValueWidget::onOffsetEdited()
{
    if (m_value == nullptr) {
        return;
    }
    UpdateGuard::write(m_value.get(), [this] { m_value->setOffset(m_offsetEditor->value()); });
}

void DynamicValueWidget::onDocumentPropertyChanged(const QString& path, const doc::DocumentElement* /*element*/)
{
    UpdateGuard::refresh(m_value.get(), [this, &path] {
        if (path == QLatin1String("input")) {
            m_inputWidget->setInputValue(m_value->input());
            updateStates();
        } else if (path == QLatin1String("center")) {
            m_inputWidget->setCenterValue(m_value->center());
        } else if (path == QLatin1String("range")) {
            m_rangeStartEditor->setValue(m_value->range().begin());
            m_rangeEndEditor->setValue(m_value->range().end());
        } else if (path == QLatin1String("offset")) {
            m_offsetEditor->setValue(m_value->offset());
        }
    });
}

void DynamicValueWidget::onDocumentElementReset()
{
    UpdateGuard::refresh(m_value.get(), [this] { refreshAll(); });
}

void DynamicValueWidget::refreshAll()
{
    m_inputWidget->setInputValue(m_value->input());
    m_inputWidget->setCenterValue(m_value->center());
    m_rangeStartEditor->setValue(m_value->range().begin());
    m_rangeEndEditor->setValue(m_value->range().end());
    m_offsetEditor->setValue(m_value->offset());
    updateStates();
}
