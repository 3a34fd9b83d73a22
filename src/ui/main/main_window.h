#pragma once

#include <QMainWindow>
#include <QPointer>

#include "ui/common/main_context.h"
#include "ui/main/building_form.h"

class QMdiArea;
class QMdiSubWindow;

namespace quarn {

// The frame of the program: an MDI area whose one permanent child is the building window,
// which carries every menu.
class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainWindow(MainContext& context, QWidget* parent = nullptr);

  QMdiArea* Area() const { return area_; }
  BuildingForm* Building() const { return building_; }
  void SetBuilding(BuildingForm* building) { building_ = building; }

  // Ends the program once the user has agreed (the question was asked already).
  void EndProgram();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  // Watches the area for new children and each child for its first showing, so that every
  // window opens inside the area whoever opened it and wherever it asked to be.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  MainContext& ctx_;
  QMdiArea* area_;
  QPointer<BuildingForm> building_;
  bool end_confirmed_ = false;
};

// Brings a child window inside the visible rectangle `area` (in the coordinates of its
// geometry): a window larger than the area is shrunk to it, its contents' minimum size
// lowered where that stands in the way, and then moved the least distance that puts every
// edge inside. A minimised or maximised window is left alone.
void KeepInsideArea(QMdiSubWindow& sub, const QRect& area);

// "ZAR Model for Windows Quarn Version M.m.r".
std::string FrameCaption(const ProgramIdentity& identity);

// Opens the frame and the building window on an empty model. The frame is deleted when it
// closes.
MainWindow* StartMainWindow(MainContext& context);

// How the user dismissed the splash window: a key, a click on its frame or product labels,
// or a click on the logo. They reset the penetrations differently.
enum class SplashExit { Key, Frame, Logo };

// The start of the program after the splash: the main window, an empty building, and the
// penetrations that the way out of the splash sets.
MainWindow* StartFromSplash(MainContext& context, SplashExit how);

}  // namespace quarn
