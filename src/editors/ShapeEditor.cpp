#include "editors/ShapeEditor.h"

ShapeEditor::ShapeEditor(QWidget* parent)
    : QDialog(parent)
{
}

void ShapeEditor::loadSettings()
{
}

void ShapeEditor::saveSettings()
{
}

