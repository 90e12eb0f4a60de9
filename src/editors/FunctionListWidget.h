#pragma once

#include <QListWidget>

// The list of the function and transition dialogs: rows of curve icon and label that flow left to
// right and wrap, one selected at a time.
class FunctionListWidget : public QListWidget
{
    Q_OBJECT

public:
    static const QSize itemSize;

    explicit FunctionListWidget(QWidget* parent);

    // Appends a row with the function's curve, its label and its identifier as Qt::UserRole data; a
    // function the library does not hold is left out.
    void addFunctionRow(const QString& identifier);
};
