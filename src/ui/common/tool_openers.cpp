#include "ui/common/tool_openers.h"

#include <QApplication>
#include <QShortcut>

#include "ui/tools/calculform.h"
#include "ui/tools/convert_diameters.h"
#include "ui/tools/units_form.h"

namespace quarn {

void OwnToolWindow(QWidget& tool) {
  if (tool.parentWidget() == nullptr) {
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (top->objectName() == "RevudUzad" && top != &tool) {
        tool.setParent(top, tool.windowFlags() | Qt::Window);
        break;
      }
    }
  }
  auto* close = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_F4), &tool);
  close->setContext(Qt::WindowShortcut);
  QObject::connect(close, &QShortcut::activated, &tool, &QWidget::close);
}

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
