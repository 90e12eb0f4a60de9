#include "app/Resources.h"

#include <QtGlobal>

static void initializeResourcesOnce()
{
    Q_INIT_RESOURCE(resources);
}

void initializeApplicationResources()
{
    static const bool isInitialized = [] {
        initializeResourcesOnce();
        return true;
    }();
    Q_UNUSED(isInitialized);
}
