#include "ShotContext.h"

void shootFiles(ShotContext& /*context*/)
{
}
