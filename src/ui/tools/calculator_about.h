#pragma once

#include <QDialog>

namespace quarn {

// The calculator's About box.
class CalculatorAbout : public QDialog {
  Q_OBJECT

 public:
  explicit CalculatorAbout(QWidget* parent = nullptr);
};

}  // namespace quarn
