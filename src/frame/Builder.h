#pragma once

#include "frame/Base.h"
#include "frame/Parameter.h"
#include "frame/Shape.h"

#include <QVariant>

#include <memory>
#include <vector>

namespace frame {

// Creates the frames of one shape, from a size, a ratio and values or from stored frame data.
class Builder
{
public:
    Builder(Shape shape, std::vector<Parameter> parameters);
    virtual ~Builder();

    // A new initialized frame. Missing values are taken from the parameter defaults (0 beyond them), so
    // the frame stores exactly the values its outline is made from.
    virtual std::shared_ptr<Base> create(const geo::Size& size, const geo::Normal1D& ratio,
                                         const std::vector<geo::Normal1D>& values) const = 0;
    // A new initialized frame read from frame data; empty when the data is not valid.
    virtual std::shared_ptr<Base> create(const QVariant& data) const = 0;

    Shape shape() const noexcept { return m_shape; }
    const std::vector<Parameter>& parameters() const noexcept { return m_parameters; }

protected:
    std::vector<geo::Normal1D> completedValues(const std::vector<geo::Normal1D>& values) const;
    std::shared_ptr<Base> build(std::shared_ptr<Base> frame, const geo::Size& size, const geo::Normal1D& ratio,
                                const std::vector<geo::Normal1D>& values) const;
    static std::shared_ptr<Base> read(std::shared_ptr<Base> frame, const QVariant& data);

private:
    Shape m_shape;
    std::vector<Parameter> m_parameters;
};

// The builder of a frame class with its own outline.
template <typename T>
class BuilderT : public Builder
{
public:
    using Builder::Builder;

    std::shared_ptr<Base> create(const geo::Size& size, const geo::Normal1D& ratio,
                                 const std::vector<geo::Normal1D>& values) const override
    {
        return build(std::make_shared<T>(), size, ratio, values);
    }
    std::shared_ptr<Base> create(const QVariant& data) const override { return read(std::make_shared<T>(), data); }
};

} // namespace frame
