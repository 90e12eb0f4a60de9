#pragma once

#include "doc/InputFunctionOperator.h"
#include "doc/InputFunctionSource.h"

#include <QDialog>

#include <memory>

class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

class FunctionListWidget;

namespace doc {
class InputFunction;
}

// The dialog, shared by every function chain strip, that makes or edits one step of a chain: a
// function of the library, its input source and its operator. OK is enabled only while a function is
// selected.
class FunctionEditor : public QDialog
{
    Q_OBJECT

public:
    explicit FunctionEditor(QWidget* parent);

    // Prepares the dialog for a new step: no function selected, operator map, source result.
    void newInputFunction();
    // Prepares the dialog for changing the step; a null step is prepared like a new one.
    void editInputFunction(const std::shared_ptr<doc::InputFunction>& function);

    // An empty or unknown identifier clears the selection.
    void setSelectedFunction(const QString& identifier);
    void setOp(doc::InputFunctionOperator op);
    void setInputSource(doc::InputFunctionSource source);

    // Empty when no function is selected.
    QString selectedFunction() const;
    doc::InputFunctionOperator selectedOp() const;
    doc::InputFunctionSource selectedInputSource() const;
    // The step the dialog shows; null when no function is selected.
    std::shared_ptr<doc::InputFunction> createFunction() const;

    QListWidget* functionList() const;
    QComboBox* sourceComboBox() const { return m_sourceComboBox; }
    QComboBox* operatorComboBox() const { return m_operatorComboBox; }
    QPushButton* okButton() const { return m_okButton; }
    QString heading() const;

public slots:
    void onSelectionChanged();
    void onDoubleClicked(QListWidgetItem* item);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void initializeUi();
    void fillFunctionList();
    void setTitles(const QString& title);

    QLabel* m_headingLabel = nullptr;
    QComboBox* m_sourceComboBox = nullptr;
    QComboBox* m_operatorComboBox = nullptr;
    FunctionListWidget* m_functionList = nullptr;
    QPushButton* m_okButton = nullptr;
};
