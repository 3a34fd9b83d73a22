#include "ui/tools/r0k_plot_form.h"

#include <QAction>
#include <QMenuBar>
#include <vector>

#include "platform/graph.h"
#include "platform/qt_text.h"
#include "platform/window_registry.h"
#include "ui/common/about_plot.h"
#include "ui/common/menu_builder.h"
#include "ui/common/tool_openers.h"
#include "ui/tools/menu_tables.h"

namespace quarn {

namespace {

constexpr int kWidthTwips = 9000;
constexpr int kHeightTwips = 6500;

}  // namespace

R0kPlotForm::R0kPlotForm(QWidget* parent) : QMainWindow(parent) {
  setObjectName("r0kplotform");
  setWindowTitle("R0k Plot");
  graph_ = new Graph(this);
  graph_->setObjectName("r0kPlot");
  GraphData titled;
  titled.bottom_title = "Time (hrs)";
  titled.left_title = "Concentration (mg/m3)";
  graph_->SetData(titled);
  setCentralWidget(graph_);

  const std::vector<QAction*> items = BuildMenuLines(*menuBar(), menus::kR0kPlotForm);
  // Print has no command, and says so by being disabled.
  items[1]->setEnabled(false);
  connect(items[2], &QAction::triggered, this, &QWidget::close);
  connect(items[4], &QAction::triggered, this, [this] {
    QWidget* about = AppWindows().Load<AboutPlot>([this] { return new AboutPlot(this); });
    about->show();
    about->raise();
  });
  resize(TwipsToPixels(kWidthTwips), TwipsToPixels(kHeightTwips));
}

R0kPlotForm* ShowR0kPlot() {
  // Like the tools, the plot belongs to no window, so closing the frame does not wait for it.
  return &OpenTool<R0kPlotForm>();
}

}  // namespace quarn
