#include "ui/common/tool_openers.h"

#include <QApplication>
#include <QShortcut>

#include <map>
#include <utility>

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

namespace {

std::map<ToolWindow, ToolWindowOpener>& Openers() {
  static std::map<ToolWindow, ToolWindowOpener> openers;
  return openers;
}

}  // namespace

void SetToolWindowOpener(ToolWindow window, ToolWindowOpener opener) {
  Openers()[window] = std::move(opener);
}

void OpenToolWindow(ToolWindow window, MainContext& context, QWidget* opener, int room) {
  const auto it = Openers().find(window);
  if (it != Openers().end() && it->second) it->second(context, opener, room);
}

}  // namespace quarn
