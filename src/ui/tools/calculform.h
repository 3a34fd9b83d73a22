#pragma once

#include <QDialog>
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
class calculform : public QMainWindow {  // NOLINT(readability-identifier-naming)
  Q_OBJECT

 public:
  calculform(Prompt& prompt, HelpService& help, QWidget* parent = nullptr);

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

// The calculator's About box.
class Calcabout : public QDialog {  // NOLINT(readability-identifier-naming)
  Q_OBJECT

 public:
  explicit Calcabout(QWidget* parent = nullptr);
};

}  // namespace quarn
