#pragma once

#include <QFrame>
#include <QSvgRenderer>

// The thumbnail of one shape of the shape database, drawn in the palette's text colour; the empty
// identifier shows a "Default" disc, and an identifier the database does not hold shows nothing.
class ShapePreviewWidget : public QFrame
{
    Q_OBJECT

public:
    explicit ShapePreviewWidget(QWidget* parent);

    void setShapeId(const QString& identifier);
    const QString& shapeId() const { return m_shapeId; }
    // Loads the picture of the current version of the shape.
    void updateSvgCode();

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void onShapeEvent(const QString& identifier);

    QString m_shapeId;
    QSvgRenderer m_renderer;
};
