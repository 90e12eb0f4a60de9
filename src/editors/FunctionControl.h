#pragma once

#include <QPixmap>
#include <QPoint>
#include <QWidget>

#include <memory>

class QMenu;
class QTimer;

namespace doc {
class InputFunction;
}

// One tile of the function chain strip: the step's source and operator as icon glyphs beside the
// function's curve. A double click asks to edit the step; a single click (after the double-click
// interval) or a right click offers "Edit Function..." and "Remove Function".
class FunctionControl : public QWidget
{
    Q_OBJECT

public:
    explicit FunctionControl(QWidget* parent);

    void setFunction(int index, const std::shared_ptr<doc::InputFunction>& function);
    std::shared_ptr<doc::InputFunction> function() const { return m_function; }
    int index() const { return m_index; }

    // The source glyph, a line break and the operator glyph.
    QString labelText() const { return m_labelText; }
    QPixmap picture() const { return m_picture; }
    QMenu* contextMenu() const { return m_contextMenu; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void editRequest(int index);
    void removeRequest(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    enum class ClickState : int { None = 0, Single = 1, Double = 2 };

    void initializeUi();
    void onClickTimeout();
    static QString labelFor(const doc::InputFunction& function);

    int m_index = -1;
    std::shared_ptr<doc::InputFunction> m_function;
    QString m_labelText;
    QPixmap m_picture;
    bool m_isHovered = false;
    ClickState m_clickState = ClickState::None;
    QPoint m_pressGlobalPosition;
    QTimer* m_clickTimer = nullptr;
    QMenu* m_contextMenu = nullptr;
};
