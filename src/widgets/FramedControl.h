#pragma once

#include <QColor>
#include <QWidget>

class QPainter;

// A custom-painted widget with a line-edit style frame and panel, and two grey line colours that
// follow the palette (light or dark appearance) and the enabled state.
class FramedControl : public QWidget
{
    Q_OBJECT

public:
    explicit FramedControl(QWidget* parent);

    void updateColors();

    const QColor& primaryLineColor() const { return m_primaryLineColor; }
    const QColor& secondaryLineColor() const { return m_secondaryLineColor; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

    void paintFrame(QPainter* painter);
    void paintPanel(QPainter* painter);
    void paintPanel(QPainter* painter, const QColor& background);

private:
    void paintPrimitive(QPainter* painter, int primitive, const QPalette& palette);

    QColor m_primaryLineColor;
    QColor m_secondaryLineColor;
};
