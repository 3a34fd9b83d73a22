#pragma once

#include <QWidget>

#include "platform/window_registry.h"
#include "ui/main/main_context.h"

namespace quarn {

// Loads the tool of class Tool with the services it is made with, unless it is open, and
// shows it.
template <class Tool, class... Services>
Tool& OpenTool(Services&... services) {
  Tool* tool = AppWindows().Load<Tool>([&] { return new Tool(services...); });
  // Closing the program's frame ends the program, whatever tools are still open.
  tool->setAttribute(Qt::WA_QuitOnClose, false);
  tool->show();
  tool->raise();
  tool->activateWindow();
  return *tool;
}

// The Tools commands of the windows. Each tool exists once and belongs to no window: the
// command loads it when it is closed and shows it modeless, or brings the open one forward
// with what it holds. A closed tool is gone, so the next opening starts afresh.
void ToolsCalculator(MainContext& context);
void ToolsDiameterConversion(MainContext& context);
void ToolsUnitsConversion(MainContext& context);

}  // namespace quarn
