#pragma once

#include "func/Base.h"

#include <QPixmap>
#include <QSize>
#include <QString>

#include <functional>

// Draws the curve pictures of shaping functions: a dark plot with a frame, centre lines and the curve
// of y = f(x) for x in 0 .. 1. Pictures of library functions are kept in the process-wide QPixmapCache.
class FunctionRenderer
{
public:
    using Function = std::function<double(double)>;

    FunctionRenderer() = delete;

    // The cached 48 × 48 picture of a library function, with a margin of 4; a transparent picture for
    // a null function.
    static QPixmap pixmapForFunction(const func::FunctionPtr& function);
    // The cached picture under cacheKey(identifier, size, margin), drawn on first use.
    static QPixmap cachedPixmapForFunction(const Function& function, const QString& identifier, QSize size,
                                           double margin);
    // Draws a new picture.
    static QPixmap pixmapForFunction(const Function& function, QSize size, double margin);
    // "fn_<identifier>_<width>x<height>+<margin with two decimals>"
    static QString cacheKey(const QString& identifier, QSize size, double margin);

    static constexpr int pictureSize = 48;
    static constexpr double pictureMargin = 4.0;
};
