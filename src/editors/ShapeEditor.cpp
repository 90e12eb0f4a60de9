#include "editors/ShapeEditor.h"

#include "editors/Normal1DWidget.h"
#include "editors/ShapeEditorPreview.h"
#include "mod/Description.h"
#include "shape/Base.h"
#include "shape/Builder.h"
#include "shape/Circle.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QSettings>
#include <QVBoxLayout>

namespace {

const QString geometryKey = QStringLiteral("shapeeditor.geometry");

} // namespace

ShapeEditor::ShapeEditor(QWidget* parent)
    : QDialog(parent)
{
    m_editedShape = std::make_shared<shape::Circle>();
    m_editedShape->setRandomIdentifier();
    initializeUi();
    m_preview->setShape(m_editedShape);
    updateUiFromEditedShape();
}

ShapeEditor::~ShapeEditor() = default;

void ShapeEditor::initializeUi()
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(16);
    auto* controls = new QFrame(this);
    layout->addWidget(controls);
    m_preview = new ShapeEditorPreview(this);
    layout->addWidget(m_preview);

    auto* column = new QVBoxLayout(controls);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    m_titleLabel = new QLabel(controls);
    column->addWidget(m_titleLabel);
    column->addSpacing(16);

    column->addWidget(new QLabel(tr("Label:"), controls));
    column->addSpacing(2);
    m_typeChooser = new QComboBox(controls);
    addTypeChooser();
    column->addWidget(m_typeChooser);
    column->addSpacing(8);

    column->addWidget(new QLabel(tr("Name:"), controls));
    column->addSpacing(2);
    m_nameField = new QLineEdit(controls);
    // The naming rule of shape data: letters, numbers, punctuation, symbols and spaces, at most 100.
    m_nameField->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("^[\\p{L}\\p{N}\\p{P}\\p{S} ]{0,100}$")), m_nameField));
    column->addWidget(m_nameField);
    column->addSpacing(8);

    for (int row = 0; row < modifierRowCount; ++row) {
        auto* caption = new QLabel(tr("Label:"), controls);
        auto* editor = new Normal1DWidget(Normal1DWidget::Mode::Percent, controls);
        column->addWidget(caption);
        column->addSpacing(2);
        column->addWidget(editor);
        column->addSpacing(8);
        m_modifierRows.emplace_back(caption, editor);
        connect(editor, &Normal1DWidget::valueChanged, this, [this, row] { onModifierChanged(row); });
    }

    column->addStretch(1);
    m_buttonBox = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel | QDialogButtonBox::Reset,
                                       controls);
    column->addWidget(m_buttonBox);

    connect(m_nameField, &QLineEdit::textChanged, this, &ShapeEditor::onNameChanged);
    connect(m_buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_buttonBox->button(QDialogButtonBox::Reset), &QPushButton::clicked, this, &ShapeEditor::onReset);
    connect(m_typeChooser, &QComboBox::currentIndexChanged, this, &ShapeEditor::onTypeChanged);
}

void ShapeEditor::addTypeChooser()
{
    for (const shape::Type type : shape::Builder::editableTypes()) {
        m_typeChooser->addItem(shape::typeToUiLabel(type), shape::typeToIdentifier(type));
    }
}

QLabel* ShapeEditor::modifierCaption(int row) const
{
    return m_modifierRows.at(static_cast<std::size_t>(row)).first;
}

Normal1DWidget* ShapeEditor::modifierEditor(int row) const
{
    return m_modifierRows.at(static_cast<std::size_t>(row)).second;
}

void ShapeEditor::editNew(shape::Type type)
{
    setWindowTitle(tr("Create New Shape"));
    m_titleLabel->setText(tr("<h2>Create New Shape</h2>"));
    m_mode = Mode::New;
    selectType(type);
    m_typeChooser->setEnabled(true);
    auto created = shape::Builder::createShape(type);
    if (created == nullptr) {
        // Not a registered type: the run starts from a circle, as a fresh editor does.
        created = std::make_shared<shape::Circle>();
    }
    created->setRandomIdentifier();
    created->setName(tr("New Shape"));
    beginRun(created, created->name(), created->modifierValues());
}

void ShapeEditor::editExisting(const std::shared_ptr<shape::Base>& shape)
{
    setWindowTitle(tr("Edit Shape"));
    m_titleLabel->setText(tr("<h2>Edit Shape</h2>"));
    m_mode = Mode::Edit;
    selectType(shape->type());
    m_typeChooser->setEnabled(false);
    beginRun(shape->copy(), shape->name(), shape->modifierValues());
}

void ShapeEditor::beginRun(const std::shared_ptr<shape::Base>& edited, const QString& startName,
                           std::vector<geo::Normal1D> startValues)
{
    m_editedShape = edited;
    m_startName = startName;
    m_startValues = std::move(startValues);
    m_preview->setShape(m_editedShape);
    updateUiFromEditedShape();
}

void ShapeEditor::selectType(shape::Type type)
{
    // Selecting the run's type is no user choice: it must not replace the shape.
    m_isUpdating = true;
    m_typeChooser->setCurrentIndex(m_typeChooser->findData(shape::typeToIdentifier(type)));
    m_isUpdating = false;
}

void ShapeEditor::onTypeChanged()
{
    if (m_isUpdating || m_mode != Mode::New) {
        return;
    }
    const shape::Type type = shape::typeFromIdentifier(m_typeChooser->currentData().toString());
    auto created = shape::Builder::createShape(type);
    if (created == nullptr) {
        return;
    }
    // The new type's defaults, its label as name included.
    created->resetToDefaults();
    m_editedShape = created;
    m_preview->setShape(m_editedShape);
    updateUiFromEditedShape();
}

void ShapeEditor::updateUiFromEditedShape()
{
    m_isUpdating = true;
    m_nameField->setText(m_editedShape->name());
    const std::vector<mod::Description> descriptions = m_editedShape->modifierDescriptions();
    const std::vector<geo::Normal1D> values = m_editedShape->modifierValues();
    for (std::size_t row = 0; row < m_modifierRows.size(); ++row) {
        auto [caption, editor] = m_modifierRows[row];
        const bool hasModifier = row < descriptions.size();
        if (hasModifier) {
            caption->setText(descriptions[row].name() + QStringLiteral(":"));
        }
        caption->setVisible(hasModifier);
        editor->setVisible(hasModifier);
        if (row < values.size()) {
            editor->setValue(values[row]);
        }
    }
    m_isUpdating = false;
}

void ShapeEditor::onModifierChanged(int row)
{
    if (m_isUpdating) {
        return;
    }
    std::vector<geo::Normal1D> values = m_editedShape->modifierValues();
    const std::size_t position = static_cast<std::size_t>(row);
    if (position >= values.size()) {
        return; // a hidden row stands for no modifier
    }
    values[position] = modifierEditor(row)->value();
    m_editedShape->setModifierValues(values);
    m_preview->updateSvg();
}

void ShapeEditor::onNameChanged()
{
    if (m_isUpdating) {
        return;
    }
    m_editedShape->setName(m_nameField->text());
    m_preview->updateSvg();
}

void ShapeEditor::onReset()
{
    m_editedShape->setModifierValues(m_startValues);
    m_editedShape->setName(m_startName);
    updateUiFromEditedShape();
    // The starting values go back exactly as they were, not as the sliders round them.
    m_preview->updateSvg();
}

void ShapeEditor::loadSettings()
{
    restoreGeometry(QSettings().value(geometryKey).toByteArray());
}

void ShapeEditor::saveSettings()
{
    QSettings().setValue(geometryKey, saveGeometry());
}
