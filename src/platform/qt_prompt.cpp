#include "platform/qt_prompt.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

#include "platform/qt_text.h"

namespace quarn {
namespace {

QMessageBox::Icon QtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Critical:
      return QMessageBox::Critical;
    case MessageIcon::Question:
      return QMessageBox::Question;
    case MessageIcon::Exclamation:
      return QMessageBox::Warning;
    case MessageIcon::Information:
      return QMessageBox::Information;
    case MessageIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

// One modal box; Esc gives `on_escape`, which is the answer that changes nothing, and Enter
// gives `on_enter` (NoButton: Yes, else OK).
QMessageBox::StandardButton Ask(QWidget* parent, const std::string& text, const std::string& title,
                                MessageIcon icon, QMessageBox::StandardButtons buttons,
                                QMessageBox::StandardButton on_escape,
                                QMessageBox::StandardButton on_enter = QMessageBox::NoButton) {
  QMessageBox box(QtIcon(icon), ToQt(title), ToQt(text), buttons, parent);
  box.setEscapeButton(on_escape);
  if (on_enter == QMessageBox::NoButton) {
    on_enter = buttons.testFlag(QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok;
  }
  box.setDefaultButton(on_enter);
  const int result = box.exec();
  return static_cast<QMessageBox::StandardButton>(result);
}

}  // namespace

QWidget* QtPrompt::Parent() const {
  return parent_ != nullptr ? parent_.data() : QApplication::activeWindow();
}

void QtPrompt::Message(const std::string& text, const std::string& title, MessageIcon icon) {
  Ask(Parent(), text, title, icon, QMessageBox::Ok, QMessageBox::Ok);
}

Answer QtPrompt::AskYesNo(const std::string& text, const std::string& title, MessageIcon icon) {
  const auto b =
      Ask(Parent(), text, title, icon, QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
  return b == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

Answer QtPrompt::AskYesNoDefault(const std::string& text, const std::string& title,
                                 MessageIcon icon, Answer default_answer) {
  const auto b =
      Ask(Parent(), text, title, icon, QMessageBox::Yes | QMessageBox::No, QMessageBox::No,
          default_answer == Answer::No ? QMessageBox::No : QMessageBox::Yes);
  return b == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

Answer QtPrompt::AskYesNoCancel(const std::string& text, const std::string& title,
                                MessageIcon icon) {
  const auto b = Ask(Parent(), text, title, icon,
                     QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Cancel);
  if (b == QMessageBox::Yes) return Answer::Yes;
  if (b == QMessageBox::No) return Answer::No;
  return Answer::Cancel;
}

Answer QtPrompt::AskOkCancel(const std::string& text, const std::string& title, MessageIcon icon) {
  const auto b =
      Ask(Parent(), text, title, icon, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel);
  return b == QMessageBox::Ok ? Answer::Ok : Answer::Cancel;
}

std::optional<std::string> QtPrompt::InputLine(const std::string& text, const std::string& title,
                                               const std::string& default_text) {
  QInputDialog dialog(Parent());
  dialog.setInputMode(QInputDialog::TextInput);
  dialog.setWindowTitle(ToQt(title));
  dialog.setLabelText(ToQt(text));
  dialog.setTextValue(ToQt(default_text));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return FromQt(dialog.textValue());
}

}  // namespace quarn
