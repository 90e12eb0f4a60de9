#pragma once

#include <QDialog>

class TransitionSelectDialog : public QDialog
{
    Q_OBJECT

public:
    explicit TransitionSelectDialog(QWidget* parent);
};
