#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_dialog.h"

namespace quarn::testing {

// A file dialog that answers from a script and records every request. An answer of
// nullopt is a cancelled dialog; an empty script cancels too. Answers pass through the
// same rules as the real dialog (a name with "*" is cancelled, the default extension).
class ScriptedFileDialog : public FileDialogService {
 public:
  struct Asked {
    std::string kind;  // "open" or "save"
    FileDialogRequest request;
  };

  std::deque<std::optional<std::string>> answers;
  std::vector<Asked> asked;

  std::optional<std::string> OpenFileName(const FileDialogRequest& request) override {
    return Next("open", request);
  }
  std::optional<std::string> SaveFileName(const FileDialogRequest& request) override {
    return Next("save", request);
  }

 private:
  std::optional<std::string> Next(const char* kind, const FileDialogRequest& request) {
    asked.push_back({kind, request});
    if (answers.empty()) return std::nullopt;
    auto a = answers.front();
    answers.pop_front();
    if (!a) return std::nullopt;
    return ChosenName(*a, request.default_extension);
  }
};

}  // namespace quarn::testing
