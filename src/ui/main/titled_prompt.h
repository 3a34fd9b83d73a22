#pragma once

#include <string>

#include "model/prompt.h"

namespace quarn {

struct ProgramState;

// Messages that use the program's default title arrive with an empty title; this prompt
// puts the program's title there and hands everything else on unchanged. The title is the
// build's short name: the first line of the settings file is the program's description (the
// splash window's release line), which is not a title and may be anything a user wrote.
class TitledPrompt : public Prompt {
 public:
  TitledPrompt(Prompt& inner, const ProgramState& /*state*/, std::string title)
      : inner_(inner), title_(std::move(title)) {}

  void Message(const std::string& text, const std::string& title, MessageIcon icon) override;
  Answer AskYesNo(const std::string& text, const std::string& title, MessageIcon icon) override;
  Answer AskYesNoDefault(const std::string& text, const std::string& title, MessageIcon icon,
                         Answer default_answer) override;
  Answer AskYesNoCancel(const std::string& text, const std::string& title,
                        MessageIcon icon) override;
  Answer AskOkCancel(const std::string& text, const std::string& title, MessageIcon icon) override;
  std::optional<std::string> InputLine(const std::string& text, const std::string& title,
                                       const std::string& default_text) override;

  std::string Title(const std::string& title) const;

 private:
  Prompt& inner_;
  std::string title_;
};

}  // namespace quarn
