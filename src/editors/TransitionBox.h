#pragma once

#include "widgets/FramedControl.h"

class QLabel;

// Shows an item's radius transition as its curve and label; a click opens the main window's
// transition chooser for it.
class TransitionBox : public FramedControl
{
    Q_OBJECT

public:
    static constexpr int openDelayMilliseconds = 10;

    explicit TransitionBox(QWidget* parent);

    // Shows the transition (an identifier of the library; empty for none); emits nothing.
    void setValue(const QString& identifier);
    QString value() const { return m_value; }
    void updateUi();

    QLabel* pictureLabel() const { return m_pictureLabel; }
    QLabel* textLabel() const { return m_textLabel; }

signals:
    // The user chose another transition.
    void valueChanged();

public slots:
    void onTransitionSelect(int result);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void initializeUi();
    void openChooser();

    QString m_value;
    bool m_isHovered = false;
    QLabel* m_pictureLabel = nullptr;
    QLabel* m_textLabel = nullptr;
};
