#pragma once

#include <QToolButton>

// A 24 × 24 tool button that shows one glyph of the icon font; a checkable one may show a second
// glyph while checked.
class ActionButton : public QToolButton
{
    Q_OBJECT

public:
    ActionButton(unsigned glyph, QWidget* parent);
    ActionButton(unsigned glyph, unsigned checkedGlyph, QWidget* parent);

    unsigned glyph() const { return m_glyph; }
    unsigned checkedGlyph() const { return m_checkedGlyph; }
    bool hasOpaqueBackground() const { return m_hasOpaqueBackground; }
    void setOpaqueBackground(bool isOpaque);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void initializeUi();
    static QString textForGlyph(unsigned glyph);

    unsigned m_glyph;
    unsigned m_checkedGlyph;
    bool m_hasOpaqueBackground = false;
};
