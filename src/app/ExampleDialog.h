#pragma once

#include <QDialog>

// The gallery of example projects stored in the program.
class ExampleDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ExampleDialog(QWidget* parent);

    QString selectedExamplePath() const;
    void saveSettings();
    void loadSettings();
};
