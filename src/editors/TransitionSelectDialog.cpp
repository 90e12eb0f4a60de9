#include "editors/TransitionSelectDialog.h"

TransitionSelectDialog::TransitionSelectDialog(QWidget* parent)
    : QDialog(parent)
{
}

