#include "ui/common/tool_openers.h"

#include "platform/window_registry.h"
#include "tools/calculform.h"
#include "tools/convert_diameters.h"
#include "tools/units_form.h"

namespace quarn {

namespace {

// Loads the tool of class Tool with the services it is made with, unless it is open, and
// shows it.
template <class Tool, class... Services>
void OpenTool(Services&... services) {
  QWidget* tool = AppWindows().Load<Tool>([&] { return new Tool(services...); });
  // Closing the program's frame ends the program, whatever tools are still open.
  tool->setAttribute(Qt::WA_QuitOnClose, false);
  tool->show();
  tool->raise();
  tool->activateWindow();
}

}  // namespace

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
