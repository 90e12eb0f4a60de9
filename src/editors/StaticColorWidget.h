#pragma once

#include <QColor>
#include <QFrame>

class ActionButton;
class QMenu;
class StaticColorPreviewWidget;

// Chooses one plain colour, from the preset menus or the colour dialog, with a switch that turns the
// element it colours on or off. It only shows and signals; its owner writes.
class StaticColorWidget : public QFrame
{
    Q_OBJECT

public:
    // The object name of the "Default" entry of a colour menu made with it.
    static const QString defaultEntryObjectName;

    explicit StaticColorWidget(QWidget* parent);

    // Stores and shows the colour when it differs; emits nothing.
    void setColor(const QColor& color);
    const QColor& color() const { return m_color; }
    // Stores the flag and checks the switch when it differs; emits nothing.
    void setVisibility(bool isVisible);
    // The switch's flag. It hides QWidget::isVisible(): ask a StaticColorWidget* for the widget's own
    // visibility through QWidget.
    bool isVisible() const { return m_isVisible; }

    ActionButton* visibilityButton() const { return m_visibilityButton; }
    StaticColorPreviewWidget* swatch() const { return m_swatch; }
    ActionButton* presetsButton() const { return m_presetsButton; }
    ActionButton* customColorButton() const { return m_customColorButton; }

    // A new menu without parent (the caller owns it) of preset colours: "Grays", then twelve hue
    // submenus, and with withDefault a separator and "Default", whose data is no colour. Every entry's
    // triggered() calls the slot of the receiver (a SLOT() signature), which reads its colour from the
    // sending action's data.
    static QMenu* createColorMenu(bool withDefault, QObject* receiver, const char* slot);

signals:
    // The user chose a colour; also sent when the colour dialog was cancelled.
    void colorChanged();
    void visibilityChanged();

public slots:
    void onColorSelected();

private:
    void initializeUi();
    void chooseCustomColor();
    void storeAndShow(const QColor& color);

    bool m_isVisible = true;
    QColor m_color;
    ActionButton* m_visibilityButton = nullptr;
    StaticColorPreviewWidget* m_swatch = nullptr;
    ActionButton* m_presetsButton = nullptr;
    ActionButton* m_customColorButton = nullptr;
};
