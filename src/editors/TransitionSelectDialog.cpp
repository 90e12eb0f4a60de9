#include "editors/TransitionSelectDialog.h"

#include "editors/FunctionListWidget.h"
#include "func/Manager.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

TransitionSelectDialog::TransitionSelectDialog(QWidget* parent)
    : QDialog(parent)
{
    initializeUi();
}

void TransitionSelectDialog::initializeUi()
{
    const QString title = tr("Select the Transition");
    setWindowTitle(title);
    setMinimumSize(800, 500);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(8);
    m_headingLabel = new QLabel(QStringLiteral("<h2>%1</h2>").arg(title.toHtmlEscaped()), this);
    layout->addWidget(m_headingLabel);

    m_functionList = new FunctionListWidget(this);
    fillFunctionList();
    layout->addWidget(m_functionList);

    auto* buttonBox = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttonBox);
    connect(buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_functionList, &QListWidget::itemDoubleClicked, this, &TransitionSelectDialog::onDoubleClicked);
}

void TransitionSelectDialog::fillFunctionList()
{
    auto* noTransition = new QListWidgetItem(tr("No Transition"));
    noTransition->setData(Qt::UserRole, QString());
    noTransition->setSizeHint(FunctionListWidget::itemSize);
    m_functionList->addItem(noTransition);
    m_functionList->setCurrentItem(noTransition);

    for (const QString& identifier : func::Manager::instance().distributionFunctionIdentifierList()) {
        m_functionList->addFunctionRow(identifier);
    }
}

QListWidget* TransitionSelectDialog::functionList() const
{
    return m_functionList;
}

QString TransitionSelectDialog::heading() const
{
    return m_headingLabel->text();
}

void TransitionSelectDialog::setFunction(const QString& identifier)
{
    m_functionList->clearSelection();
    for (int row = 0; row < m_functionList->count(); ++row) {
        QListWidgetItem* item = m_functionList->item(row);
        if (item->data(Qt::UserRole).toString() == identifier) {
            m_functionList->setCurrentItem(item, QItemSelectionModel::ClearAndSelect);
            m_functionList->scrollToItem(item);
            return;
        }
    }
}

QString TransitionSelectDialog::function() const
{
    const QList<QListWidgetItem*> selected = m_functionList->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->data(Qt::UserRole).toString();
}

void TransitionSelectDialog::onDoubleClicked(QListWidgetItem* /*item*/)
{
    accept();
}
