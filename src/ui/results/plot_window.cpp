#include "ui/results/plot_window.h"

#include <QAction>
#include <QApplication>
#include <QFont>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <optional>
#include <string>

#include "model/not_implemented.h"
#include "platform/graph.h"
#include "platform/help_service.h"
#include "platform/printer_service.h"
#include "platform/qt_text.h"
#include "platform/window_registry.h"
#include "text/number_read.h"
#include "ui/common/input_form.h"
#include "ui/common/window_menu.h"
#include "ui/results/menu_tables.h"
#include "ui/results/plot_series.h"

namespace quarn {
namespace {

// The scale items are one menu array; their indexes are in the property "Index".
constexpr int kFirstScaleIndex = 311;

constexpr const char* kLandscapeQuestion =
    "For best results, use setup printer to print in landscape.  If printer is not in "
    "landscape, press cancel.";

// Where things go on a picture page (kPicturePageUnits each way): the heading that names
// what is plotted across the top, the graph or the graphs under it.
constexpr double kHeadingUnits = 2000;
const QRectF kGraphOnPage(5, kHeadingUnits, kPicturePageUnits - 10, 27000);
// Print all graphs: three square slots of a side of 31,100 / 2.5 under the heading.
constexpr double kSlot = kPicturePageUnits / 2.5;
// The graphs of Print all graphs are laid out this much larger than the slot, so that their
// texts print smaller and the tick labels fit; with fewer ticks than on screen.
constexpr double kSlotLayoutZoom = 1.4;
constexpr int kSlotTicks = 5;
// The size of the heading's letters on paper.
constexpr double kHeadingPoints = 11;

// The captions of Next and Previous by kind of plot, before the pollutant's or room's name.
constexpr std::array<const char*, 4> kStepCaptions{
    "Concentration versus time plot for ", "Concentration versus time plot for room ",
    "Instantaneous exposure to pollutant ", "Cumulative exposure to pollutant "};

constexpr double kMainShare = 0.9;
constexpr double kNewShare = 0.8;
constexpr int kMainCornerTwips = 10;

std::string PollutantName(const ProgramState& s, int p) {
  if (p < 0 || p >= kMaxPollutants) return {};
  return s.Building.Scenario.Pollutants[static_cast<size_t>(p)].Name;
}

std::string RoomName(const ProgramState& s, int r) {
  if (r < 0 || r > kMaxRooms) return {};
  return s.Building.RoomList[static_cast<size_t>(r)].Name;
}

// The heading of a printed graph: the building, the scenario and the pollutant (or room) that
// a page shows, so that a page read later says what it is.
std::string PageHeading(const ProgramState& s, const std::string& what) {
  return "Building " + s.Building.ID + "   Scenario " + s.Building.Scenario.Name + "   " + what;
}

// A line of text centred across the top of a picture page, at kHeadingPoints on paper
// whatever the scale of the page's units.
void DrawPageHeading(QPainter& page, const std::string& text) {
  const double device_per_unit = page.combinedTransform().m22();
  const QPaintDevice* device = page.device();
  if (device == nullptr || device_per_unit <= 0) return;
  QFont font = QApplication::font();
  font.setBold(true);
  const double device_pixels = kHeadingPoints * device->logicalDpiY() / 72.0;
  font.setPixelSize(std::max(1, static_cast<int>(device_pixels / device_per_unit)));
  page.save();
  page.setFont(font);
  page.setPen(Qt::black);
  page.drawText(QRectF(0, 0, kPicturePageUnits, kHeadingUnits), Qt::AlignCenter, ToQt(text));
  page.restore();
}

bool RunPlot(ProgramState& s, Prompt& prompt, PlotKind kind, int index, GraphData& data) {
  switch (kind) {
    case PlotKind::PollutantInRooms:
      return PlotConcentrationAllRooms(s, prompt, data, index);
    case PlotKind::PollutantsInRoom:
      return PlotConcentrationAllPollutants(s, prompt, data, index);
    case PlotKind::Instantaneous:
      return PlotInstantExposure(s, prompt, data, index);
    case PlotKind::Cumulative:
      return PlotCumulativeExposure(s, prompt, data, index);
  }
  return true;
}

// What a box holds, read as the program reads a number typed in a box; nullopt when it is
// no Integer.
std::optional<int> BoxNumber(const QLineEdit& box) {
  const auto value = RoundToInt16(LeadingNumber(FromQt(box.text())));
  if (!value) return std::nullopt;
  return *value;
}

bool NormalState(const QWidget* w) {
  return (w->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)) == 0;
}

// The frame whose area holds the window, or nullptr outside a frame.
QWidget* FrameOf(const QWidget* window) {
  QMdiArea* area = AreaAbove(window);
  return area != nullptr ? area->window() : nullptr;
}

// A share of the frame's size, never past the frame's area from `corner`.
QSize ShareOfFrame(const QWidget* window, double share, QPoint corner) {
  QMdiArea* area = AreaAbove(window);
  const QWidget* frame = area->window();
  const QSize room = area->viewport()->size();
  return {std::min(static_cast<int>(frame->width() * share), room.width() - corner.x()),
          std::min(static_cast<int>(frame->height() * share), room.height() - corner.y())};
}

}  // namespace

std::span<const MenuEntry> PlotWindowMenuTable() {
  return menus::kPlotWindow;
}

PlotWindow::PlotWindow(MainContext& context, QWidget* parent)
    : ResultsWindow(context, menus::kPlotWindow, nullptr, parent) {
  setObjectName("PlotConcen");
  setWindowTitle("Plot");
  QWidget* central = centralWidget();
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  graph_ = new Graph(central);
  graph_->setObjectName("ConcGraph");
  layout->addWidget(graph_);
  type_box_ = new QLineEdit("Text1", central);
  type_box_->setObjectName("typeofplot");
  type_box_->hide();
  index_box_ = new QLineEdit("0", central);
  index_box_->setObjectName("currentpollutant");
  index_box_->hide();

  SetCommands(
      {
          {"filesetup", [this] { ctx_.printer.Setup(); }},
          {"fileprint", [this] { PrintGraph(); }},
          {"PrintAll", [this] { PrintAllGraphs(); }},
          {"filereturn", [this] { Unload(); }},
          {"editselect", [this] { ShowNotImplemented(ctx_.prompt); }},
          {"editcopy", [this] { ShowNotImplemented(ctx_.prompt); }},
          {"editcut", [this] { ShowNotImplemented(ctx_.prompt); }},
          {"scaleoptions", [] { EmptyStub(); }},
          {"NewConcentration", [this] { NewConcentration(); }},
          {"NewCumulative", [this] { NewExposure(PlotKind::Cumulative); }},
          {"NewInst", [this] { NewExposure(PlotKind::Instantaneous); }},
          {"PreviousPlot", [this] { Step(-1); }},
          {"Nextplot", [this] { Step(1); }},
          {"help", [this] { ctx_.help.ShowHelp("RovozUzav.HLP", "Contents"); }},
      },
      "WindowCascade", "WindowTile");
  // The scale options change nothing in this version, so they are offered disabled.
  if (auto* scale = menuBar()->findChild<QMenu*>("scale")) {
    int index = kFirstScaleIndex;
    for (QAction* item : scale->actions()) {
      item->setProperty("Index", index++);
      item->setEnabled(false);
    }
  }
}

bool PlotWindow::TakePlot(PlotKind kind, int index, const std::string& caption) {
  // A plot that fails leaves half a graph, so it is built apart and taken only whole.
  GraphData plot;
  if (RunPlot(ctx_.state, ctx_.prompt, kind, index, plot)) return false;
  graph_->SetData(plot);
  type_box_->setText(ToQt(std::to_string(static_cast<int>(kind))));
  index_box_->setText(ToQt(std::to_string(index)));
  setWindowTitle(ToQt(caption));
  return true;
}

void PlotWindow::Step(int direction) {
  const auto type = BoxNumber(*type_box_);
  const auto current = BoxNumber(*index_box_);
  if (!type || !current) return;
  const int i = *current;
  const int to = i + direction;
  const ProgramState& s = ctx_.state;
  // Any other kind of plot does not step.
  if (*type < 0 || *type >= static_cast<int>(kStepCaptions.size())) return;
  const auto kind = static_cast<PlotKind>(*type);
  const bool rooms = kind == PlotKind::PollutantsInRoom;
  const int first = rooms ? 1 : 0;
  const int last = rooms ? s.Building.NumRooms : s.Building.Scenario.NumPollutants - 1;
  if (direction > 0 ? i >= last : i <= first) return;
  const std::string name = rooms ? RoomName(s, to) : PollutantName(s, to);
  TakePlot(kind, to, kStepCaptions[static_cast<size_t>(*type)] + name);
}

namespace {

// A window of New plot, beside the one whose menu made it, 0.8 of the frame.
void OpenBeside(PlotWindow* made, PlotWindow& from) {
  made->setAttribute(Qt::WA_DeleteOnClose);
  QWidget* outer = PlaceInArea(made, AreaAbove(&from));
  if (outer != made) outer->resize(ShareOfFrame(made, kNewShare, QPoint(0, 0)));
  ShowInFront(*made);
}

}  // namespace

PlotWindow* PlotWindow::NewConcentration() {
  const QWidget* frame = FrameOf(this);
  if ((frame != nullptr && !NormalState(frame)) || OuterFrame(this)->isMinimized()) return nullptr;
  auto* made = new PlotWindow(ctx_);
  OpenBeside(made, *this);
  return made;
}

PlotWindow* PlotWindow::NewExposure(PlotKind kind) {
  const auto index = BoxNumber(*index_box_);
  if (!index) return nullptr;
  auto* made = new PlotWindow(ctx_);
  const char* caption =
      kind == PlotKind::Cumulative ? "Cumulative exposure" : "Instantaneous exposure";
  if (!made->TakePlot(kind, *index, caption)) {
    delete made;
    return nullptr;
  }
  OpenBeside(made, *this);
  return made;
}

void PrintGraphPage(MainContext& context, const Graph& graph, const std::string& heading) {
  if (context.prompt.AskOkCancel(kLandscapeQuestion, "", MessageIcon::Information) != Answer::Ok) {
    return;
  }
  const std::string line = PageHeading(context.state, heading);
  PrintCommand print(context.printer);
  print.Picture([&](QPainter& page) {
    DrawPageHeading(page, line);
    graph.render(page, kGraphOnPage);
  });
}

std::string PlotWindow::PlottedName() const {
  const auto type = BoxNumber(*type_box_);
  const auto index = BoxNumber(*index_box_);
  if (!type || !index) return {};
  if (*type == static_cast<int>(PlotKind::PollutantsInRoom)) {
    return "Room " + RoomName(ctx_.state, *index);
  }
  return "Pollutant " + PollutantName(ctx_.state, *index);
}

void PlotWindow::PrintGraph() {
  PrintGraphPage(ctx_, *graph_, PlottedName());
}

void PlotWindow::PrintAllGraphs() {
  // Each slot is plotted apart, so the plot on the screen stays as it is.
  struct Slot {
    GraphData data;
    QRectF place;
    bool drawn = false;
  };
  const double top = kHeadingUnits;
  std::array<Slot, 3> slot_plots{{{{}, QRectF(40, top, kSlot, kSlot)},
                                  {{}, QRectF(kSlot + 40, top, kSlot, kSlot)},
                                  {{}, QRectF(40, top + kSlot, kSlot, kSlot)}}};
  ProgramState& s = ctx_.state;
  slot_plots[0].drawn = !PlotConcentrationAllRooms(s, ctx_.prompt, slot_plots[0].data, 0);
  slot_plots[1].drawn = !PlotCumulativeExposure(s, ctx_.prompt, slot_plots[1].data, 0);
  slot_plots[2].drawn = !PlotInstantExposure(s, ctx_.prompt, slot_plots[2].data, 0);
  if (std::none_of(slot_plots.begin(), slot_plots.end(),
                   [](const Slot& slot) { return slot.drawn; })) {
    return;
  }
  Graph off_screen;
  const std::string heading = PageHeading(s, "Pollutant " + PollutantName(s, 0));
  PrintCommand print(ctx_.printer);
  print.Picture([&](QPainter& page) {
    DrawPageHeading(page, heading);
    for (Slot& slot : slot_plots) {
      if (!slot.drawn) continue;
      slot.data.x_axis.ticks = kSlotTicks;
      slot.data.y_axis.ticks = kSlotTicks;
      off_screen.SetData(slot.data);
      off_screen.render(page, slot.place, kSlotLayoutZoom);
    }
  });
}

void PlotWindow::PlaceAsMain() {
  QWidget* outer = OuterFrame(this);
  const QWidget* frame = FrameOf(this);
  // Whatever the frame's state, the plot opens large enough to read its axes.
  if (outer == this || frame == nullptr) return;
  const int corner = TwipsToPixels(kMainCornerTwips);
  outer->setGeometry(
      QRect(QPoint(corner, corner), ShareOfFrame(this, kMainShare, QPoint(corner, corner))));
}

PlotWindow* ShowMainPlot(MainContext& context, QMdiArea* area, PlotKind kind) {
  const ProgramState& s = context.state;
  std::string caption;
  int index = 0;
  switch (kind) {
    case PlotKind::PollutantInRooms:
      caption = "Concentration versus time plot for " + PollutantName(s, 0);
      break;
    case PlotKind::PollutantsInRoom:
      index = 1;
      caption = "Concentration versus time plot  " + RoomName(s, 1);
      break;
    case PlotKind::Cumulative:
      caption = "Cumulative exposure to pollutant " + PollutantName(s, 0);
      break;
    case PlotKind::Instantaneous:
      caption = "Instantaneous exposure";
      break;
  }
  if (PlotWindow* open = AppWindows().Find<PlotWindow>()) {
    // A plot that fails leaves the open window as it was.
    if (!open->TakePlot(kind, index, caption)) return nullptr;
    ShowInFront(*open);
    return open;
  }
  auto* made = new PlotWindow(context);
  if (!made->TakePlot(kind, index, caption)) {
    delete made;
    return nullptr;
  }
  AppWindows().Load<PlotWindow>([made] { return made; });
  PlaceInArea(made, area);
  ShowInFront(*made);
  made->PlaceAsMain();
  return made;
}

}  // namespace quarn
