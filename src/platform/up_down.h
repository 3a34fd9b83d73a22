#pragma once

#include <QWidget>

class QToolButton;

namespace quarn {

// A spinner of two arrow buttons ("up" above "down") that holds no value of its own: the
// number it steps lives in the box or label beside it, whose text means what the user
// typed, and the window reads and rewrites that text on each signal. One signal per click
// and per Up or Down key while the spinner has the focus.
class UpDown : public QWidget {
  Q_OBJECT

 public:
  explicit UpDown(QWidget* parent = nullptr);

 signals:
  void UpClick();
  void DownClick();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QToolButton* MakeButton(const char* name, Qt::ArrowType arrow);
};

}  // namespace quarn
