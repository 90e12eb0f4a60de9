#pragma once

#include <QFrame>

#include <array>
#include <memory>

class ColorPreviewWidget;
class DynamicValueWidget;
class QTabWidget;

namespace doc {
class Color;
}

// Edits a document colour: its live preview with the quick actions above four pages, "Hue",
// "Saturation", "Value" and "Alpha", each the dynamic value editor of one channel.
class ColorWidget : public QFrame
{
    Q_OBJECT

public:
    static constexpr int channelCount = 4;

    explicit ColorWidget(QWidget* parent);

    // Edits and shows the colour from now on; a null colour is ignored.
    void setColor(const std::shared_ptr<doc::Color>& color);
    // Null until the first setColor.
    const std::shared_ptr<doc::Color>& color() const { return m_color; }

    ColorPreviewWidget* preview() const { return m_preview; }
    QTabWidget* tabWidget() const { return m_tabWidget; }
    // The editors of hue, saturation, value and alpha, in that order.
    DynamicValueWidget* channelEditor(int channel) const { return m_channelEditors.at(static_cast<std::size_t>(channel)); }

private:
    void initializeUi();

    std::shared_ptr<doc::Color> m_color;
    ColorPreviewWidget* m_preview = nullptr;
    QTabWidget* m_tabWidget = nullptr;
    std::array<DynamicValueWidget*, channelCount> m_channelEditors{};
};
