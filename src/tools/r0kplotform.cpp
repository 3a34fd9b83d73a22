#include "tools/r0kplotform.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "platform/graph.h"
#include "platform/qt_text.h"
#include "platform/window_registry.h"
#include "ui/common/tool_openers.h"
#include "ui/main/about_forms.h"

namespace quarn {

namespace {

constexpr int kWidthTwips = 9000;
constexpr int kHeightTwips = 6500;

QAction* AddItem(QMenu& menu, const char* caption, const char* name) {
  QAction* item = menu.addAction(caption);
  item->setObjectName(name);
  return item;
}

QMenu* AddMenu(QMenuBar& bar, const char* caption, const char* name) {
  QMenu* menu = bar.addMenu(caption);
  menu->setObjectName(name);
  menu->menuAction()->setObjectName(name);
  return menu;
}

}  // namespace

r0kplotform::r0kplotform(QWidget* parent) : QMainWindow(parent) {
  setObjectName("r0kplotform");
  setWindowTitle("R0k Plot");
  graph_ = new Graph(this);
  graph_->setObjectName("r0kPlot");
  GraphData titled;
  titled.bottom_title = "Time (hrs)";
  titled.left_title = "Concentration (mg/m3)";
  graph_->setData(titled);
  setCentralWidget(graph_);

  QMenu* file = AddMenu(*menuBar(), "&File", "File");
  // Print has no command, and says so by being disabled.
  AddItem(*file, "&Print", "FilePrint")->setEnabled(false);
  connect(AddItem(*file, "E&xit", "FileExit"), &QAction::triggered, this, &QWidget::close);
  QMenu* help = AddMenu(*menuBar(), "&Help", "Help");
  connect(AddItem(*help, "&About", "HelpAbout"), &QAction::triggered, this, [this] {
    QWidget* about = AppWindows().Load<AboutPlot>([this] { return new AboutPlot(this); });
    about->show();
    about->raise();
  });
  resize(TwipsToPixels(kWidthTwips), TwipsToPixels(kHeightTwips));
}

r0kplotform* ShowR0kPlot() {
  // Like the tools, the plot belongs to no window, so closing the frame does not wait for it.
  return &OpenTool<r0kplotform>();
}

}  // namespace quarn
