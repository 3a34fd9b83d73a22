#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include <QPageLayout>
#include <QPrinter>

#include "platform/file_dialog.h"

namespace quarn::testing {

// A file dialog that answers from a script and records every request. An answer of
// nullopt is a cancelled dialog; an empty script cancels too. Answers pass through the
// same rules as the real dialog (a name with "*" is cancelled, the default extension).
// A save adds the chosen filter's extension and asks before replacing a file, as the
// program's own service does. A printer set-up answers with an orientation from its own script,
// nullopt or an empty script cancelling.
class ScriptedFileDialog : public FileDialogService {
 public:
  struct Asked {
    std::string kind;  // "open", "save" or "printer"
    FileDialogRequest request;
  };

  std::deque<std::optional<std::string>> answers;
  std::deque<std::optional<QPageLayout::Orientation>> printer_answers;
  std::vector<Asked> asked;

  std::optional<std::string> OpenFileName(const FileDialogRequest& request) override {
    return Next("open", request);
  }
  bool PrinterSetup(QPrinter& printer) override {
    asked.push_back({"printer", {}});
    if (printer_answers.empty()) return false;
    const auto a = printer_answers.front();
    printer_answers.pop_front();
    if (a) printer.setPageOrientation(*a);
    return a.has_value();
  }

  // Answers to "replace the existing file?", true for Yes; an empty script says Yes.
  std::deque<bool> replace_answers;
  std::vector<std::string> replace_asked;

 protected:
  std::optional<SaveChoice> ChooseSaveName(const FileDialogRequest& request) override {
    asked.push_back({"save", request});
    if (answers.empty()) return std::nullopt;
    auto a = answers.front();
    answers.pop_front();
    if (!a) return std::nullopt;
    return SaveChoice{*a, request.filter_index};
  }
  bool ConfirmReplace(const std::string& path) override {
    replace_asked.push_back(path);
    if (replace_answers.empty()) return true;
    const bool yes = replace_answers.front();
    replace_answers.pop_front();
    return yes;
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
