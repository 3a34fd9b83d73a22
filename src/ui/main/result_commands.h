#pragma once

#include "ui/common/main_context.h"

namespace quarn {

enum class ResultFileKind { Concentration, Exposure, AverageExposure, All };

// File > Save Results: the save dialog of the kind, then its writer. A cancelled dialog
// ends the command. The callers check first that there are results to save.
void SaveResultFile(MainContext& context, ResultFileKind kind);

}  // namespace quarn
