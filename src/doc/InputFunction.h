#pragma once

#include "doc/InputFunctionOperator.h"
#include "doc/InputFunctionSource.h"
#include "func/Base.h"
#include "geo/Normal1D.h"

#include <QString>
#include <QVariant>

#include <memory>

namespace doc {

// One step of an input-function chain: a library function, what it reads and how its output combines
// with the previous result. Immutable: an edit replaces the whole step. A step always holds a
// registered function.
class InputFunction
{
public:
    // Null when no function is registered under the identifier.
    static std::shared_ptr<InputFunction> create(const QString& identifier, InputFunctionOperator op,
                                                 InputFunctionSource source);
    // Reads {"identifier", "operator", "source"}; an unregistered identifier throws err::Deserialize.
    static std::shared_ptr<InputFunction> fromDataOrThrow(const QVariant& data);

    const func::FunctionPtr& function() const { return m_function; }
    QString identifier() const { return m_function->identifier(); }
    InputFunctionOperator op() const { return m_operator; }
    InputFunctionSource inputSource() const { return m_source; }

    QVariant toData() const;
    // "identifier(operator,source)"
    QString toString() const;

    bool operator==(const InputFunction& other) const;
    bool operator!=(const InputFunction& other) const { return !(*this == other); }

    // One step on the last result r and the chain's original input v.
    geo::Normal1D normal(const geo::Normal1D& lastResult, const geo::Normal1D& input) const;

private:
    InputFunction(func::FunctionPtr function, InputFunctionOperator op, InputFunctionSource source);

    func::FunctionPtr m_function;
    InputFunctionOperator m_operator;
    InputFunctionSource m_source;
};

} // namespace doc
