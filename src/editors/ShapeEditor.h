#pragma once

#include <QDialog>

class ShapeEditor : public QDialog
{
    Q_OBJECT

public:
    explicit ShapeEditor(QWidget* parent);
    void loadSettings();
    void saveSettings();
};
