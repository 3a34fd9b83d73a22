#include "ui/common/tool_openers.h"

#include "tools/calculform.h"
#include "tools/convert_diameters.h"
#include "tools/units_form.h"

namespace quarn {

void ToolsCalculator(MainContext& context) {
  OpenTool<calculform>(context.prompt, context.help);
}

void ToolsDiameterConversion(MainContext& context) {
  OpenTool<frmConvertDiameters>(context.prompt, context.help);
}

void ToolsUnitsConversion(MainContext& context) {
  OpenTool<UnitsForm>(context.prompt);
}

}  // namespace quarn
