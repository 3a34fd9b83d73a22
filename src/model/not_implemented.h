#pragma once

#include "model/prompt.h"

namespace quarn {

// Tells the user that a command of the menus has no implementation in this version.
void ShowNotImplemented(Prompt& prompt);

}  // namespace quarn
