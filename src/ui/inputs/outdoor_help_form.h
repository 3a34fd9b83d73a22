#pragma once

#include <QWidget>

namespace quarn {

// The advice on outdoor histories, in a window of its own that no command opens.
class OutdoorHelpForm : public QWidget {
  Q_OBJECT

 public:
  explicit OutdoorHelpForm(QWidget* parent = nullptr);
};

}  // namespace quarn
