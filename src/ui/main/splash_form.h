#pragma once

#include <QPointer>
#include <QWidget>

#include "ui/common/main_context.h"
#include "ui/main/main_window.h"

class QFrame;
class QLabel;

namespace quarn {

// The start-up window: the program's name, version and maker. A key, or a click on its
// frame, product labels or logo, closes it and opens the main window.
class SplashForm : public QWidget {
  Q_OBJECT

 public:
  explicit SplashForm(MainContext& context, QWidget* parent = nullptr);

  // The frame that the splash opened, once it has.
  MainWindow* Started() const { return started_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Start(SplashExit how);

  MainContext& ctx_;
  QFrame* frame_;
  QLabel* logo_;
  QLabel* company_product_;
  QLabel* product_name_;
  QPointer<MainWindow> started_;
};

}  // namespace quarn
