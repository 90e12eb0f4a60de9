#pragma once

// Registers the resources compiled into the application library (style sheet, logo, icon font,
// examples). The library is static, so nothing pulls its resources in unless this is called; the
// controller calls it, and so may tests and tools that use the resources without a controller.
void initializeApplicationResources();
