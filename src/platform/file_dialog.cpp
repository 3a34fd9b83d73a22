#include "platform/file_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <algorithm>
#include <cctype>
#include <filesystem>

#include "platform/qt_text.h"

namespace quarn {
namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts(1);
  for (char ch : text) {
    if (ch == separator) {
      parts.emplace_back();
    } else {
      parts.back() += ch;
    }
  }
  return parts;
}

std::string Trim(const std::string& s) {
  size_t a = s.find_first_not_of(' ');
  if (a == std::string::npos) return {};
  size_t b = s.find_last_not_of(' ');
  return s.substr(a, b - a + 1);
}

char Lower(char c) {
  return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool Match(const char* n, const char* p) {
  for (; *p != '\0'; ++p, ++n) {
    if (*p == '*') {
      while (p[1] == '*') ++p;
      if (p[1] == '\0') return true;
      for (; *n != '\0'; ++n)
        if (Match(n, p + 1)) return true;
      return Match(n, p + 1);
    }
    if (*n == '\0') return false;
    if (*p != '?' && Lower(*p) != Lower(*n)) return false;
  }
  return *n == '\0';
}

bool EqualNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return Lower(x) == Lower(y); });
}

QFileDialog::Options DialogOptions() {
  // Qt's own dialog, so that the filters below match in any letter case on every system.
  return QFileDialog::DontUseNativeDialog;
}

}  // namespace

void ConfigureFileDialog(QFileDialog& dialog, const FileDialogRequest& request, bool save) {
  dialog.setWindowTitle(ToQt(request.title));
  if (!request.initial_folder.empty()) dialog.setDirectory(ToQt(request.initial_folder));
  dialog.setOptions(DialogOptions());
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
  const auto filters = ParseFileFilter(request.filter);
  if (!filters.empty()) {
    const QStringList names = ToQt(QtNameFilters(filters)).split(";;");
    dialog.setNameFilters(names);
    const int index = std::clamp(request.filter_index, 1, static_cast<int>(names.size())) - 1;
    dialog.selectNameFilter(names[index]);
  }
  if (!request.initial_name.empty()) dialog.selectFile(ToQt(request.initial_name));
}

namespace {

std::optional<SaveChoice> RunDialog(const FileDialogRequest& request, bool save) {
  QFileDialog dialog;
  ConfigureFileDialog(dialog, request, save);
  // The name is checked once its extension is on (FileDialogService::SaveFileName).
  if (save) dialog.setOption(QFileDialog::DontConfirmOverwrite);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  const int index = static_cast<int>(dialog.nameFilters().indexOf(dialog.selectedNameFilter()));
  return SaveChoice{FromQt(dialog.selectedFiles().front()), index < 0 ? 1 : index + 1};
}

}  // namespace

std::vector<FileFilter> ParseFileFilter(const std::string& filter) {
  std::vector<FileFilter> out;
  if (filter.empty()) return out;
  const auto parts = Split(filter, '|');
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    FileFilter f;
    f.description = parts[i];
    for (const auto& p : Split(parts[i + 1], ';')) {
      const std::string t = Trim(p);
      if (!t.empty()) f.patterns.push_back(t);
    }
    out.push_back(std::move(f));
  }
  return out;
}

std::string QtNameFilters(const std::vector<FileFilter>& filters) {
  std::string out;
  for (const auto& f : filters) {
    if (!out.empty()) out += ";;";
    // Qt reads the patterns from the last bracket of the text; a description that shows
    // its own patterns keeps them as the user reads them.
    std::string description = f.description;
    if (!description.empty() && description.back() == ')') {
      const size_t open = description.rfind('(');
      if (open != std::string::npos) description = Trim(description.substr(0, open));
    }
    out += description + " (";
    for (size_t i = 0; i < f.patterns.size(); ++i) {
      if (i > 0) out += ' ';
      out += f.patterns[i];
    }
    out += ')';
  }
  return out;
}

bool MatchesPattern(const std::string& name, const std::string& pattern) {
  // "*.*" means every file, with or without a dot, as on the system the patterns come from.
  if (pattern == "*.*" || pattern == "*") return true;
  return Match(name.c_str(), pattern.c_str());
}

std::string WithDefaultExtension(const std::string& path, const std::string& extension) {
  if (extension.empty()) return path;
  const size_t slash = path.find_last_of("/\\");
  const size_t start = slash == std::string::npos ? 0 : slash + 1;
  if (path.find('.', start) != std::string::npos) return path;
  if (start == path.size()) return path;  // a folder, not a file name
  return path + "." + extension;
}

std::optional<std::string> ChosenName(const std::string& name, const std::string& extension) {
  if (name.empty() || name.find('*') != std::string::npos) return std::nullopt;
  return WithDefaultExtension(name, extension);
}

std::string SaveExtension(const FileDialogRequest& request, int filter_index) {
  const std::vector<FileFilter> filters = ParseFileFilter(request.filter);
  if (filter_index >= 1 && filter_index <= static_cast<int>(filters.size())) {
    const FileFilter& chosen = filters[static_cast<size_t>(filter_index - 1)];
    if (!chosen.patterns.empty()) {
      const std::string& pattern = chosen.patterns.front();
      if (pattern.size() > 2 && pattern.compare(0, 2, "*.") == 0 &&
          pattern.find_first_of("*?", 2) == std::string::npos) {
        // The program's own spelling of its extension wins over the filter's letter case.
        const std::string extension = pattern.substr(2);
        if (EqualNoCase(extension, request.default_extension)) return request.default_extension;
        return extension;
      }
    }
  }
  return request.default_extension;
}

std::string ReplaceQuestion(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  return name + " already exists.\nDo you want to replace it?";
}

std::optional<std::string> FileDialogService::SaveFileName(const FileDialogRequest& request) {
  FileDialogRequest again = request;
  for (;;) {
    const std::optional<SaveChoice> choice = ChooseSaveName(again);
    if (!choice) return std::nullopt;
    std::optional<std::string> name =
        ChosenName(choice->name, SaveExtension(again, choice->filter_index));
    if (!name) return std::nullopt;
    std::error_code error;
    if (!std::filesystem::exists(*name, error) || ConfirmReplace(*name)) return name;
    again.initial_name = *name;
    again.filter_index = choice->filter_index;
  }
}

std::optional<std::string> QtFileDialogService::OpenFileName(const FileDialogRequest& request) {
  const std::optional<SaveChoice> choice = RunDialog(request, false);
  if (!choice) return std::nullopt;
  return ChosenName(choice->name, request.default_extension);
}

std::optional<SaveChoice> QtFileDialogService::ChooseSaveName(const FileDialogRequest& request) {
  return RunDialog(request, true);
}

bool QtFileDialogService::ConfirmReplace(const std::string& path) {
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Save As"), ToQt(ReplaceQuestion(path)),
                  QMessageBox::Yes | QMessageBox::No);
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

bool QtFileDialogService::PrinterSetup(QPrinter& printer) {
  if (printer.outputFormat() == QPrinter::PdfFormat) {
    QPageSetupDialog dialog(&printer);
    return dialog.exec() == QDialog::Accepted;
  }
  QPrintDialog dialog(&printer);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace quarn
