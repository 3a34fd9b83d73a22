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
// A printer set-up answers with an orientation from its own script, nullopt or an empty
// script cancelling.
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
  std::optional<std::string> SaveFileName(const FileDialogRequest& request) override {
    return Next("save", request);
  }
  bool PrinterSetup(QPrinter& printer) override {
    asked.push_back({"printer", {}});
    if (printer_answers.empty()) return false;
    const auto a = printer_answers.front();
    printer_answers.pop_front();
    if (a) printer.setPageOrientation(*a);
    return a.has_value();
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
