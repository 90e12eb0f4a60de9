#pragma once

#include "editors/PropertyTab.h"

class QLineEdit;
class QPlainTextEdit;

// The last tab: the project's name and notes.
class MetaTab : public PropertyTab
{
    Q_OBJECT

public:
    static constexpr int maximumNameLength = 120;

    explicit MetaTab(QWidget* parent);

    QLineEdit* nameField() const { return m_nameField; }
    QPlainTextEdit* notesField() const { return m_notesField; }

protected:
    void refreshProperty(const QString& key) override;
    void refreshAll() override;

private:
    void initializeUi();
    void refreshName();
    void refreshNotes();

    QLineEdit* m_nameField = nullptr;
    QPlainTextEdit* m_notesField = nullptr;
};
