#include "editors/ShapeSelectionDialog.h"

ShapeSelectionDialog::ShapeSelectionDialog(QWidget* parent)
    : QDialog(parent)
{
}

