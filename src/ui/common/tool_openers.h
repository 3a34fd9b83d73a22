#pragma once

#include "ui/main/main_context.h"

namespace quarn {

// The Tools commands of the windows. Each tool exists once and belongs to no window: the
// command loads it when it is closed and shows it modeless, or brings the open one forward
// with what it holds. A closed tool is gone, so the next opening starts afresh.
void ToolsCalculator(MainContext& context);
void ToolsDiameterConversion(MainContext& context);
void ToolsUnitsConversion(MainContext& context);

}  // namespace quarn
