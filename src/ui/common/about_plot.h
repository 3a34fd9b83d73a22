#pragma once

#include <QDialog>

namespace quarn {

// What the plot windows' graphs can do.
class AboutPlot : public QDialog {
  Q_OBJECT

 public:
  explicit AboutPlot(QWidget* parent = nullptr);
};

}  // namespace quarn
