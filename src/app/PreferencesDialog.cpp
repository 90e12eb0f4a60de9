#include "app/PreferencesDialog.h"

PreferencesDialog::PreferencesDialog(QWidget* parent)
    : QDialog(parent)
{
}

void PreferencesDialog::loadSettings()
{
}

void PreferencesDialog::saveSettings()
{
}
