#include "editors/ShapeWidget.h"

#include "app/ApplicationController.h"
#include "app/MainWindow.h"
#include "editors/DialogRun.h"
#include "editors/ShapeEditor.h"
#include "editors/ShapePreviewWidget.h"
#include "editors/ShapeSelectionDialog.h"
#include "shape/Manager.h"
#include "widgets/ActionButton.h"

#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QTimer>

namespace {

constexpr unsigned selectGlyph = 0xF61F;
constexpr unsigned editGlyph = 0xF044;
// Lets the click that asked for the editor finish before the editor opens.
constexpr int editorOpenDelay = 20;

MainWindow* mainWindow()
{
    auto* controller = ApplicationController::instance();
    return controller != nullptr ? controller->mainWindow() : nullptr;
}

std::shared_ptr<shape::Base> heldShape(const QString& identifier)
{
    const auto* manager = shape::Manager::instance();
    if (identifier.isEmpty() || manager == nullptr) {
        return nullptr;
    }
    return manager->shape(identifier);
}

} // namespace

ShapeWidget::ShapeWidget(bool allowDefault, QWidget* parent)
    : FramedControl(parent)
    , m_isDefaultAllowed(allowDefault)
{
    initializeUi();
    if (const auto* manager = shape::Manager::instance()) {
        connect(manager, &shape::Manager::shapeChanged, this, &ShapeWidget::onShapeEvent);
        connect(manager, &shape::Manager::shapeRemoved, this, &ShapeWidget::onShapeEvent);
        connect(manager, &shape::Manager::shapeAdded, this, &ShapeWidget::onShapeEvent);
    }
}

void ShapeWidget::initializeUi()
{
    setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Preferred);
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);

    m_thumbnail = new ShapePreviewWidget(this);
    layout->addWidget(m_thumbnail, 0, 0, 2, 1);
    m_nameLabel = new QLabel(tr("Use Default"), this);
    layout->addWidget(m_nameLabel, 0, 1, 1, 2);
    m_selectButton = new ActionButton(selectGlyph, this);
    m_selectButton->setToolTip(tr("Select a new shape"));
    layout->addWidget(m_selectButton, 1, 1, Qt::AlignLeft);
    m_editButton = new ActionButton(editGlyph, this);
    m_editButton->setToolTip(tr("Edit this shape"));
    m_editButton->setEnabled(false);
    layout->addWidget(m_editButton, 1, 2, Qt::AlignLeft);
    layout->setColumnStretch(2, 10);

    m_editorOpenTimer = new QTimer(this);
    m_editorOpenTimer->setSingleShot(true);
    m_editorOpenTimer->setInterval(editorOpenDelay);

    connect(m_editorOpenTimer, &QTimer::timeout, this, &ShapeWidget::openEditor);
    connect(m_thumbnail, &ShapePreviewWidget::clicked, this, &ShapeWidget::onSelectShape);
    connect(m_selectButton, &QToolButton::clicked, this, &ShapeWidget::onSelectShape);
    connect(m_editButton, &QToolButton::clicked, this, &ShapeWidget::onEditShape);
}

void ShapeWidget::setValue(const QString& identifier)
{
    if (identifier == m_value) {
        return;
    }
    m_value = identifier;
    m_thumbnail->setShapeId(identifier);
    updateNameAndEditing();
    emit valueChanged();
}

void ShapeWidget::updateNameAndEditing()
{
    if (m_value.isEmpty()) {
        m_nameLabel->setText(tr("Use Default"));
        m_editButton->setEnabled(false);
        return;
    }
    const auto shape = heldShape(m_value);
    if (shape == nullptr) {
        m_nameLabel->setText(m_value);
        m_editButton->setEnabled(false);
        return;
    }
    m_nameLabel->setText(shape->name());
    m_editButton->setEnabled(!shape->isBuiltIn());
}

void ShapeWidget::onShapeEvent(const QString& identifier)
{
    if (!m_value.isEmpty() && identifier == m_value) {
        updateNameAndEditing();
    }
}

ShapeEditor* ShapeWidget::shapeEditor() const
{
    if (m_shapeEditor == nullptr) {
        if (MainWindow* window = mainWindow()) {
            m_shapeEditor = window->shapeEditor();
        }
    }
    return m_shapeEditor;
}

ShapeSelectionDialog* ShapeWidget::shapeSelectionDialog() const
{
    if (m_shapeSelectionDialog == nullptr) {
        if (MainWindow* window = mainWindow()) {
            m_shapeSelectionDialog = window->shapeSelectionDialog();
        }
    }
    return m_shapeSelectionDialog;
}

void ShapeWidget::onSelectShape()
{
    ShapeSelectionDialog* dialog = shapeSelectionDialog();
    if (dialog == nullptr) {
        return;
    }
    dialog->setAllowDefault(m_isDefaultAllowed);
    dialog->setSelectedShapeId(m_value);
    DialogRun::open(dialog, this, [this](int result) {
        if (result == QDialog::Accepted) {
            onSelectionConfirmed();
        }
    });
}

void ShapeWidget::onSelectionConfirmed()
{
    if (ShapeSelectionDialog* dialog = shapeSelectionDialog()) {
        setValue(dialog->selectedShapeId());
    }
}

void ShapeWidget::onEditShape()
{
    m_editorOpenTimer->start();
}

bool ShapeWidget::isEditorOpenPending() const
{
    return m_editorOpenTimer->isActive();
}

void ShapeWidget::openEditor()
{
    ShapeEditor* editor = shapeEditor();
    const auto shape = heldShape(m_value);
    // The shape may have gone, or turned out built-in, since the click.
    if (editor == nullptr || shape == nullptr || shape->isBuiltIn()) {
        return;
    }
    m_editedShapeId = m_value;
    editor->editExisting(shape);
    DialogRun::open(editor, this, [this](int result) {
        if (result == QDialog::Accepted) {
            onEditorAccepted();
        }
    });
}

void ShapeWidget::onEditorAccepted()
{
    auto* manager = shape::Manager::instance();
    ShapeEditor* editor = shapeEditor();
    if (manager == nullptr || editor == nullptr || m_editedShapeId.isEmpty()) {
        return;
    }
    const auto& edited = editor->editedShape();
    manager->update(m_editedShapeId, edited->name(), edited->modifierValues());
    m_editedShapeId.clear();
}

void ShapeWidget::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    paintPanel(&painter);
}
