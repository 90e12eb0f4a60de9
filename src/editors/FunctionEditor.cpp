#include "editors/FunctionEditor.h"

FunctionEditor::FunctionEditor(QWidget* parent)
    : QDialog(parent)
{
}

