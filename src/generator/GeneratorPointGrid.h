#pragma once

#include "generator/Generator.h"

// The point-grid generator: lays a grid of candidate points over the canvas, keeps those inside the frame
// with enough room, and places the item copies one after another on the best remaining point.
class GeneratorPointGrid : public Generator
{
public:
    GeneratorPointGrid();
    ~GeneratorPointGrid() override;

    void initialize() override;
    QSharedPointer<canvas::Canvas> generate(ProgressInterface* progress) override;
    void cleanUp() override;
    const std::vector<AlgorithmEntry>& algorithmList() const override;
};
