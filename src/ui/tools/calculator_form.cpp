#include "ui/tools/calculator_form.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/clipboard.h"
#include "platform/help_service.h"
#include "platform/qt_text.h"
#include "platform/window_registry.h"
#include "ui/common/menu_builder.h"
#include "ui/tools/calculator_about.h"
#include "ui/tools/menu_tables.h"

namespace quarn {

namespace {

constexpr int kKeyPixels = 44;
constexpr int kKeySpacing = 6;

}  // namespace

CalculatorForm::CalculatorForm(Prompt& prompt, HelpService& help, QWidget* parent)
    : QMainWindow(parent), engine_(prompt), help_(help) {
  setObjectName("calculform");
  setWindowTitle("Calculator");
  auto* central = new QWidget(this);
  setCentralWidget(central);
  BuildKeypad(central);
  BuildMenus();
  Done();
  // The keypad's own size: square keys, nothing stretched.
  layout()->setSizeConstraint(QLayout::SetFixedSize);
}

QString CalculatorForm::ReadoutText() const {
  return readout_->text();
}

QPushButton* CalculatorForm::Key(const QString& name, const QString& caption,
                                 const std::function<void(CalculatorEngine&)>& press) {
  auto* key = new QPushButton(caption, centralWidget());
  key->setObjectName(name);
  // The keys act on a click and hand the focus straight back to "Enter".
  key->setFocusPolicy(Qt::NoFocus);
  key->setFixedSize(kKeyPixels, kKeyPixels);
  connect(key, &QPushButton::clicked, this, [this, press] {
    press(engine_);
    Done();
  });
  return key;
}

void CalculatorForm::BuildKeypad(QWidget* central) {
  auto* layout = new QVBoxLayout(central);
  readout_ = new QLabel(central);
  readout_->setObjectName("Readout");
  readout_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  readout_->setFrameShape(QFrame::Panel);
  readout_->setFrameShadow(QFrame::Sunken);
  readout_->setMinimumHeight(kKeyPixels * 3 / 4);
  layout->addWidget(readout_);

  auto digit = [this](int d) {
    return Key(QString("number(%1)").arg(d), QString::number(d),
               [d](CalculatorEngine& e) { e.Digit(d); });
  };
  auto op = [this](int index) {
    const char caption = CalculatorEngine::kOperators.at(static_cast<size_t>(index));
    return Key(QString("Operator(%1)").arg(index), QString(QChar(caption)),
               [caption](CalculatorEngine& e) { e.Operator(caption); });
  };
  auto* keys = new QGridLayout;
  keys->setSpacing(kKeySpacing);
  const int rows[3][3] = {{7, 8, 9}, {4, 5, 6}, {1, 2, 3}};
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) keys->addWidget(digit(rows[r][c]), r, c);
  }
  // Operator indices: 0 "/", 1 "+", 2 "X", 3 "-", 4 "=".
  keys->addWidget(Key("cancel", "C", [](CalculatorEngine& e) { e.Clear(); }), 0, 3);
  keys->addWidget(Key("CancelEntry", "CE", [](CalculatorEngine& e) { e.ClearEntry(); }), 0, 4);
  keys->addWidget(op(1), 1, 3);
  keys->addWidget(op(3), 1, 4);
  keys->addWidget(op(2), 2, 3);
  keys->addWidget(op(0), 2, 4);
  QPushButton* zero = digit(0);
  zero->setFixedWidth(2 * kKeyPixels + kKeySpacing);
  keys->addWidget(zero, 3, 0, 1, 2);
  keys->addWidget(Key("Decimal", ".", [](CalculatorEngine& e) { e.Decimal(); }), 3, 2);
  keys->addWidget(op(4), 3, 3);
  keys->addWidget(Key("Percent", "%", [](CalculatorEngine& e) { e.Percent(); }), 3, 4);
  layout->addLayout(keys);

  dummy_ = Key("dummy", "Enter", [](CalculatorEngine& e) { e.Operator('='); });
  dummy_->setFocusPolicy(Qt::StrongFocus);
  dummy_->setMinimumWidth(0);
  dummy_->setMaximumWidth(QWIDGETSIZE_MAX);
  dummy_->installEventFilter(this);
  layout->addWidget(dummy_);
}

void CalculatorForm::BuildMenus() {
  const std::vector<QAction*> items = BuildMenuLines(*menuBar(), menus::kCalculatorForm);
  connect(items[1], &QAction::triggered, this, &CalculatorForm::EditCopy);
  connect(items[3], &QAction::triggered, this, &QWidget::close);
  connect(items[5], &QAction::triggered, this, &CalculatorForm::HelpAbout);
  connect(items[6], &QAction::triggered, this,
          [this] { help_.ShowHelp("Rovozuzav.hlp", "Calculator"); });
}

void CalculatorForm::Done() {
  readout_->setText(ToQt(engine_.Readout()));
  dummy_->setFocus(Qt::OtherFocusReason);
}

void CalculatorForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  dummy_->setFocus(Qt::OtherFocusReason);
}

bool CalculatorForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched != dummy_ || event->type() != QEvent::KeyPress) {
    return QMainWindow::eventFilter(watched, event);
  }
  const auto* key = static_cast<QKeyEvent*>(event);
  if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
  // Enter performs "=" here, once; the button never also clicks for it. Every other key
  // either maps onto the keypad or does nothing (Space does not click "Enter" either).
  if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->text() == "\r") {
    engine_.Operator('=');
  } else {
    const QString text = key->text();
    if (text.size() != 1 || text[0].unicode() >= 128 ||
        !engine_.Key(static_cast<char>(text[0].unicode()))) {
      return true;
    }
  }
  Done();
  return true;
}

void CalculatorForm::EditCopy() {
  ClearClipboard();
  SetClipboardText(engine_.Readout());
}

void CalculatorForm::HelpAbout() {
  CalculatorAbout* about =
      AppWindows().Load<CalculatorAbout>([this] { return new CalculatorAbout(this); });
  about->show();
  about->raise();
}

}  // namespace quarn
