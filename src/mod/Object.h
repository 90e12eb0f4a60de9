#pragma once

#include "mod/Description.h"

#include "geo/Normal1D.h"

#include <vector>

namespace mod {

class Modifier;

// The registered modifiers of a shape, in registration order. The modifiers are members of the derived
// object, so the object cannot be copied: the copy's list would point into the original.
class Object
{
public:
    Object() = default;
    virtual ~Object() = default;
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    std::vector<Description> modifierDescriptions() const;
    std::vector<geo::Normal1D> modifierValues() const;
    // The i-th modifier gets the i-th value; missing values give the defaults, extra values are ignored.
    void setModifierValues(const std::vector<geo::Normal1D>& values);
    void setModifierToDefaults();

protected:
    void registerModifier(Modifier* modifier);

private:
    std::vector<Modifier*> m_modifiers;
};

} // namespace mod
