#include "doc/DynamicValueInput.h"

#include <algorithm>

namespace doc {

namespace {

const DynamicValueInputEntry* findEntry(DynamicValueInput input)
{
    const auto& list = dynamicValueInputList();
    const auto it = std::find_if(list.cbegin(), list.cend(),
                                 [input](const DynamicValueInputEntry& entry) { return entry.value == input; });
    return it != list.cend() ? &*it : nullptr;
}

} // namespace

const std::vector<DynamicValueInputEntry>& dynamicValueInputList()
{
    static const std::vector<DynamicValueInputEntry> list{
        {DynamicValueInput::Parent, QStringLiteral("parent"), QStringLiteral("Use parent value as input"),
         QChar(0xF345), QStringLiteral("parent")},
        {DynamicValueInput::Zero, QStringLiteral("zero"), QStringLiteral("Use zero as input"), QChar(u'0'),
         QStringLiteral("static")},
        {DynamicValueInput::X, QStringLiteral("x"), QStringLiteral("Use item X position as input"), QChar(0xF07E),
         QStringLiteral("X→")},
        {DynamicValueInput::Y, QStringLiteral("y"), QStringLiteral("Use item Y position as input"), QChar(0xF07D),
         QStringLiteral("Y↓")},
        {DynamicValueInput::PolarAngle, QStringLiteral("polar_angle"),
         QStringLiteral("Use angle to item from center as input"), QChar(0xE08C), QStringLiteral("angle→↓")},
        {DynamicValueInput::PolarDistance, QStringLiteral("polar_distance"),
         QStringLiteral("Use the distance from center as input"), QChar(0xE09E), QStringLiteral("distance→↓")},
        {DynamicValueInput::ItemRadius, QStringLiteral("item_radius"), QStringLiteral("Use relative size of the item."),
         QChar(0xF545), QStringLiteral("radius→")},
        {DynamicValueInput::ItemIndex, QStringLiteral("item_index"),
         QStringLiteral("Use relative index, of the order how the item was placed."), QChar(0xF88C),
         QStringLiteral("index→")},
        {DynamicValueInput::Random, QStringLiteral("random"), QStringLiteral("Use a random value as input"),
         QChar(0xF522), QStringLiteral("random→↓")},
    };
    return list;
}

QString dynamicValueInputToString(DynamicValueInput input)
{
    const DynamicValueInputEntry* entry = findEntry(input);
    return entry != nullptr ? entry->identifier : QStringLiteral("zero");
}

QString dynamicValueInputToPreviewInfo(DynamicValueInput input)
{
    const DynamicValueInputEntry* entry = findEntry(input);
    return entry != nullptr ? entry->previewText : QString();
}

DynamicValueInput dynamicValueInputFromString(const QString& text)
{
    const auto& list = dynamicValueInputList();
    const auto it = std::find_if(list.cbegin(), list.cend(),
                                 [&text](const DynamicValueInputEntry& entry) { return entry.identifier == text; });
    return it != list.cend() ? it->value : DynamicValueInput::Zero;
}

} // namespace doc
