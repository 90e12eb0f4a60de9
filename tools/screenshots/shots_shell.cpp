#include "ShotContext.h"

void shootShell(ShotContext& /*context*/)
{
}
