#include "platform/up_down.h"

#include <QKeyEvent>
#include <QToolButton>
#include <QVBoxLayout>

namespace quarn {

UpDown::UpDown(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  QToolButton* up = MakeButton("up", Qt::UpArrow);
  QToolButton* down = MakeButton("down", Qt::DownArrow);
  layout->addWidget(up);
  layout->addWidget(down);
  connect(up, &QToolButton::clicked, this, &UpDown::UpClick);
  connect(down, &QToolButton::clicked, this, &UpDown::DownClick);
}

QToolButton* UpDown::MakeButton(const char* name, Qt::ArrowType arrow) {
  auto* button = new QToolButton(this);
  button->setObjectName(name);
  button->setArrowType(arrow);
  // A click gives the spinner the focus, so that the arrow keys go on from there.
  button->setFocusPolicy(Qt::NoFocus);
  connect(button, &QToolButton::pressed, this, [this] { setFocus(Qt::MouseFocusReason); });
  button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
  return button;
}

void UpDown::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Up:
      emit UpClick();
      return;
    case Qt::Key_Down:
      emit DownClick();
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}

}  // namespace quarn
