#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/prompt.h"

namespace quarn::testing {

// A prompt that answers from a script and records everything it was shown.
class ScriptedPrompt : public Prompt {
 public:
  struct Shown {
    std::string kind;  // "message", "yesno", "yesnocancel", "okcancel", "input"
    std::string text;
    std::string title;
    MessageIcon icon = MessageIcon::None;
    Answer default_answer = Answer::Yes;  // the button Enter would press (questions only)
  };

  std::deque<Answer> answers;                     // for the questions, in order
  std::deque<std::optional<std::string>> inputs;  // for InputLine
  std::vector<Shown> shown;
  // Looks at the windows while a message is up, as the user sees them behind it.
  std::function<void()> while_message;

  void Message(const std::string& text, const std::string& title, MessageIcon icon) override {
    shown.push_back({"message", text, title, icon});
    if (while_message) while_message();
  }
  Answer AskYesNo(const std::string& text, const std::string& title, MessageIcon icon) override {
    return Next("yesno", text, title, icon, Answer::Yes);
  }
  Answer AskYesNoDefault(const std::string& text, const std::string& title, MessageIcon icon,
                         Answer default_answer) override {
    const Answer a = Next("yesno", text, title, icon, Answer::Yes);
    shown.back().default_answer = default_answer;
    return a;
  }
  Answer AskYesNoCancel(const std::string& text, const std::string& title,
                        MessageIcon icon) override {
    return Next("yesnocancel", text, title, icon, Answer::Yes);
  }
  Answer AskOkCancel(const std::string& text, const std::string& title, MessageIcon icon) override {
    return Next("okcancel", text, title, icon, Answer::Ok);
  }
  std::optional<std::string> InputLine(const std::string& text, const std::string& title,
                                       const std::string& default_text) override {
    shown.push_back({"input", text, title, MessageIcon::None});
    if (inputs.empty()) return default_text;
    auto v = inputs.front();
    inputs.pop_front();
    return v;
  }

  size_t Count(const std::string& kind) const {
    size_t n = 0;
    for (const auto& s : shown) n += s.kind == kind;
    return n;
  }

 private:
  Answer Next(const char* kind, const std::string& text, const std::string& title, MessageIcon icon,
              Answer fallback) {
    shown.push_back({kind, text, title, icon});
    if (answers.empty()) return fallback;
    Answer a = answers.front();
    answers.pop_front();
    return a;
  }
};

}  // namespace quarn::testing
