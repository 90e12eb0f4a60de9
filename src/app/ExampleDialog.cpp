#include "app/ExampleDialog.h"

ExampleDialog::ExampleDialog(QWidget* parent)
    : QDialog(parent)
{
}

QString ExampleDialog::selectedExamplePath() const
{
    return {};
}

void ExampleDialog::saveSettings()
{
}

void ExampleDialog::loadSettings()
{
}
