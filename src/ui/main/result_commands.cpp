#include "ui/main/result_commands.h"

#include <filesystem>

#include "files/folders.h"
#include "files/result_files.h"
#include "platform/file_dialog.h"
#include "platform/hourglass.h"
#include "text/paths.h"
#include "ui/common/form_helpers.h"

namespace quarn {
namespace {

struct ResultDialog {
  const char* pattern;
  const char* filter;
  const char* extension;
};

ResultDialog DialogOf(ResultFileKind kind) {
  switch (kind) {
    case ResultFileKind::Concentration:
      return {"*.CON", "Concentration (*.CON)|*.CON|All files (*.*)|*.*", "CON"};
    case ResultFileKind::Exposure:
      return {"*.EXP", "Exposure (*.EXP)|*.EXP|All files (*.*)|*.*", "EXP"};
    case ResultFileKind::AverageExposure:
      return {"*.AEX", "Average exposure (*.AEX)|*.AEX|All files (*.*)|*.*", "AEX"};
    case ResultFileKind::All:
      break;
  }
  return {"*.RES", "All Results (*.RES)|*.RES|All files (*.*)|*.*", "RES"};
}

}  // namespace

void SaveResultFile(MainContext& context, ResultFileKind kind) {
  ProgramState& s = context.state;
  const ResultDialog d = DialogOf(kind);
  FileDialogRequest request = FileRequest(d.filter, d.extension, d.pattern, "Save Results");
  if (kind == ResultFileKind::All) {
    const std::string folder = JoinPath(s.DataFolder, "Results");
    if (!FolderExists(folder) &&
        context.prompt.AskYesNo("Do you wish to create a new folder for your Results?", "",
                                MessageIcon::None) == Answer::Yes) {
      std::error_code error;
      std::filesystem::create_directories(folder, error);
      if (!FolderExists(folder)) {
        context.prompt.Message("The folder " + folder + " could not be created.", "",
                               MessageIcon::Exclamation);
      }
    }
    request.initial_folder = folder;
  } else {
    s.CurrentFileName.clear();
  }
  const auto name = context.dialogs.SaveFileName(request);
  if (!name) return;
  Hourglass hourglass;
  const BuildingRecord& b = s.Building;
  switch (kind) {
    case ResultFileKind::Concentration:
      s.CurrentFileName = *name;
      WriteConcentrationFile(b, s.DataSeparator, *name, context.prompt);
      break;
    case ResultFileKind::Exposure:
      s.CurrentFileName = *name;
      WriteExposureFile(b, s.DataSeparator, *name, context.prompt);
      break;
    case ResultFileKind::AverageExposure:
      s.CurrentFileName = *name;
      WriteAverageExposureFile(b, s.DataSeparator, *name, context.prompt);
      break;
    case ResultFileKind::All:
      SaveAllResults(b, s.DataSeparator, *name, context.prompt);
      break;
  }
}

}  // namespace quarn
