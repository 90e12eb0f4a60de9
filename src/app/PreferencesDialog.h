#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;

// The application preferences: the most worker threads the global pool may use, and whether the update
// check runs after each start. Both take effect and are stored the moment they change.
class PreferencesDialog : public QDialog
{
    Q_OBJECT

public:
    static constexpr int defaultThreadCount = 16;
    static constexpr int minimumThreadCount = 8;
    static constexpr int maximumThreadCount = 128;

    explicit PreferencesDialog(QWidget* parent);

    void loadSettings();
    void saveSettings();

private:
    void initializeUi();
    void fillThreadCounts();
    void onThreadCountChanged();
    void showExampleRequestData();

    QComboBox* m_threadCount = nullptr;
    QCheckBox* m_updateCheck = nullptr;
};
