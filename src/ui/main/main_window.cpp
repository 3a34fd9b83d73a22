#include "ui/main/main_window.h"

#include <QChildEvent>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <algorithm>

#include "model/resets.h"
#include "platform/flex_grid.h"
#include "platform/qt_text.h"
#include "ui/common/form_helpers.h"
#include "ui/main/building_form.h"
#include "ui/main/scenario_editor.h"
#include "ui/results/results_window.h"

namespace quarn {
namespace {

constexpr int kMinFrameWidthTwips = 11500;

}  // namespace

void KeepInsideArea(QMdiSubWindow& sub, const QRect& area) {
  if (area.isEmpty() || (sub.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized))) {
    return;
  }
  const QSize size = sub.size().boundedTo(area.size());
  if (size != sub.size()) {
    // A sub-window cannot be smaller than its contents' minimum; the contents give up what
    // the area lacks, since a window cut off by the frame cannot be used at all.
    const QSize lack = sub.size() - size;
    if (QWidget* inner = sub.widget()) {
      inner->setMinimumSize(inner->minimumSize().boundedTo(inner->size() - lack));
    }
    sub.setMinimumSize(sub.minimumSize().boundedTo(size));
    sub.resize(size);
  }
  const int x = std::clamp(sub.x(), area.left(), area.right() + 1 - sub.width());
  const int y = std::clamp(sub.y(), area.top(), area.bottom() + 1 - sub.height());
  if (x != sub.x() || y != sub.y()) sub.move(x, y);
}

std::string FrameCaption(const ProgramIdentity& identity) {
  return "ZAR Model for Windows Quarn Version " + VersionNumberText(identity);
}

MainWindow::MainWindow(MainContext& context, QWidget* parent) : QMainWindow(parent), ctx_(context) {
  setObjectName("RevudUzad");
  setWindowTitle(ToQt(FrameCaption(ctx_.identity)));
  area_ = new QMdiArea(this);
  area_->setObjectName("MDIArea");
  setCentralWidget(area_);
  area_->viewport()->installEventFilter(this);
  // A change made in one window (a Transfer, a file opened) ends the results on the screen
  // as the user turns to the next; after the change of window has been dealt with, so that
  // no window closes inside its own activation.
  connect(area_, &QMdiArea::subWindowActivated, this,
          [this] { QTimer::singleShot(0, this, [this] { ResultsAreCurrent(ctx_); }); });
  int width = TwipsToPixels(kMinFrameWidthTwips);
  int height = 700;
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect avail = screen->availableGeometry();
    // Wide enough for the scenario editor with its frame where the screen allows: the
    // frame's width is the editor's least width.
    const int editor = ScenarioEditorSize(ctx_).width() +
                       2 * style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth) +
                       2 * area_->frameWidth();
    width =
        std::max({width, avail.width() / 2 + TwipsToPixels(100), std::min(editor, avail.width())});
    height = std::min(height, avail.height() - 2 * TwipsToPixels(900));
    height = std::max(height, 400);
  }
  resize(width, height);
  move(TwipsToPixels(900), TwipsToPixels(900));
}

void MainWindow::EndProgram() {
  end_confirmed_ = true;
  close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // Closing the frame asks what File > Exit asks, so that no unsaved data is lost unasked.
  if (!end_confirmed_ && building_ != nullptr && !building_->ConfirmExit()) {
    event->ignore();
    return;
  }
  end_confirmed_ = true;
  event->accept();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  const int min_width = TwipsToPixels(kMinFrameWidthTwips);
  if (windowState() == Qt::WindowNoState && width() < min_width) resize(min_width, height());
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == area_->viewport() && event->type() == QEvent::ChildPolished) {
    // A sub-window is polished when it is first shown, complete by then (it is not when
    // it is added: it is made with the viewport as its parent).
    if (auto* sub = qobject_cast<QMdiSubWindow*>(static_cast<QChildEvent*>(event)->child())) {
      sub->installEventFilter(this);
    }
  } else if (event->type() == QEvent::Show) {
    // The area has placed the window when it was added; whatever it or the opener chose,
    // the window appears whole.
    auto* sub = qobject_cast<QMdiSubWindow*>(watched);
    if (sub != nullptr && sub->parent() == area_->viewport()) {
      KeepInsideArea(*sub, area_->viewport()->rect());
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

MainWindow* StartMainWindow(MainContext& context) {
  ProgramState& s = context.state;
  auto* frame = new MainWindow(context);
  frame->setAttribute(Qt::WA_DeleteOnClose);
  frame->show();
  ClearBuilding(s);
  NewBuilding(s);
  s.BuildingSaved = false;
  ClearSavedFlags(s);
  s.RoomsSaved = false;

  auto* building = new BuildingForm(context);
  frame->SetBuilding(building);
  building->Load();
  s.ConcentrationsCalculated = false;
  QMdiSubWindow* sub = frame->Area()->addSubWindow(building);
  sub->setObjectName("BuildingFormWindow");
  sub->setAttribute(Qt::WA_DeleteOnClose);
  // Inside the frame at 100, 100 twips, four fifths of the frame's size.
  const QSize inner = frame->Area()->size();
  sub->setGeometry(TwipsToPixels(100), TwipsToPixels(100),
                   std::max(inner.width() * 4 / 5, TwipsToPixels(kBuildingWindowMinWidthTwips)),
                   std::max(inner.height() * 4 / 5, TwipsToPixels(kGridWindowMinHeightTwips)));
  sub->show();
  building->SetupBuildingGrid(building->Grid());
  building->Grid().setVisible(true);
  QObject::connect(building, &BuildingForm::EndProgram, frame, &MainWindow::EndProgram);
  context.windows.grid_events_enabled = true;
  s.BuildingSaved = false;
  return frame;
}

MainWindow* StartFromSplash(MainContext& context, SplashExit how) {
  MainWindow* frame = StartMainWindow(context);
  ProgramState& s = context.state;
  NewBuilding(s);
  s.BuildingSaved = false;
  ScenarioRecord& sc = s.Building.Scenario;
  sc.HVACInUse = kFalse;
  switch (how) {
    case SplashExit::Key:
      for (int p = 0; p < PollutantCount(sc); ++p) {
        sc.FilterPenetration[0][static_cast<size_t>(p)] = 1.0f;
        sc.BuildingPenetration[static_cast<size_t>(p)] = 1.0f;
      }
      break;
    case SplashExit::Frame:
      sc.FilterPenetration[0][1] = 1.0f;
      sc.BuildingPenetration[1] = 1.0f;
      break;
    case SplashExit::Logo:
      break;
  }
  return frame;
}

}  // namespace quarn
