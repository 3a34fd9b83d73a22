#pragma once

#include <QWidget>
#include <functional>

#include "platform/window_registry.h"
#include "ui/common/main_context.h"

namespace quarn {

// Makes a new tool window a window of the program's frame, so that it stays in front of
// the frame, and lets Alt+F4 close the tool itself rather than reach the frame.
void OwnToolWindow(QWidget& tool);

// Loads the tool of class Tool with the services it is made with, unless it is open, and
// shows it.
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

// Windows that windows of other folders open. A window folder never includes another's
// windows: the frame's folder, which knows them all, installs an opener for each at start
// (InstallWindowOpeners), and a window opens the others through these.
enum class ToolWindow {
  Calculator,
  DiameterConversion,
  UnitsConversion,
  VocDatabase,     // beside the opener, which stays out of use while it is open
  SourceDatabase,  // likewise, after its file dialog
  ChamberData,     // the emission-factor fit of the current source of `room`
};
using ToolWindowOpener = std::function<void(MainContext& context, QWidget* opener, int room)>;
void SetToolWindowOpener(ToolWindow window, ToolWindowOpener opener);
// Opens the window; nothing happens when no opener is installed.
void OpenToolWindow(ToolWindow window, MainContext& context, QWidget* opener = nullptr,
                    int room = 0);

// The Tools commands of the windows. Each tool exists once and is owned by the frame: the
// command loads it when it is closed and shows it modeless, or brings the open one forward
// with what it holds. A closed tool is gone, so the next opening starts afresh.
inline void ToolsCalculator(MainContext& context) {
  OpenToolWindow(ToolWindow::Calculator, context);
}
inline void ToolsDiameterConversion(MainContext& context) {
  OpenToolWindow(ToolWindow::DiameterConversion, context);
}
inline void ToolsUnitsConversion(MainContext& context) {
  OpenToolWindow(ToolWindow::UnitsConversion, context);
}

}  // namespace quarn
