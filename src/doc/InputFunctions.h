#pragma once

#include "doc/DocumentElement.h"
#include "doc/InputFunction.h"

#include <memory>
#include <vector>

namespace doc {

// The ordered chain of shaping steps of a dynamic value. Announces additions and removals with the
// step's index as name, a replaced step as a property change named by its index, and a reset.
class InputFunctions : public DocumentElement
{
public:
    using Steps = std::vector<std::shared_ptr<InputFunction>>;

    explicit InputFunctions(Document* document);

    const Steps& functions() const { return m_functions; }
    // Null when the index is out of range.
    std::shared_ptr<InputFunction> function(int index) const;

    // A null step is ignored: the chain never holds one.
    void appendFunction(const std::shared_ptr<InputFunction>& function);
    // Announces the removal even for an index out of range, which removes nothing.
    void removeFunction(int index);
    // Only for an index in range and a step that is not null.
    void replaceFunction(int index, const std::shared_ptr<InputFunction>& function);
    void resetToDefaults();

    bool operator==(const InputFunctions& other) const;
    bool operator!=(const InputFunctions& other) const { return !(*this == other); }

    // "fn[step,step,...]"
    QString toString() const;

    QVariant toData() const override;
    // Reads every step before it changes anything: a failure leaves the chain as it was.
    void setFromDataOrThrow(const QVariant& data) override;

    // The steps in order on the input, the result clamped to [0, 1] (NaN gives 0).
    geo::Normal1D normal(const geo::Normal1D& input) const;

private:
    bool isValidIndex(int index) const;

    Steps m_functions;
};

} // namespace doc
