#pragma once

#include <QWidget>

#include "platform/window_registry.h"
#include "ui/common/main_context.h"

namespace quarn {

// Loads the tool of class Tool with the services it is made with, unless it is open, and
// shows it.
// Makes a new tool window a window of the program's frame, so that it stays in front of
// the frame, and lets Alt+F4 close the tool itself rather than reach the frame.
void OwnToolWindow(QWidget& tool);

template <class Tool, class... Services>
Tool& OpenTool(Services&... services) {
  Tool* tool = AppWindows().Load<Tool>([&] {
    auto* made = new Tool(services...);
    OwnToolWindow(*made);
    return made;
  });
  // Closing the program's frame ends the program, whatever tools are still open.
  tool->setAttribute(Qt::WA_QuitOnClose, false);
  tool->show();
  tool->raise();
  tool->activateWindow();
  return *tool;
}

// The Tools commands of the windows. Each tool exists once and is owned by the frame: the
// command loads it when it is closed and shows it modeless, or brings the open one forward
// with what it holds. A closed tool is gone, so the next opening starts afresh.
void ToolsCalculator(MainContext& context);
void ToolsDiameterConversion(MainContext& context);
void ToolsUnitsConversion(MainContext& context);

}  // namespace quarn
