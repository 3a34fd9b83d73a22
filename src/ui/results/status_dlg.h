#pragma once

#include <QDialog>

#include "model/run_observer.h"

class QProgressBar;

namespace quarn {

// The progress window of the exposure calculation: a bar with the percentage done. The
// calculation does not yield, so the bar is repainted at once on every report.
class StatusDlg : public QDialog, public RunObserver {
  Q_OBJECT

 public:
  explicit StatusDlg(QWidget* parent = nullptr);
  void Progress(int percent) override;
  int Percent() const;

 private:
  QProgressBar* bar_;
};

}  // namespace quarn
