#pragma once

#include <QPointer>
#include <QWidget>

#include "model/prompt.h"

namespace quarn {

// The prompt of the running program: Qt message boxes and an input dialog, modal over the
// given window (or the active one). Texts arrive as Windows-1252 and are shown as Unicode;
// a typed line comes back as Windows-1252.
class QtPrompt : public Prompt {
 public:
  explicit QtPrompt(QWidget* parent = nullptr) : parent_(parent) {}

  void Message(const std::string& text, const std::string& title, MessageIcon icon) override;
  Answer AskYesNo(const std::string& text, const std::string& title, MessageIcon icon) override;
  Answer AskYesNoDefault(const std::string& text, const std::string& title, MessageIcon icon,
                         Answer default_answer) override;
  Answer AskYesNoCancel(const std::string& text, const std::string& title,
                        MessageIcon icon) override;
  Answer AskOkCancel(const std::string& text, const std::string& title, MessageIcon icon) override;
  std::optional<std::string> InputLine(const std::string& text, const std::string& title,
                                       const std::string& default_text) override;

 private:
  QWidget* Parent() const;
  QPointer<QWidget> parent_;
};

}  // namespace quarn
