#include "ui/results/status_dlg.h"

#include <QProgressBar>
#include <QVBoxLayout>
#include <algorithm>

namespace quarn {

StatusDlg::StatusDlg(QWidget* parent) : QDialog(parent) {
  setObjectName("StatusDlg");
  setWindowTitle("Status of exposure calculation");
  auto* layout = new QVBoxLayout(this);
  bar_ = new QProgressBar(this);
  bar_->setObjectName("Picture1");
  bar_->setRange(0, 100);
  bar_->setValue(0);
  layout->addWidget(bar_);
  resize(320, 60);
  show();
}

void StatusDlg::Progress(int percent) {
  bar_->setValue(std::clamp(percent, 0, 100));
  bar_->repaint();
}

int StatusDlg::Percent() const {
  return bar_->value();
}

}  // namespace quarn
