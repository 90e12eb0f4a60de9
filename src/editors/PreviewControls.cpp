#include "editors/PreviewControls.h"

#include "widgets/ActionButton.h"

#include <QGraphicsDropShadowEffect>
#include <QGridLayout>
#include <QLabel>

namespace {

constexpr unsigned glyphParent = 0xF345;

} // namespace

namespace PreviewControls {

QGridLayout* setUpPreview(QWidget* preview)
{
    preview->setMinimumWidth(200);
    preview->setFixedHeight(160);
    auto* layout = new QGridLayout(preview);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setColumnStretch(2, 10);
    layout->setRowStretch(2, 10);
    return layout;
}

QLabel* addInputLabel(QWidget* preview, QGridLayout* layout)
{
    auto* label = new QLabel(preview);
    label->setObjectName(QStringLiteral("previewInputLabel"));
    applyInputLabelFont(label, preview);
    auto* shadow = new QGraphicsDropShadowEffect(label);
    shadow->setColor(Qt::black);
    shadow->setBlurRadius(5.0);
    shadow->setOffset(0, 1);
    label->setGraphicsEffect(shadow);
    layout->addWidget(label, 0, 0, 3, 3, Qt::AlignTop | Qt::AlignLeft);
    return label;
}

void applyInputLabelFont(QLabel* label, const QWidget* preview)
{
    QFont font = preview->font();
    font.setPixelSize(10);
    font.setWeight(QFont::Bold);
    label->setFont(font);
}

QString inputPreviewText(doc::DynamicValueInput input)
{
    return input == doc::DynamicValueInput::Parent ? QString() : doc::dynamicValueInputToPreviewInfo(input);
}

ActionButton* createParentButton(QWidget* preview, const QString& toolTip)
{
    ActionButton* button = createOverlayButton(glyphParent, preview, toolTip);
    button->setCheckable(true);
    return button;
}

ActionButton* createOverlayButton(unsigned glyph, QWidget* preview, const QString& toolTip)
{
    auto* button = new ActionButton(glyph, preview);
    button->setToolTip(toolTip);
    button->setOpaqueBackground(true);
    return button;
}

} // namespace PreviewControls
