#include "ui/main/temp_files.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>
#include <vector>

#include "model/settings.h"
#include "text/paths.h"

namespace quarn {

std::vector<std::string> RecordedWorkFiles(const BuildingRecord& building) {
  std::vector<std::string> files;
  auto add = [&files](const std::string& path) {
    if (!path.empty()) files.push_back(path);
  };
  add(building.ConcWorkFile);
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

bool EndsWithAnyCase(const std::string& name, const std::string& tail) {
  if (name.size() < tail.size()) return false;
  return std::equal(tail.begin(), tail.end(), name.end() - static_cast<std::ptrdiff_t>(tail.size()),
                    [](char a, char b) {
                      return std::tolower(static_cast<unsigned char>(a)) ==
                             std::tolower(static_cast<unsigned char>(b));
                    });
}

// Every work file of the folder, of this start of the program or of earlier ones, whatever
// the letter case of its name. A file that cannot be removed stays; nothing is reported.
void EraseEveryWorkFile(const std::string& folder) {
  for (const char* extension : {".tmp", ".emp", ".cmp", ".ave"}) {
    std::error_code error;
    std::filesystem::directory_iterator it(folder, error);
    if (error) return;
    std::vector<std::filesystem::path> matches;
    for (const auto& entry : it) {
      std::error_code ignored;
      if (entry.is_regular_file(ignored) &&
          EndsWithAnyCase(entry.path().filename().string(), extension)) {
        matches.push_back(entry.path());
      }
    }
    for (const auto& path : matches) {
      std::error_code ignored;
      std::filesystem::remove(path, ignored);
    }
  }
}

}  // namespace

bool IsDefaultTempFolder(const std::string& folder) {
  std::error_code error;
  const bool same = std::filesystem::equivalent(folder, DefaultTempFolder(), error);
  return !error && same;
}

bool EraseTempFiles(ProgramState& state, Prompt& prompt) {
  if (state.ScenarioSaved == kFalse || state.BuildingSaved == kFalse) return false;
  if (state.TempFilesFlag == kFalse) {
    const Answer answer =
        prompt.AskYesNo("Do you wish to erase the temporary files created by this program?",
                        "Temp files", MessageIcon::Question);
    const std::string folder = state.TempFolderName.empty()
                                   ? state.TempFolder
                                   : JoinTempFolder({state.TempDrive, state.TempFolderName});
    if (answer == Answer::Yes && IsDefaultTempFolder(folder)) {
      EraseEveryWorkFile(folder);
    } else if (answer == Answer::Yes) {
      for (const std::string& file : RecordedWorkFiles(state.Building)) EraseWorkFile(file);
    }
  }
  return true;
}

}  // namespace quarn
