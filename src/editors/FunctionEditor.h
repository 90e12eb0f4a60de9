#pragma once

#include <QDialog>

class FunctionEditor : public QDialog
{
    Q_OBJECT

public:
    explicit FunctionEditor(QWidget* parent);
};
