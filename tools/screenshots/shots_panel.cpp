#include "ShotContext.h"

void shootPanel(ShotContext& /*context*/)
{
}
