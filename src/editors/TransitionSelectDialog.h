#pragma once

#include <QDialog>

class QLabel;
class QListWidget;
class QListWidgetItem;

class FunctionListWidget;

// The chooser, shared by every transition box, of an item's radius transition: "No Transition" or one
// of the library's distribution functions.
class TransitionSelectDialog : public QDialog
{
    Q_OBJECT

public:
    explicit TransitionSelectDialog(QWidget* parent);

    // Selects the row of the identifier ("No Transition" for an empty one); an identifier no row holds
    // leaves no row selected.
    void setFunction(const QString& identifier);
    // The identifier of the selected row; empty for "No Transition" or no selection.
    QString function() const;

    QListWidget* functionList() const;
    QString heading() const;

public slots:
    void onDoubleClicked(QListWidgetItem* item);

private:
    void initializeUi();
    void fillFunctionList();

    QLabel* m_headingLabel = nullptr;
    FunctionListWidget* m_functionList = nullptr;
};
