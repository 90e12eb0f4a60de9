#include "widgets/IconFont.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPainter>
#include <QPalette>

const QString IconFont::family = QStringLiteral("Font Awesome 6 Pro");
const QString IconFont::substituteFamily = QStringLiteral("Motifex Icons");

void IconFont::registerFont()
{
    QFontDatabase::addApplicationFont(QStringLiteral(":/fa-pro-400.otf"));
    // The widgets ask for the family they were designed with; our own open font answers for it.
    QFont::insertSubstitution(family, substituteFamily);
}

const QFont& IconFont::font()
{
    static const QFont iconFont(family, 16, 400, false);
    return iconFont;
}

QPixmap IconFont::pixmap(int codePoint, int size)
{
    const qreal ratio = qApp->devicePixelRatio();
    const int side = static_cast<int>(size * ratio);
    QPixmap pixmap(side, side);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(QApplication::palette().color(QPalette::Text));
    painter.setRenderHint(QPainter::TextAntialiasing);
    QFont glyphFont = font();
    glyphFont.setPixelSize(size);
    painter.setFont(glyphFont);
    painter.drawText(QRect(0, 0, size, size), Qt::AlignCenter, QString(QChar(static_cast<char16_t>(codePoint))));
    return pixmap;
}
