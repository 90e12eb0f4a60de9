#include "doc/Color.h"

#include "doc/DynamicValue.h"

#include <QVariantMap>

#include <algorithm>
#include <cmath>

namespace doc {

const geo::NormalRange Color::dHueRange{-0.5, 0.5};
const geo::NormalRange Color::dSaturationRange{-0.1, 0.1};
const geo::NormalRange Color::dValueRange{-0.1, 0.1};
const geo::NormalRange Color::dAlphaRange{0.0, -0.2};
const geo::Normal2D Color::dHueCenter{0.5, 0.5};
const geo::Normal2D Color::dSaturationCenter{0.5, 0.5};
const geo::Normal2D Color::dValueCenter{0.5, 0.5};
const geo::Normal2D Color::dAlphaCenter{0.5, 0.5};

namespace {

// QColor reports an undefined component (the hue of a grey) as -1.
double definedComponentOrZero(float component)
{
    return std::isnan(component) || component < 0.0f ? 0.0 : static_cast<double>(component);
}

std::shared_ptr<DynamicValue> makeChannel(Document* document, double offset, const geo::NormalRange& range,
                                          const geo::Normal2D& center)
{
    return std::make_shared<DynamicValue>(document, DynamicValueInput::Zero, offset, range, center);
}

} // namespace

Color::Color(Document* document)
    : DocumentElement(document),
      m_hue(makeChannel(document, 0.0, dHueRange, dHueCenter)),
      m_saturation(makeChannel(document, 0.8, dSaturationRange, dSaturationCenter)),
      m_value(makeChannel(document, 0.8, dValueRange, dValueCenter)),
      m_alpha(makeChannel(document, 1.0, dAlphaRange, dAlphaCenter))
{
    for (const Channel& channel : channels()) {
        channel.value->addListener(this);
    }
}

Color::~Color()
{
    for (const Channel& channel : channels()) {
        channel.value->removeListener(this);
    }
}

std::array<Color::Channel, 4> Color::channels() const
{
    return {{
        {"hue", m_hue.get(), &dHueRange, &dHueCenter},
        {"saturation", m_saturation.get(), &dSaturationRange, &dSaturationCenter},
        {"value", m_value.get(), &dValueRange, &dValueCenter},
        {"alpha", m_alpha.get(), &dAlphaRange, &dAlphaCenter},
    }};
}

QVariant Color::toData() const
{
    QVariantMap map;
    for (const Channel& channel : channels()) {
        map.insert(QString::fromLatin1(channel.key), channel.value->toData());
    }
    return map;
}

void Color::setFromDataOrThrow(const QVariant& data)
{
    const QVariantMap map = data.toMap();
    for (const Channel& channel : channels()) {
        const QString key = QString::fromLatin1(channel.key);
        channel.value->setFromDataOrThrowWithKey(key, map.value(key));
    }
    documentElementReset();
}

void Color::onDocumentPropertyChanged(const QString& name, const DocumentElement* element)
{
    for (const Channel& channel : channels()) {
        if (element == channel.value) {
            propertyChanged(QString::fromLatin1(channel.key), name);
            return;
        }
    }
}

void Color::setParent(const std::shared_ptr<Color>& parent)
{
    if (m_parent == parent) {
        return;
    }
    m_parent = parent;
    m_hue->setParent(parent != nullptr ? parent->m_hue : nullptr);
    m_saturation->setParent(parent != nullptr ? parent->m_saturation : nullptr);
    m_value->setParent(parent != nullptr ? parent->m_value : nullptr);
    m_alpha->setParent(parent != nullptr ? parent->m_alpha : nullptr);
}

QColor Color::colorForInput(const ItemStyleInput& in) const
{
    return QColor::fromHsvF(static_cast<float>(m_hue->normal(in, true)),
                            static_cast<float>(m_saturation->normal(in, false)),
                            static_cast<float>(m_value->normal(in, false)),
                            static_cast<float>(m_alpha->normal(in, false)));
}

void Color::setStaticColor(const QColor& color)
{
    const std::array<double, 4> offsets{definedComponentOrZero(color.hueF()),
                                        definedComponentOrZero(color.saturationF()),
                                        definedComponentOrZero(color.valueF()), definedComponentOrZero(color.alphaF())};
    const auto channelList = channels();
    for (std::size_t i = 0; i < channelList.size(); ++i) {
        DynamicValue* value = channelList[i].value;
        value->setInput(DynamicValueInput::Zero);
        value->setOffset(offsets[i]);
        value->setRange(*channelList[i].range);
        value->setCenter(*channelList[i].center);
    }
}

bool Color::isStaticColor() const
{
    const auto channelList = channels();
    return std::all_of(channelList.cbegin(), channelList.cend(),
                       [](const Channel& channel) { return channel.value->input() == DynamicValueInput::Zero; });
}

QColor Color::staticColour() const
{
    if (!isStaticColor()) {
        return {};
    }
    // The same rule as evaluation, so that offsets outside 0..1 give the colour every item shows.
    return QColor::fromHsvF(static_cast<float>(DynamicValue::wrappedOrClamped(m_hue->offset(), true)),
                            static_cast<float>(DynamicValue::wrappedOrClamped(m_saturation->offset(), false)),
                            static_cast<float>(DynamicValue::wrappedOrClamped(m_value->offset(), false)),
                            static_cast<float>(DynamicValue::wrappedOrClamped(m_alpha->offset(), false)));
}

void Color::setParentColor()
{
    for (const Channel& channel : channels()) {
        channel.value->setInput(DynamicValueInput::Parent);
        channel.value->setOffset(0.0);
        channel.value->setRange(*channel.range);
        channel.value->setCenter(*channel.center);
    }
}

bool Color::isParentColor() const
{
    const auto channelList = channels();
    return std::all_of(channelList.cbegin(), channelList.cend(), [](const Channel& channel) {
        return channel.value->input() == DynamicValueInput::Parent && channel.value->offset().value() == 0.0;
    });
}

QString Color::toString() const
{
    QString text = QStringLiteral("Color{");
    text += m_parent != nullptr ? m_parent->toString() + QLatin1Char(';') : QStringLiteral("{};");
    text += m_hue->toString() + QLatin1Char(';') + m_saturation->toString() + QLatin1Char(';') + m_value->toString()
        + QLatin1Char(';') + m_alpha->toString();
    text += QLatin1Char('}');
    return text;
}

} // namespace doc
