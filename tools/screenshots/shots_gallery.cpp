#include "ShotContext.h"

void shootGallery(ShotContext& /*context*/)
{
}
