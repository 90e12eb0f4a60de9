#pragma once

#include <QDialog>

// The application preferences: worker thread count and the update check.
class PreferencesDialog : public QDialog
{
    Q_OBJECT

public:
    explicit PreferencesDialog(QWidget* parent);

    void loadSettings();
    void saveSettings();
};
