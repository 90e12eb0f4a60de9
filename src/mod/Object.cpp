#include "mod/Object.h"

#include "mod/Modifier.h"

namespace mod {

std::vector<Description> Object::modifierDescriptions() const
{
    std::vector<Description> descriptions;
    descriptions.reserve(m_modifiers.size());
    for (const Modifier* modifier : m_modifiers) {
        descriptions.push_back(modifier->description());
    }
    return descriptions;
}

std::vector<geo::Normal1D> Object::modifierValues() const
{
    std::vector<geo::Normal1D> values;
    values.reserve(m_modifiers.size());
    for (const Modifier* modifier : m_modifiers) {
        values.push_back(modifier->normalValue());
    }
    return values;
}

void Object::setModifierValues(const std::vector<geo::Normal1D>& values)
{
    for (std::size_t i = 0; i < m_modifiers.size(); ++i) {
        Modifier* modifier = m_modifiers[i];
        modifier->setNormalValue(i < values.size() ? values[i] : modifier->description().defaultValue());
    }
}

void Object::setModifierToDefaults()
{
    for (Modifier* modifier : m_modifiers) {
        modifier->setNormalValue(modifier->description().defaultValue());
    }
}

void Object::registerModifier(Modifier* modifier)
{
    m_modifiers.push_back(modifier);
}

} // namespace mod
