#include "ui/main/install_openers.h"

#include "ui/common/tool_openers.h"
#include "ui/tools/calculator_form.h"
#include "ui/tools/chamber_data_form.h"
#include "ui/tools/convert_diameters_form.h"
#include "ui/tools/source_database_form.h"
#include "ui/tools/units_form.h"
#include "ui/tools/voc_database_form.h"

namespace quarn {

void InstallWindowOpeners() {
  SetToolWindowOpener(ToolWindow::Calculator, [](MainContext& c, QWidget*, int) {
    OpenTool<CalculatorForm>(c.prompt, c.help);
  });
  SetToolWindowOpener(ToolWindow::DiameterConversion, [](MainContext& c, QWidget*, int) {
    OpenTool<ConvertDiametersForm>(c.prompt, c.help);
  });
  SetToolWindowOpener(ToolWindow::UnitsConversion,
                      [](MainContext& c, QWidget*, int) { OpenTool<UnitsForm>(c.prompt); });
  SetToolWindowOpener(ToolWindow::VocDatabase,
                      [](MainContext& c, QWidget* opener, int) { OpenVocDatabase(c, opener); });
  SetToolWindowOpener(ToolWindow::SourceDatabase,
                      [](MainContext& c, QWidget* opener, int) { OpenSourceDatabase(c, opener); });
  SetToolWindowOpener(ToolWindow::ChamberData,
                      [](MainContext& c, QWidget*, int room) { ShowR0kCalculator(c, room); });
}

}  // namespace quarn
