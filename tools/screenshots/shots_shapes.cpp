#include "ShotContext.h"

void shootShapes(ShotContext& /*context*/)
{
}
