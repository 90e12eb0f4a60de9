#pragma once

#include <QFrame>

class QMenuBar;
class QTabWidget;

// The left-hand panel: the property tabs through which the whole document is edited.
class PropertiesFrame : public QFrame
{
    Q_OBJECT

public:
    explicit PropertiesFrame(QWidget* parent);

    void initializeMenu(QMenuBar* menuBar);
    QTabWidget* tabWidget() const { return m_tabWidget; }

private:
    QTabWidget* m_tabWidget = nullptr;
};
