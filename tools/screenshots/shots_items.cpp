#include "ShotContext.h"

void shootItems(ShotContext& /*context*/)
{
}
