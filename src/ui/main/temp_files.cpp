#include "ui/main/temp_files.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "model/settings.h"
#include "model/work_file.h"
#include "text/paths.h"
#include "text/work_folder.h"

namespace quarn {

std::vector<std::string> RecordedWorkFiles(const BuildingRecord& building) {
  std::vector<std::string> files;
  auto add = [&files](const std::string& path) {
    if (!path.empty()) files.push_back(path);
  };
  add(building.ConcWorkFile);
  if (!building.ConcWorkFile.empty()) add(IntegralsFileOf(building.ConcWorkFile));
  for (const OccupantRecord& occupant : building.Scenario.Occupants) {
    add(occupant.InstExposureFile);
    add(occupant.CumExposureFile);
    add(occupant.AvgExposureFile);
  }
  return files;
}

namespace {

// Removes the file named by `path`, or the one in its folder whose name differs from it
// only in letter case. Failures are of no consequence at exit and are ignored.
void EraseWorkFile(const std::string& path) {
  const std::filesystem::path p(path);
  const std::string folder = p.has_parent_path() ? p.parent_path().string() : std::string(".");
  const auto found = FindFileAnyCase(folder, p.filename().string());
  if (!found) return;
  std::error_code ignored;
  std::filesystem::remove(*found, ignored);
}

}  // namespace

bool IsDefaultTempFolder(const std::string& folder) {
  std::error_code error;
  const bool same = std::filesystem::equivalent(folder, DefaultTempFolder(), error);
  return !error && same;
}

bool EraseTempFiles(ProgramState& state, Prompt& prompt) {
  if (!state.ScenarioSaved || !state.BuildingSaved) return false;
  if (!state.TempFilesFlag) {
    const Answer answer =
        prompt.AskYesNo("Do you wish to erase the temporary files created by this program?",
                        "Temp files", MessageIcon::Question);
    const std::string folder = state.TempFolderName.empty()
                                   ? state.TempFolder
                                   : JoinTempFolder({state.TempDrive, state.TempFolderName});
    if (answer == Answer::Yes && IsDefaultTempFolder(folder)) {
      EraseIdleWorkFiles();
    } else if (answer == Answer::Yes) {
      for (const std::string& file : RecordedWorkFiles(state.Building)) EraseWorkFile(file);
    }
    // This copy's own folders go wherever they are; other copies' stay theirs.
    if (answer == Answer::Yes) EraseOwnWorkFolders();
  }
  return true;
}

}  // namespace quarn
