#pragma once

#include <QFont>
#include <QPixmap>
#include <QString>

// The icon font that tool buttons, the algorithm list and the dynamic-value inputs draw their glyphs
// with.
class IconFont
{
public:
    // The family the widgets ask for, and the family of the font that answers for it.
    static const QString family;
    static const QString substituteFamily;

    // Registers the font file of the resources and makes the asked-for family resolve to it.
    static void registerFont();

    // The one icon font, built on first use.
    static const QFont& font();

    // One glyph drawn in the palette's text colour, centred in a square of the given logical size, at
    // the screen's device pixel ratio.
    static QPixmap pixmap(int codePoint, int size);
};
