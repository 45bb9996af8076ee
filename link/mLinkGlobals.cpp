#include "mLinkGlobals.h"

bool gDocked = false;
bool gReceiveEnabled = false;
