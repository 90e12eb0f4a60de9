#pragma once

#include <QDialog>

#include <memory>

class ColorPreviewWidget;
class QDialogButtonBox;
class QPushButton;
class QTreeWidget;
class QVBoxLayout;

namespace doc {
class Color;
class ColorManager;
} // namespace doc

// "Color Presets": shows the edited colour of the document and the preset selected in a list, and
// loads a preset into the edited colour, stores the edited colour as a new preset or over the selected
// one, renames and removes presets. The presets and their files belong to doc::ColorManager.
class ColorPresetDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ColorPresetDialog(QWidget* parent);

    // Works on the colour from now on; the list opens without selection.
    void setEditColor(const std::shared_ptr<doc::Color>& color);
    const std::shared_ptr<doc::Color>& editColor() const { return m_editColor; }
    // Belongs to the dialog and to no document; shows the selected preset.
    const std::shared_ptr<doc::Color>& presetColor() const { return m_presetColor; }

    void refreshList();
    // The identifier of the first selected row; empty without selection.
    QString selectedIdentifier() const;
    void selectIdentifier(const QString& identifier);
    void updateButtonStates();

    QTreeWidget* presetList() const { return m_presetList; }
    ColorPreviewWidget* editColorPreview() const { return m_editColorPreview; }
    ColorPreviewWidget* presetColorPreview() const { return m_presetColorPreview; }
    QPushButton* loadButton() const { return m_loadButton; }
    QPushButton* newButton() const { return m_newButton; }
    QPushButton* updateButton() const { return m_updateButton; }
    QPushButton* renameButton() const { return m_renameButton; }
    QPushButton* removeButton() const { return m_removeButton; }
    QPushButton* closeButton() const { return m_closeButton; }

public slots:
    void onLoad();
    void onNew();
    void onUpdate();
    void onRename();
    void onRemove();
    void onSelectionChanged();

private:
    void initializeUi();
    void addPresetButtons(QVBoxLayout* layout);
    void addPresetList(QVBoxLayout* layout);
    void addButtonBox(QVBoxLayout* layout);
    void setSelectionControlsEnabled(bool isEnabled);
    static doc::ColorManager* colorManager();

    std::shared_ptr<doc::Color> m_editColor;
    std::shared_ptr<doc::Color> m_presetColor;
    ColorPreviewWidget* m_editColorPreview = nullptr;
    ColorPreviewWidget* m_presetColorPreview = nullptr;
    QTreeWidget* m_presetList = nullptr;
    QPushButton* m_loadButton = nullptr;
    QPushButton* m_newButton = nullptr;
    QPushButton* m_updateButton = nullptr;
    QDialogButtonBox* m_buttonBox = nullptr;
    QPushButton* m_renameButton = nullptr;
    QPushButton* m_removeButton = nullptr;
    QPushButton* m_closeButton = nullptr;
};
