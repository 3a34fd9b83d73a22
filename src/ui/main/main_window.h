#pragma once

#include <QMainWindow>
#include <QPointer>

#include "ui/main/building_form.h"
#include "ui/main/main_context.h"

class QMdiArea;

namespace quarn {

// The frame of the program: an MDI area whose one permanent child is the building window,
// which carries every menu.
class RevudUzad : public QMainWindow {
  Q_OBJECT

 public:
  explicit RevudUzad(MainContext& context, QWidget* parent = nullptr);

  QMdiArea* Area() const { return area_; }
  BuildingForm* Building() const { return building_; }
  void SetBuilding(BuildingForm* building) { building_ = building; }

  // Ends the program once the user has agreed (the question was asked already).
  void EndProgram();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  MainContext& ctx_;
  QMdiArea* area_;
  QPointer<BuildingForm> building_;
  bool end_confirmed_ = false;
};

// "ZAR Model for Windows Quarn Version M.m.r".
std::string FrameCaption(const ProgramIdentity& identity);

// Opens the frame and the building window on an empty model. The frame is deleted when it
// closes.
RevudUzad* StartMainWindow(MainContext& context);

// How the user dismissed the splash window: a key, a click on its frame or product labels,
// or a click on the logo. They reset the penetrations differently.
enum class SplashExit { Key, Frame, Logo };

// The start of the program after the splash: the main window, an empty building, and the
// penetrations that the way out of the splash sets.
RevudUzad* StartFromSplash(MainContext& context, SplashExit how);

}  // namespace quarn
