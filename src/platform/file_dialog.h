#pragma once

#include <optional>
#include <string>
#include <vector>

class QFileDialog;
class QPrinter;

namespace quarn {

// What a window asks of an open or save dialog. Texts are Windows-1252.
struct FileDialogRequest {
  std::string title;
  // The filter as the windows write it: description and pattern pairs joined by "|",
  // "Building files (*.bld)|*.bld|All files (*.*)|*.*"; several patterns of one pair are
  // joined by ";".
  std::string filter;
  int filter_index = 1;           // which pair is chosen first, from 1
  std::string default_extension;  // without the dot; empty for none
  std::string initial_folder;
  std::string initial_name;
};

// A name typed into a save dialog and the filter pair chosen there (from 1).
struct SaveChoice {
  std::string name;
  int filter_index = 1;
};

// Open and save dialogs. A dialog the user cancelled gives nullopt, and the command that
// asked ends there; a name still holding "*" counts as cancelled.
class FileDialogService {
 public:
  virtual ~FileDialogService() = default;
  virtual std::optional<std::string> OpenFileName(const FileDialogRequest& request) = 0;
  // The name a save writes to: the chosen filter's extension is added to a name without
  // one, and a file that already exists under that final name is replaced only when the
  // user says so; otherwise the dialog comes back for another name.
  std::optional<std::string> SaveFileName(const FileDialogRequest& request);
  // The printer set-up: printer, paper, orientation. False when cancelled, and the
  // printer is then as it was.
  virtual bool PrinterSetup(QPrinter& printer) = 0;

 protected:
  // The save dialog itself; nullopt when cancelled.
  virtual std::optional<SaveChoice> ChooseSaveName(const FileDialogRequest& request) = 0;
  // Whether the existing file may be replaced.
  virtual bool ConfirmReplace(const std::string& path) = 0;
};

// The dialogs of the running program, over QFileDialog. Filters match whatever the letter
// case of the file names, since files come from systems that do not keep it.
class QtFileDialogService : public FileDialogService {
 public:
  std::optional<std::string> OpenFileName(const FileDialogRequest& request) override;
  // The print dialog for a printer; the page set-up for a PDF file.
  bool PrinterSetup(QPrinter& printer) override;

 protected:
  std::optional<SaveChoice> ChooseSaveName(const FileDialogRequest& request) override;
  bool ConfirmReplace(const std::string& path) override;
};

// The question asked before a save replaces a file.
std::string ReplaceQuestion(const std::string& path);
// The extension a save adds to a name without one: that of the chosen filter pair's first
// pattern ("*.SOR" gives "SOR"), else the request's default; none for "*.*".
std::string SaveExtension(const FileDialogRequest& request, int filter_index);

// Sets a dialog up for a request: title, folder, filters (any letter case), mode.
void ConfigureFileDialog(QFileDialog& dialog, const FileDialogRequest& request, bool save);

// One filter pair: what the user reads and the patterns it stands for.
struct FileFilter {
  std::string description;
  std::vector<std::string> patterns;
};
std::vector<FileFilter> ParseFileFilter(const std::string& filter);
// The filter in Qt's form, "Description (*.bld *.BLD)" pairs joined by ";;".
std::string QtNameFilters(const std::vector<FileFilter>& filters);
// Whether a file name matches a pattern with "*" and "?", ignoring letter case.
bool MatchesPattern(const std::string& name, const std::string& pattern);
// Appends "." and the extension when the name part of the path (after the last folder
// separator) holds no "."; a dot in a folder name does not count.
std::string WithDefaultExtension(const std::string& path, const std::string& extension);
// The chosen name as the windows get it: nullopt for a cancelled dialog or a name with "*".
std::optional<std::string> ChosenName(const std::string& name, const std::string& extension);

}  // namespace quarn
