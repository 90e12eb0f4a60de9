#pragma once

#include <QDialog>

#include <memory>

class QAbstractButton;
class QDialogButtonBox;
class QListView;
class QPushButton;
class ShapeEditor;
class ShapeItemDelegate;
class ShapeItemModel;

namespace shape {
class Base;
}

// "Shape Selector": every shape of the shape database as a grid of thumbnails, optionally preceded by
// the default entry, with OK and Cancel, and New, Edit and Remove for user shapes. The main window
// owns the one instance; an opener prepares it with setAllowDefault and setSelectedShapeId and opens
// it through DialogRun, then reads selectedShapeId() when it was accepted.
class ShapeSelectionDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ShapeSelectionDialog(QWidget* parent);

    bool isDefaultAllowed() const { return m_isDefaultAllowed; }
    void setAllowDefault(bool isAllowed);
    // Selects the shape's row and shows it; an identifier without row clears the selection.
    void setSelectedShapeId(const QString& identifier);
    // Empty for the default entry and for no selection.
    QString selectedShapeId() const;
    // Null for the default entry and for no selection.
    std::shared_ptr<shape::Base> selectedShape() const;

    QListView* listView() const { return m_listView; }
    ShapeItemModel* model() const { return m_model; }
    QPushButton* okButton() const;
    QPushButton* newButton() const { return m_newButton; }
    QPushButton* editButton() const { return m_editButton; }
    QPushButton* removeButton() const { return m_removeButton; }

    // The main window's shape editor, looked up once.
    ShapeEditor* shapeEditor() const;

public slots:
    void onSelectionChanged();
    void onButtonClicked(QAbstractButton* button);
    void onNewClicked();
    void onEditorAccepted();
    void updateButtonStates();

private:
    void initializeUi();
    void initializeNewMenu();
    void editSelectedShape();
    void createShape();
    void removeSelectedShape();
    void openEditor();
    void selectAddedShape(const QString& identifier);
    static bool isUsedByDocument(const QString& identifier);

    bool m_isDefaultAllowed = false;
    QListView* m_listView = nullptr;
    ShapeItemModel* m_model = nullptr;
    ShapeItemDelegate* m_delegate = nullptr;
    QDialogButtonBox* m_buttonBox = nullptr;
    QPushButton* m_newButton = nullptr;
    QPushButton* m_editButton = nullptr;
    QPushButton* m_removeButton = nullptr;
    // The shape the running editor edits, remembered when it opened: the selection may move meanwhile.
    QString m_editedShapeId;
    mutable ShapeEditor* m_shapeEditor = nullptr;
};
