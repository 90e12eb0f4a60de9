#include "generator/GeneratorPointGrid.h"

#include "canvas/Canvas.h"

GeneratorPointGrid::GeneratorPointGrid()
    : Generator(QStringLiteral("pointgrid"), QStringLiteral("Point Grid"))
{
}

GeneratorPointGrid::~GeneratorPointGrid() = default;

void GeneratorPointGrid::initialize()
{
    Generator::initialize();
}

QSharedPointer<canvas::Canvas> GeneratorPointGrid::generate(ProgressInterface* /*progress*/)
{
    setRunStatus(RunStatus::Failed, QStringLiteral("Not available yet."));
    return {};
}

void GeneratorPointGrid::cleanUp()
{
    Generator::cleanUp();
}

const std::vector<Generator::AlgorithmEntry>& GeneratorPointGrid::algorithmList() const
{
    static const std::vector<AlgorithmEntry> list;
    return list;
}
