#include "editors/ShapeSelectionDialog.h"

#include "app/ApplicationController.h"
#include "app/MainWindow.h"
#include "doc/Document.h"
#include "editors/DialogRun.h"
#include "editors/ShapeEditor.h"
#include "editors/ShapeItemDelegate.h"
#include "editors/ShapeItemModel.h"
#include "shape/Builder.h"
#include "shape/Manager.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Lets the click that asked for the editor finish before the editor opens.
constexpr int editorOpenDelay = 20;
// Lets the list lay out the new row before it is selected and scrolled to.
constexpr int addedShapeSelectDelay = 200;

} // namespace

ShapeSelectionDialog::ShapeSelectionDialog(QWidget* parent)
    : QDialog(parent)
{
    initializeUi();
}

void ShapeSelectionDialog::initializeUi()
{
    setWindowTitle(tr("Shape Selector"));
    setMinimumSize(700, 500);
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(8);

    m_listView = new QListView(this);
    m_listView->setObjectName(QStringLiteral("shapeSelectionList"));
    m_listView->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::MinimumExpanding);
    m_listView->setGridSize(QSize(64, 64));
    m_listView->setFlow(QListView::LeftToRight);
    m_listView->setUniformItemSizes(true);
    m_listView->setWrapping(true);
    m_listView->setResizeMode(QListView::Adjust);
    m_listView->setMinimumWidth(645);
    m_model = new ShapeItemModel(this);
    m_delegate = new ShapeItemDelegate(this);
    m_listView->setModel(m_model);
    m_listView->setItemDelegate(m_delegate);
    m_listView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_listView->setSelectionMode(QAbstractItemView::SingleSelection);
    layout->addWidget(m_listView, 10);

    m_buttonBox = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_newButton = m_buttonBox->addButton(tr("New"), QDialogButtonBox::ActionRole);
    m_newButton->setToolTip(tr("Create a new user defined shape."));
    m_editButton = m_buttonBox->addButton(tr("Edit"), QDialogButtonBox::ActionRole);
    m_editButton->setToolTip(tr("Edit a user defined shape."));
    m_removeButton = m_buttonBox->addButton(tr("Remove"), QDialogButtonBox::DestructiveRole);
    m_removeButton->setToolTip(tr("Remove a user defined shape."));
    layout->addWidget(m_buttonBox);
    initializeNewMenu();

    connect(m_listView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ShapeSelectionDialog::onSelectionChanged);
    connect(m_listView, &QListView::doubleClicked, this, &QDialog::accept);
    connect(m_buttonBox, &QDialogButtonBox::clicked, this, &ShapeSelectionDialog::onButtonClicked);
    // Rows that come and go with the database change what the buttons may do.
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &ShapeSelectionDialog::updateButtonStates);
    connect(m_model, &QAbstractItemModel::modelReset, this, &ShapeSelectionDialog::updateButtonStates);
    updateButtonStates();
}

void ShapeSelectionDialog::initializeNewMenu()
{
    auto* menu = new QMenu(m_newButton);
    for (const shape::Type type : shape::Builder::editableTypes()) {
        QAction* action = menu->addAction(shape::typeToUiLabel(type));
        action->setData(shape::typeToIdentifier(type));
        connect(action, &QAction::triggered, this, &ShapeSelectionDialog::onNewClicked, Qt::QueuedConnection);
    }
    m_newButton->setMenu(menu);
}

QPushButton* ShapeSelectionDialog::okButton() const
{
    return m_buttonBox->button(QDialogButtonBox::Ok);
}

ShapeEditor* ShapeSelectionDialog::shapeEditor() const
{
    if (m_shapeEditor == nullptr) {
        auto* controller = ApplicationController::instance();
        if (MainWindow* window = controller != nullptr ? controller->mainWindow() : nullptr) {
            m_shapeEditor = window->shapeEditor();
        }
    }
    return m_shapeEditor;
}

void ShapeSelectionDialog::setAllowDefault(bool isAllowed)
{
    if (isAllowed == m_isDefaultAllowed) {
        return;
    }
    m_isDefaultAllowed = isAllowed;
    m_model->setAllowDefault(isAllowed);
}

void ShapeSelectionDialog::setSelectedShapeId(const QString& identifier)
{
    const QModelIndex index = m_model->indexForShapeId(identifier);
    m_listView->selectionModel()->select(index, QItemSelectionModel::ClearAndSelect);
    if (index.isValid()) {
        m_listView->setCurrentIndex(index);
        m_listView->scrollTo(index, QAbstractItemView::EnsureVisible);
    }
    updateButtonStates();
}

QString ShapeSelectionDialog::selectedShapeId() const
{
    const auto shape = selectedShape();
    return shape != nullptr ? shape->identifier() : QString();
}

std::shared_ptr<shape::Base> ShapeSelectionDialog::selectedShape() const
{
    const QModelIndexList rows = m_listView->selectionModel()->selectedRows();
    const auto* manager = shape::Manager::instance();
    if (rows.isEmpty() || manager == nullptr) {
        return nullptr;
    }
    const int position = m_model->shapePositionForRow(rows.first().row());
    return position >= 0 ? manager->shape(static_cast<unsigned long>(position)) : nullptr;
}

bool ShapeSelectionDialog::isUsedByDocument(const QString& identifier)
{
    auto* controller = ApplicationController::instance();
    const auto document = controller != nullptr ? controller->document() : nullptr;
    return document != nullptr && document->shapeIds().contains(identifier);
}

void ShapeSelectionDialog::onSelectionChanged()
{
    updateButtonStates();
}

void ShapeSelectionDialog::updateButtonStates()
{
    const auto shape = selectedShape();
    const bool isUserShape = shape != nullptr && !shape->isBuiltIn();
    m_editButton->setEnabled(isUserShape);
    m_removeButton->setEnabled(isUserShape && !isUsedByDocument(shape->identifier()));
    okButton()->setEnabled(m_listView->selectionModel()->hasSelection());
}

void ShapeSelectionDialog::onButtonClicked(QAbstractButton* button)
{
    if (button == okButton()) {
        accept();
    } else if (button == m_buttonBox->button(QDialogButtonBox::Cancel)) {
        reject();
    } else if (button == m_editButton) {
        QTimer::singleShot(editorOpenDelay, this, &ShapeSelectionDialog::editSelectedShape);
    } else if (button == m_removeButton) {
        removeSelectedShape();
    }
}

void ShapeSelectionDialog::editSelectedShape()
{
    ShapeEditor* editor = shapeEditor();
    const auto shape = selectedShape();
    if (editor == nullptr || shape == nullptr || shape->isBuiltIn()) {
        return;
    }
    m_editedShapeId = shape->identifier();
    editor->editExisting(shape);
    openEditor();
}

void ShapeSelectionDialog::removeSelectedShape()
{
    const auto shape = selectedShape();
    auto* manager = shape::Manager::instance();
    if (shape == nullptr || manager == nullptr || shape->isBuiltIn() || isUsedByDocument(shape->identifier())) {
        return;
    }
    manager->remove(shape->identifier());
    updateButtonStates();
}

void ShapeSelectionDialog::onNewClicked()
{
    const auto* action = qobject_cast<const QAction*>(sender());
    if (action == nullptr) {
        return;
    }
    const shape::Type type = shape::typeFromIdentifier(action->data().toString());
    QTimer::singleShot(editorOpenDelay, this, [this, type] {
        ShapeEditor* editor = shapeEditor();
        if (editor == nullptr) {
            return;
        }
        m_editedShapeId.clear();
        editor->editNew(type);
        openEditor();
    });
}

void ShapeSelectionDialog::openEditor()
{
    DialogRun::open(shapeEditor(), this, [this](int result) {
        if (result == QDialog::Accepted) {
            onEditorAccepted();
        }
    });
}

void ShapeSelectionDialog::onEditorAccepted()
{
    ShapeEditor* editor = shapeEditor();
    auto* manager = shape::Manager::instance();
    if (editor == nullptr || manager == nullptr) {
        return;
    }
    const auto& edited = editor->editedShape();
    if (editor->mode() == ShapeEditor::Mode::Edit) {
        manager->update(m_editedShapeId, edited->name(), edited->modifierValues());
        updateButtonStates();
        return;
    }
    const QString identifier = manager->add(edited);
    if (!identifier.isEmpty()) {
        QTimer::singleShot(addedShapeSelectDelay, this, [this, identifier] { selectAddedShape(identifier); });
    }
}

void ShapeSelectionDialog::selectAddedShape(const QString& identifier)
{
    const QModelIndex index = m_model->indexForShapeId(identifier);
    if (!index.isValid()) {
        return;
    }
    m_listView->selectionModel()->select(index, QItemSelectionModel::ClearAndSelect);
    m_listView->setCurrentIndex(index);
    m_listView->scrollTo(index, QAbstractItemView::EnsureVisible);
    updateButtonStates();
}
