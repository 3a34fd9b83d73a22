#pragma once

#include <optional>
#include <string>

namespace quarn {

// How model and file code talks to the user. Every text here is Windows-1252, like every
// text of the model; the window layer converts at its boundary. Write non-ASCII characters
// as escapes ("\xB5g/h"), never as UTF-8 literals.
enum class MessageIcon { None, Critical, Question, Exclamation, Information };
enum class Answer { Ok, Cancel, Yes, No };

class Prompt {
 public:
  virtual ~Prompt() = default;
  virtual void Message(const std::string& text, const std::string& title, MessageIcon icon) = 0;
  virtual Answer AskYesNo(const std::string& text, const std::string& title, MessageIcon icon) = 0;
  // A Yes/No question whose default button (the one Enter presses) is `default_answer`
  // (Yes or No): a question that would throw away unsaved work defaults to No. A prompt
  // without buttons answers it as AskYesNo.
  virtual Answer AskYesNoDefault(const std::string& text, const std::string& title,
                                 MessageIcon icon, Answer default_answer) {
    (void)default_answer;
    return AskYesNo(text, title, icon);
  }
  virtual Answer AskYesNoCancel(const std::string& text, const std::string& title,
                                MessageIcon icon) = 0;
  virtual Answer AskOkCancel(const std::string& text, const std::string& title,
                             MessageIcon icon) = 0;
  // An input line; nullopt when the user cancelled.
  virtual std::optional<std::string> InputLine(const std::string& text, const std::string& title,
                                               const std::string& default_text) = 0;
};

}  // namespace quarn
