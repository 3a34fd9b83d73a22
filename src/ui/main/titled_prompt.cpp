#include "ui/main/titled_prompt.h"

namespace quarn {

std::string TitledPrompt::Title(const std::string& title) const {
  return title.empty() ? title_ : title;
}

void TitledPrompt::Message(const std::string& text, const std::string& title, MessageIcon icon) {
  inner_.Message(text, Title(title), icon);
}

Answer TitledPrompt::AskYesNo(const std::string& text, const std::string& title, MessageIcon icon) {
  return inner_.AskYesNo(text, Title(title), icon);
}

Answer TitledPrompt::AskYesNoDefault(const std::string& text, const std::string& title,
                                     MessageIcon icon, Answer default_answer) {
  return inner_.AskYesNoDefault(text, Title(title), icon, default_answer);
}

Answer TitledPrompt::AskYesNoCancel(const std::string& text, const std::string& title,
                                    MessageIcon icon) {
  return inner_.AskYesNoCancel(text, Title(title), icon);
}

Answer TitledPrompt::AskOkCancel(const std::string& text, const std::string& title,
                                 MessageIcon icon) {
  return inner_.AskOkCancel(text, Title(title), icon);
}

std::optional<std::string> TitledPrompt::InputLine(const std::string& text,
                                                   const std::string& title,
                                                   const std::string& default_text) {
  return inner_.InputLine(text, Title(title), default_text);
}

}  // namespace quarn
