#include "ui/results/results_window.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPointer>
#include <algorithm>
#include <vector>

#include "platform/clipboard.h"
#include "platform/file_dialog.h"
#include "platform/flex_grid.h"
#include "platform/qt_text.h"
#include "ui/common/form_helpers.h"
#include "ui/common/window_menu.h"

namespace quarn {

namespace {

// The results windows of the program that are open now (a closed one waits for its deletion
// without the attribute); one that closes while the others are dealt with is passed.
std::vector<QPointer<ResultsWindow>> OpenResultsWindows(const MainContext& context) {
  std::vector<QPointer<ResultsWindow>> open;
  for (QWidget* widget : QApplication::allWidgets()) {
    auto* window = qobject_cast<ResultsWindow*>(widget);
    if (window == nullptr || &window->Context() != &context) continue;
    if (window->isVisible() || window->testAttribute(Qt::WA_DeleteOnClose)) {
      open.emplace_back(window);
    }
  }
  return open;
}

// Whether a run of that kind replaced what the window shows.
bool ReplacedBy(const ResultsWindow& window, RunKind run) {
  for (RunKind read :
       {RunKind::Concentration, RunKind::Exposure, RunKind::AverageExposure, RunKind::Risk}) {
    const bool replaced = run == read || run == RunKind::Concentration ||
                          (run == RunKind::Exposure && read != RunKind::Concentration);
    if (replaced && window.ReadsRun(read)) return true;
  }
  return false;
}

}  // namespace

ResultsWindow::ResultsWindow(MainContext& context, std::span<const MenuEntry> menus,
                             const char* grid_name, QWidget* parent)
    : QMainWindow(parent), ctx_(context) {
  auto* central = new QWidget(this);
  if (grid_name != nullptr) {
    grid_ = new FlexGrid(central);
    grid_->setObjectName(grid_name);
  }
  setCentralWidget(central);
  central->installEventFilter(this);
  BuildMenuBar(*menuBar(), menus);
  if (auto* list = menuBar()->findChild<QAction*>("WindowsList")) MakeWindowList(*list, *this);
}

void ResultsWindow::SetCommands(Commands commands, const char* cascade, const char* tile) {
  commands_ = std::move(commands);
  commands_[cascade] = [this] { CascadeWindows(this); };
  commands_[tile] = [this] { TileWindows(this); };
  for (QAction* a : menuBar()->findChildren<QAction*>()) {
    if (a->menu() != nullptr || a->isSeparator() || a->objectName().isEmpty()) continue;
    const std::string name = a->objectName().toStdString();
    if (commands_.count(name) == 0) {
      a->setEnabled(false);
      continue;
    }
    connect(a, &QAction::triggered, this, [this, name] { RunCommand(name); });
  }
}

void ResultsWindow::SetGridPlace(int left, int top, int width_margin, int height_margin) {
  place_[0] = left;
  place_[1] = top;
  place_[2] = width_margin;
  place_[3] = height_margin;
  PlaceGrid();
}

void ResultsWindow::PlaceGrid() {
  if (grid_ == nullptr) return;
  const QWidget* outer = OuterFrame(this);
  const QWidget* client = centralWidget();
  const int x = TwipsToPixels(place_[0]);
  const int y = TwipsToPixels(place_[1]);
  const int w = std::min(outer->width() - TwipsToPixels(place_[2]), client->width() - x);
  const int h = std::min(outer->height() - TwipsToPixels(place_[3]), client->height() - y);
  grid_->setGeometry(x, y, std::max(w, 0), std::max(h, 0));
}

bool ResultsWindow::eventFilter(QObject* watched, QEvent* event) {
  // The client area is laid out after the window's own resize.
  if (watched == centralWidget() && event->type() == QEvent::Resize) PlaceGrid();
  return QMainWindow::eventFilter(watched, event);
}

void ResultsWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  PlaceGrid();
}

std::optional<std::string> ResultsWindow::AskSaveName(const char* initial_name, const char* filter,
                                                      const char* extension) {
  return ctx_.dialogs.SaveFileName(FileRequest(filter, extension, initial_name));
}

void ResultsWindow::RunCommand(const std::string& name) {
  // A window of results made from other inputs has nothing left to save, print or step
  // through: it closes instead.
  if (!ResultsAreCurrent(ctx_) && ReplacedBy(*this, RunKind::Concentration)) return;
  auto it = commands_.find(name);
  if (it != commands_.end()) it->second();
}

void ResultsWindow::CopySelection() {
  if (grid_ == nullptr) return;
  SetClipboardText(grid_->Clip());
}

std::string AllCellsText(const FlexGrid& grid) {
  // Read cell by cell: the grid's own selection never takes in its headings.
  std::string out;
  for (int r = 0; r < grid.Rows(); ++r) {
    for (int c = 0; c < grid.Cols(); ++c) {
      if (c > 0) out += '\t';
      out += grid.TextMatrix(r, c);
    }
    out += kHostLineEnd;
  }
  return out;
}

void ResultsWindow::CopyAll() {
  if (grid_ == nullptr) return;
  SetClipboardText(AllCellsText(*grid_));
  grid_->SetRowCol(1, 1);
}

void ResultsWindow::Unload() {
  OuterFrame(this)->close();
}

void ShowRunResults(MainContext& context, RunKind run) {
  for (const QPointer<ResultsWindow>& window : OpenResultsWindows(context)) {
    if (!window.isNull() && ReplacedBy(*window, run) && !window->ShowNewResults()) {
      window->Unload();
    }
  }
}

void EndResultsOnScreen(MainContext& context) {
  // Every result is of the concentrations of some run.
  for (const QPointer<ResultsWindow>& window : OpenResultsWindows(context)) {
    if (!window.isNull() && ReplacedBy(*window, RunKind::Concentration)) window->Unload();
  }
}

bool ResultsAreCurrent(MainContext& context) {
  if (!context.results_watch.InputsChanged(context.state)) return true;
  EndResultsOnScreen(context);
  return false;
}

QWidget* PlaceInArea(QWidget* window, QMdiArea* area) {
  if (area == nullptr) return window;
  QMdiSubWindow* sub = area->addSubWindow(window);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  return sub;
}

void OpenAtSize(QWidget& window, QSize twips) {
  if (window.isVisible()) return;
  OuterFrame(&window)->resize(TwipsToPixels(twips.width()), TwipsToPixels(twips.height()));
}

QLabel* AddLabel(QGridLayout& layout, const char* name, const char* caption, int row, int col) {
  auto* label = new QLabel(ToQt(caption), layout.parentWidget());
  label->setObjectName(name);
  layout.addWidget(label, row, col);
  return label;
}

void ShowInFront(QWidget& window) {
  QWidget* frame = OuterFrame(&window);
  frame->show();
  window.show();
  if (auto* sub = qobject_cast<QMdiSubWindow*>(frame)) {
    if (QMdiArea* area = sub->mdiArea()) area->setActiveSubWindow(sub);
  }
  frame->raise();
}

}  // namespace quarn
