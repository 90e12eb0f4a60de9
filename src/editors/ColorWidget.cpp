#include "editors/ColorWidget.h"

#include "doc/Color.h"
#include "editors/ColorPreviewWidget.h"
#include "editors/DynamicValueWidget.h"

#include <QHBoxLayout>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

struct ChannelPage {
    const char* title;
    DynamicValueWidget::DisplayMode displayMode;
};

// In channel order.
const std::array<ChannelPage, ColorWidget::channelCount> channelPages{{
    {QT_TRANSLATE_NOOP("ColorWidget", "Hue"), DynamicValueWidget::DisplayMode::Hue},
    {QT_TRANSLATE_NOOP("ColorWidget", "Saturation"), DynamicValueWidget::DisplayMode::Level},
    {QT_TRANSLATE_NOOP("ColorWidget", "Value"), DynamicValueWidget::DisplayMode::Level},
    {QT_TRANSLATE_NOOP("ColorWidget", "Alpha"), DynamicValueWidget::DisplayMode::Level},
}};

} // namespace

ColorWidget::ColorWidget(QWidget* parent)
    : QFrame(parent)
{
    initializeUi();
}

void ColorWidget::initializeUi()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    auto* topRow = new QHBoxLayout();
    topRow->setContentsMargins(0, 0, 0, 0);
    topRow->setSpacing(4);
    layout->addLayout(topRow);
    m_preview = new ColorPreviewWidget(this);
    layout->addWidget(m_preview);
    layout->addSpacing(16);
    m_tabWidget = new QTabWidget(this);
    for (std::size_t channel = 0; channel < channelPages.size(); ++channel) {
        // The editor keeps its rows together at the top of a page taller than it needs.
        auto* page = new QWidget(m_tabWidget);
        auto* pageLayout = new QVBoxLayout(page);
        pageLayout->setContentsMargins(0, 0, 0, 0);
        auto* editor = new DynamicValueWidget(channelPages[channel].displayMode, page);
        editor->setContentsMargins(8, 8, 8, 8);
        pageLayout->addWidget(editor);
        pageLayout->addStretch(1);
        m_tabWidget->addTab(page, tr(channelPages[channel].title));
        m_channelEditors[channel] = editor;
    }
    layout->addWidget(m_tabWidget, 10);
}

void ColorWidget::setColor(const std::shared_ptr<doc::Color>& color)
{
    if (color == nullptr) {
        return;
    }
    m_color = color;
    m_preview->setColor(color);
    m_channelEditors[0]->setDynamicValue(color->hue());
    m_channelEditors[1]->setDynamicValue(color->saturation());
    m_channelEditors[2]->setDynamicValue(color->value());
    m_channelEditors[3]->setDynamicValue(color->alpha());
}
