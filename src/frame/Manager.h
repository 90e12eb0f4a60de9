#pragma once

#include "frame/Base.h"
#include "frame/Builder.h"
#include "frame/Parameter.h"
#include "frame/Shape.h"

#include <QVariant>

#include <memory>
#include <vector>

namespace frame {

// The registry of the frame builders, one per shape of the shape table. One instance exists per process;
// its const operations may be called from any thread.
class Manager
{
public:
    Manager();
    ~Manager();
    Manager(const Manager&) = delete;
    Manager& operator=(const Manager&) = delete;

    // The instance recorded by the constructor; null before it and after its destruction.
    static Manager* instance() noexcept;

    // A new frame of the shape. A shape outside the table (NoShape) is built as a rectangle, so the result
    // is never empty.
    std::shared_ptr<Base> createFrame(Shape shape, const geo::Size& size, const geo::Normal1D& ratio,
                                      const std::vector<geo::Normal1D>& values) const;
    // A frame read from frame data; empty for a "shapeId" outside the table or data that is not valid.
    std::shared_ptr<Base> createFrame(const QVariant& data) const;

    // The builder of the shape; the rectangle's builder for a shape outside the table. Never empty.
    std::shared_ptr<Builder> builder(Shape shape) const;
    // The parameters of the shape; the rectangle's for a shape outside the table.
    const std::vector<Parameter>& parameters(Shape shape) const;

private:
    void initializeBuilders();
    std::shared_ptr<Builder> findBuilder(Shape shape) const;

    std::vector<std::shared_ptr<Builder>> m_builders;
};

} // namespace frame
