#include "frame/Builder.h"

#include <algorithm>
#include <utility>

namespace frame {

Builder::Builder(Shape shape, std::vector<Parameter> parameters) : m_shape(shape), m_parameters(std::move(parameters))
{
}

Builder::~Builder() = default;

std::vector<geo::Normal1D> Builder::completedValues(const std::vector<geo::Normal1D>& values) const
{
    std::vector<geo::Normal1D> completed(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(std::min(values.size(), Base::valueCount)));
    for (std::size_t i = completed.size(); i < Base::valueCount; ++i) {
        completed.push_back(i < m_parameters.size() ? m_parameters[i].defaultValue() : geo::Normal1D(0.0));
    }
    return completed;
}

std::shared_ptr<Base> Builder::build(std::shared_ptr<Base> frame, const geo::Size& size, const geo::Normal1D& ratio,
                                     const std::vector<geo::Normal1D>& values) const
{
    frame->setSize(size, ratio);
    frame->setValues(completedValues(values));
    frame->initialize();
    return frame;
}

std::shared_ptr<Base> Builder::read(std::shared_ptr<Base> frame, const QVariant& data)
{
    if (!frame->setFromData(data)) {
        return nullptr;
    }
    frame->initialize();
    return frame;
}

} // namespace frame
