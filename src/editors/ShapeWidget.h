#pragma once

#include "widgets/FramedControl.h"

#include <QString>

class ActionButton;
class QLabel;
class QTimer;
class ShapeEditor;
class ShapePreviewWidget;
class ShapeSelectionDialog;

// The inline shape chooser: a thumbnail, the shape's name and two buttons, one to pick another shape in
// the main window's shape selection dialog, one to edit the shown user shape in its shape editor. The
// value is a shape identifier; the empty identifier stands for the default shape.
//
// An identifier that the shape database does not hold (a user shape removed meanwhile) is shown as
// it is, with editing disabled and no picture.
class ShapeWidget : public FramedControl
{
    Q_OBJECT

public:
    ShapeWidget(bool allowDefault, QWidget* parent);

    bool isDefaultAllowed() const { return m_isDefaultAllowed; }

    // Emits valueChanged() for every different identifier, also one set by the owner.
    void setValue(const QString& identifier);
    const QString& value() const { return m_value; }

    ShapePreviewWidget* thumbnail() const { return m_thumbnail; }
    QLabel* nameLabel() const { return m_nameLabel; }
    ActionButton* selectButton() const { return m_selectButton; }
    ActionButton* editButton() const { return m_editButton; }

    // True between a click on the edit button and the editor's opening.
    bool isEditorOpenPending() const;

    // The main window's shared dialogs, looked up once.
    ShapeEditor* shapeEditor() const;
    ShapeSelectionDialog* shapeSelectionDialog() const;

signals:
    void valueChanged();

public slots:
    void onSelectShape();
    void onSelectionConfirmed();
    void onEditShape();
    void onEditorAccepted();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void initializeUi();
    // Name and edit button for the value and the database's current version of its shape.
    void updateNameAndEditing();
    void onShapeEvent(const QString& identifier);
    void openEditor();

    bool m_isDefaultAllowed;
    QString m_value;
    // The identifier given to the running editor; the update goes to it whatever the value is then.
    QString m_editedShapeId;
    ShapePreviewWidget* m_thumbnail = nullptr;
    QLabel* m_nameLabel = nullptr;
    ActionButton* m_selectButton = nullptr;
    ActionButton* m_editButton = nullptr;
    QTimer* m_editorOpenTimer = nullptr;
    mutable ShapeEditor* m_shapeEditor = nullptr;
    mutable ShapeSelectionDialog* m_shapeSelectionDialog = nullptr;
};
