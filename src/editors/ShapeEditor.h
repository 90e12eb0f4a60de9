#pragma once

#include "geo/Normal1D.h"
#include "shape/Type.h"

#include <QDialog>

#include <memory>
#include <utility>
#include <vector>

class Normal1DWidget;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class ShapeEditorPreview;

namespace shape {
class Base;
}

// The dialog in which the user creates a new user shape or edits one: type, name and one slider per
// modifier beside a large live preview. It works on its own copy, the edited shape, and never writes
// into the shape database: whoever opened it reads editedShape() after Save and adds or updates.
class ShapeEditor : public QDialog
{
    Q_OBJECT

public:
    enum class Mode : int {
        New = 0,
        Edit = 1,
    };
    Q_ENUM(Mode)

    static constexpr int modifierRowCount = 6;

    explicit ShapeEditor(QWidget* parent);
    ~ShapeEditor() override;

    // Starts a run for a new shape of the type.
    void editNew(shape::Type type);
    // Starts a run on a copy of an existing shape; its type cannot change.
    void editExisting(const std::shared_ptr<shape::Base>& shape);

    // Kept after the dialog closed, until the next run starts.
    const std::shared_ptr<shape::Base>& editedShape() const { return m_editedShape; }
    Mode mode() const { return m_mode; }

    void loadSettings();
    void saveSettings();

    QLabel* titleLabel() const { return m_titleLabel; }
    QComboBox* typeChooser() const { return m_typeChooser; }
    QLineEdit* nameField() const { return m_nameField; }
    QLabel* modifierCaption(int row) const;
    Normal1DWidget* modifierEditor(int row) const;
    ShapeEditorPreview* preview() const { return m_preview; }
    QDialogButtonBox* buttonBox() const { return m_buttonBox; }

public slots:
    void onTypeChanged();
    // An edit stores only the value edited: the sliders show the others rounded to their two decimals.
    void onModifierChanged(int row);
    void onNameChanged();
    void onReset();
    void updateUiFromEditedShape();

private:
    void initializeUi();
    void addTypeChooser();
    void addModifierRows();
    // Replaces the edited shape and the starting point of the run.
    void beginRun(const std::shared_ptr<shape::Base>& edited, const QString& startName,
                  std::vector<geo::Normal1D> startValues);
    void selectType(shape::Type type);

    Mode m_mode = Mode::New;
    QString m_startName;
    std::vector<geo::Normal1D> m_startValues;
    std::shared_ptr<shape::Base> m_editedShape;
    QLabel* m_titleLabel = nullptr;
    QComboBox* m_typeChooser = nullptr;
    QLineEdit* m_nameField = nullptr;
    std::vector<std::pair<QLabel*, Normal1DWidget*>> m_modifierRows;
    ShapeEditorPreview* m_preview = nullptr;
    QDialogButtonBox* m_buttonBox = nullptr;
    // Set while the controls show the edited shape, so that their change signals write nothing.
    bool m_isUpdating = false;
};
