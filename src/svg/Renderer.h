#pragma once

#include <QByteArray>
#include <QColor>
#include <QPixmap>
#include <QSharedPointer>
#include <QSize>

#include <memory>
#include <vector>

namespace canvas {
class Canvas;
}

namespace doc {
class Document;
}

namespace shape {
class Base;
}

namespace svg {

// Turns a generated canvas and the document that styles it into pictures: it gives every placed item
// its colour, rotation and stacking order, writes the SVG text of the whole canvas, and draws single
// shapes into small bitmaps. Not thread-safe; it reads the document and the shape database unlocked.
class Renderer
{
public:
    explicit Renderer(std::shared_ptr<doc::Document> document);

    const std::shared_ptr<doc::Document>& document() const noexcept { return m_document; }
    // Shapes that draw the items ahead of the database's: those the document brings that the database
    // does not hold, such as an example's own shapes while it is only looked at. None by default.
    void setOwnShapes(std::vector<std::shared_ptr<shape::Base>> shapes);

    // Restyles every item of the canvas in place from the document's item definitions. The canvas must
    // not be null. The result depends only on the document and the canvas geometry, not on an earlier
    // styling pass.
    void updateCanvasStyle(const QSharedPointer<canvas::Canvas>& canvas);
    // The SVG text (UTF-8) of the canvas inside the document's margin. The canvas must not be null.
    // Items whose shape the shape database does not know are drawn with the world shape.
    QByteArray render(const QSharedPointer<canvas::Canvas>& canvas) const;

    // The shape in the colour, drawn into the pixmap inset by the margin on every side; a transparent
    // pixmap for a null shape.
    static QPixmap renderPixmap(const std::shared_ptr<shape::Base>& shape, QSize size, const QColor& color,
                                int margin);

private:
    std::shared_ptr<doc::Document> m_document;
    std::vector<std::shared_ptr<shape::Base>> m_ownShapes;
};

} // namespace svg
