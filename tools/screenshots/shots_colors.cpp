#include "ShotContext.h"

void shootColors(ShotContext& /*context*/)
{
}
