#pragma once

#include <QMainWindow>
#include <functional>

#include "model/calculator_engine.h"

class QLabel;
class QPushButton;

namespace quarn {

class HelpService;

// The desk calculator: a readout, the keypad and the wide "Enter" button `dummy`, which
// keeps the keyboard focus and maps typed keys onto the keypad. Its Edit > Copy puts the
// readout on the clipboard, the only way a result leaves it.
class CalculatorForm : public QMainWindow {
  Q_OBJECT

 public:
  CalculatorForm(Prompt& prompt, HelpService& help, QWidget* parent = nullptr);

  QString ReadoutText() const;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildKeypad(QWidget* central);
  void BuildMenus();
  QPushButton* Key(const QString& name, const QString& caption,
                   const std::function<void(CalculatorEngine&)>& press);
  // Every key ends here: the readout redrawn and the focus back on "Enter".
  void Done();
  void EditCopy();
  void HelpAbout();

  CalculatorEngine engine_;
  HelpService& help_;
  QLabel* readout_ = nullptr;
  QPushButton* dummy_ = nullptr;
};

}  // namespace quarn
