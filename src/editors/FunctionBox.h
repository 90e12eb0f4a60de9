#pragma once

#include "doc/DocumentChangeListener.h"
#include "widgets/FramedControl.h"

#include <QList>

#include <memory>

class QHBoxLayout;
class QPushButton;
class QTimer;

class FunctionControl;
class FunctionEditor;

namespace doc {
class InputFunctions;
}

// The strip that shows and edits the input-function chain of a dynamic value: one tile per step and a
// "+" button (while the chain has fewer than eight steps). Steps are made and changed in the main
// window's function editor; the strip rebuilds itself 10 ms after the last change of the chain.
class FunctionBox : public FramedControl, private doc::DocumentChangeListener
{
    Q_OBJECT

public:
    static constexpr int maximumStepCount = 8;
    static constexpr int refreshDelayMilliseconds = 10;

    explicit FunctionBox(QWidget* parent);
    ~FunctionBox() override;

    // Follows the chain (null for none) from now on.
    void setFunctions(const std::shared_ptr<doc::InputFunctions>& functions);
    std::shared_ptr<doc::InputFunctions> functions() const { return m_functions; }

    QList<FunctionControl*> controls() const;
    // Null while the chain is full or absent.
    QPushButton* addButton() const;

public slots:
    void onEditRequest(int index);
    void onRemoveRequest(int index);
    void onAddFunction();
    void onFunctionEditorFinished(int result);
    void updateUi();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    enum class EditMode : int { None = 0, Add = 1, Edit = 2 };

    void initializeUi();
    void clearStrip();
    void openEditor(EditMode mode, int index);
    static FunctionEditor* sharedEditor();

    void onDocumentPropertyChanged(const QString& name, const doc::DocumentElement* element) override;
    void onDocumentElementAdded(const QString& name) override;
    void onDocumentElementRemoved(const QString& name) override;
    void onDocumentElementReset() override;

    std::shared_ptr<doc::InputFunctions> m_functions;
    EditMode m_editMode = EditMode::None;
    int m_editIndex = -1;
    // The chain the editor was opened for: a result arriving after the box changed chains is dropped.
    std::weak_ptr<doc::InputFunctions> m_editedFunctions;
    QHBoxLayout* m_stripLayout = nullptr;
    QTimer* m_refreshTimer = nullptr;
};
