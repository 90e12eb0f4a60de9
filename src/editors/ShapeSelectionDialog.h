#pragma once

#include <QDialog>

class ShapeSelectionDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ShapeSelectionDialog(QWidget* parent);
};
