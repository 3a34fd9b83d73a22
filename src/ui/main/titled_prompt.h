#pragma once

#include <string>

#include "model/prompt.h"

namespace quarn {

struct ProgramState;

// Messages that use the program's default title arrive with an empty title; this prompt
// puts the program's title there (from the settings, or the build's when the settings
// have none) and hands everything else on unchanged.
class TitledPrompt : public Prompt {
 public:
  TitledPrompt(Prompt& inner, const ProgramState& state, std::string fallback_title)
      : inner_(inner), state_(state), fallback_(std::move(fallback_title)) {}

  void Message(const std::string& text, const std::string& title, MessageIcon icon) override;
  Answer AskYesNo(const std::string& text, const std::string& title, MessageIcon icon) override;
  Answer AskYesNoCancel(const std::string& text, const std::string& title,
                        MessageIcon icon) override;
  Answer AskOkCancel(const std::string& text, const std::string& title, MessageIcon icon) override;
  std::optional<std::string> InputLine(const std::string& text, const std::string& title,
                                       const std::string& default_text) override;

  std::string Title(const std::string& title) const;

 private:
  Prompt& inner_;
  const ProgramState& state_;
  std::string fallback_;
};

}  // namespace quarn
