#include "ui/common/tool_openers.h"

#include "model/not_implemented.h"
#include "platform/window_registry.h"
#include "tools/calculform.h"
#include "tools/convert_diameters.h"

namespace quarn {

namespace {

void ShowTool(QWidget& tool) {
  // Closing the program's frame ends the program, whatever tools are still open.
  tool.setAttribute(Qt::WA_QuitOnClose, false);
  tool.show();
  tool.raise();
  tool.activateWindow();
}

}  // namespace

void ToolsCalculator(MainContext& context) {
  ShowTool(*AppWindows().Load<calculform>(
      [&context] { return new calculform(context.prompt, context.help); }));
}

void ToolsDiameterConversion(MainContext& context) {
  ShowTool(*AppWindows().Load<frmConvertDiameters>(
      [&context] { return new frmConvertDiameters(context.prompt, context.help); }));
}

void ToolsUnitsConversion(MainContext& context) {
  ShowNotImplemented(context.prompt);
}

}  // namespace quarn
