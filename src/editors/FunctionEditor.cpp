#include "editors/FunctionEditor.h"

#include "doc/InputFunction.h"
#include "editors/FunctionListWidget.h"
#include "func/Manager.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

FunctionEditor::FunctionEditor(QWidget* parent)
    : QDialog(parent)
{
    initializeUi();
}

void FunctionEditor::initializeUi()
{
    setWindowTitle(tr("Function Editor"));
    setMinimumSize(800, 500);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(8);

    m_headingLabel = new QLabel(this);
    layout->addWidget(m_headingLabel);

    auto* choiceLayout = new QHBoxLayout();
    choiceLayout->setSpacing(8);
    m_sourceComboBox = new QComboBox(this);
    for (const doc::InputFunctionSourceEntry& entry : doc::inputFunctionSourceList()) {
        m_sourceComboBox->addItem(entry.label, entry.identifier);
    }
    auto* sourceLabel = new QLabel(tr("Input Source:"), this);
    sourceLabel->setBuddy(m_sourceComboBox);
    choiceLayout->addWidget(sourceLabel);
    choiceLayout->addWidget(m_sourceComboBox);
    m_operatorComboBox = new QComboBox(this);
    for (const doc::InputFunctionOperatorEntry& entry : doc::inputFunctionOperatorList()) {
        m_operatorComboBox->addItem(entry.label, entry.identifier);
    }
    auto* operatorLabel = new QLabel(tr("Operator:"), this);
    operatorLabel->setBuddy(m_operatorComboBox);
    choiceLayout->addWidget(operatorLabel);
    choiceLayout->addWidget(m_operatorComboBox);
    choiceLayout->addStretch();
    layout->addLayout(choiceLayout);

    m_functionList = new FunctionListWidget(this);
    fillFunctionList();
    layout->addWidget(m_functionList);

    auto* buttonBox = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_okButton = buttonBox->button(QDialogButtonBox::Ok);
    layout->addWidget(buttonBox);

    connect(buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_functionList, &QListWidget::itemSelectionChanged, this, &FunctionEditor::onSelectionChanged);
    connect(m_functionList, &QListWidget::itemDoubleClicked, this, &FunctionEditor::onDoubleClicked);
    onSelectionChanged();
}

void FunctionEditor::fillFunctionList()
{
    for (const QString& identifier : func::Manager::instance().identifierList()) {
        m_functionList->addFunctionRow(identifier);
    }
}

void FunctionEditor::setTitles(const QString& title)
{
    setWindowTitle(title);
    m_headingLabel->setText(QStringLiteral("<h2>%1</h2>").arg(title.toHtmlEscaped()));
}

QListWidget* FunctionEditor::functionList() const
{
    return m_functionList;
}

QString FunctionEditor::heading() const
{
    return m_headingLabel->text();
}

void FunctionEditor::newInputFunction()
{
    setTitles(tr("Add New Function"));
    setSelectedFunction(QString());
    m_functionList->scrollToTop();
    setOp(doc::InputFunctionOperator::Map);
    setInputSource(doc::InputFunctionSource::Result);
    onSelectionChanged();
}

void FunctionEditor::editInputFunction(const std::shared_ptr<doc::InputFunction>& function)
{
    if (function == nullptr) {
        newInputFunction();
        return;
    }
    setTitles(tr("Edit Function"));
    setSelectedFunction(function->identifier());
    setOp(function->op());
    setInputSource(function->inputSource());
    onSelectionChanged();
}

void FunctionEditor::setSelectedFunction(const QString& identifier)
{
    m_functionList->clearSelection();
    if (identifier.isEmpty()) {
        return;
    }
    const int row = static_cast<int>(func::Manager::instance().identifierList().indexOf(identifier));
    if (row < 0) {
        return;
    }
    m_functionList->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    m_functionList->scrollToItem(m_functionList->item(row));
}

void FunctionEditor::setOp(doc::InputFunctionOperator op)
{
    m_operatorComboBox->setCurrentIndex(m_operatorComboBox->findData(doc::inputFunctionOperatorToString(op)));
}

void FunctionEditor::setInputSource(doc::InputFunctionSource source)
{
    m_sourceComboBox->setCurrentIndex(m_sourceComboBox->findData(doc::inputFunctionSourceToString(source)));
}

QString FunctionEditor::selectedFunction() const
{
    const QList<QListWidgetItem*> selected = m_functionList->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->data(Qt::UserRole).toString();
}

doc::InputFunctionOperator FunctionEditor::selectedOp() const
{
    return doc::inputFunctionOperatorFromString(m_operatorComboBox->currentData().toString());
}

doc::InputFunctionSource FunctionEditor::selectedInputSource() const
{
    return doc::inputFunctionSourceFromString(m_sourceComboBox->currentData().toString());
}

std::shared_ptr<doc::InputFunction> FunctionEditor::createFunction() const
{
    const QString identifier = selectedFunction();
    if (identifier.isEmpty()) {
        return nullptr;
    }
    return doc::InputFunction::create(identifier, selectedOp(), selectedInputSource());
}

void FunctionEditor::onSelectionChanged()
{
    m_okButton->setEnabled(!m_functionList->selectedItems().isEmpty());
}

void FunctionEditor::onDoubleClicked(QListWidgetItem* item)
{
    if (item != nullptr && item->isSelected()) {
        accept();
    }
}

void FunctionEditor::showEvent(QShowEvent* event)
{
    onSelectionChanged();
    QDialog::showEvent(event);
}
