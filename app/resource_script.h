// The program's resource script: the module holding the settings dialog's
// template and its banner (numbers in app/resource.h). Constant for the life of
// the process; pass it to platform::dialogBox.
#pragma once

#include "platform/resources.h"

// The tables of the settings dialog and its banner.
extern const platform::ResourceModule programResources;
