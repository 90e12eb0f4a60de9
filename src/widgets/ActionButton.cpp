#include "widgets/ActionButton.h"

#include "widgets/IconFont.h"

#include <QPainter>
#include <QStyleOptionToolButton>
#include <QStylePainter>

ActionButton::ActionButton(unsigned glyph, QWidget* parent)
    : QToolButton(parent)
    , m_glyph(glyph)
    , m_checkedGlyph(glyph)
{
    initializeUi();
}

ActionButton::ActionButton(unsigned glyph, unsigned checkedGlyph, QWidget* parent)
    : QToolButton(parent)
    , m_glyph(glyph)
    , m_checkedGlyph(checkedGlyph)
{
    initializeUi();
    setCheckable(true);
    connect(this, &QToolButton::toggled, this,
            [this](bool isChecked) { setText(textForGlyph(isChecked ? m_checkedGlyph : m_glyph)); });
}

void ActionButton::setOpaqueBackground(bool isOpaque)
{
    if (m_hasOpaqueBackground == isOpaque) {
        return;
    }
    m_hasOpaqueBackground = isOpaque;
    update();
}

void ActionButton::paintEvent(QPaintEvent* /*event*/)
{
    QStylePainter painter(this);
    QStyleOptionToolButton option;
    initStyleOption(&option);
    if (m_hasOpaqueBackground) {
        // Buttons that sit on top of a preview picture need a solid ground to stay readable.
        painter.fillRect(rect(), palette().brush(QPalette::Button));
    }
    painter.drawComplexControl(QStyle::CC_ToolButton, option);
}

void ActionButton::initializeUi()
{
    setFixedSize(24, 24);
    setFont(IconFont::font());
    setText(textForGlyph(m_glyph));
}

QString ActionButton::textForGlyph(unsigned glyph)
{
    return QString(QChar(static_cast<char16_t>(glyph)));
}
