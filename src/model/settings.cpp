#include "model/settings.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "text/cp1252.h"
#include "text/number_read.h"
#include "text/number_text.h"
#include "text/paths.h"
#include "text/text_reader.h"
#include "text/text_writer.h"
#include "text/work_folder.h"

namespace quarn {
namespace {

constexpr int kCommaCode = 44;
constexpr int kTabCode = 9;

std::string VersionText(const ProgramIdentity& id) {
  return FormatDouble(id.version_major) + "." + FormatDouble(id.version_minor) + "." +
         FormatDouble(id.version_revision);
}

}  // namespace

TempFolderParts SplitTempFolder(std::string_view temp_folder) {
  // The drive runs to the character after the first ":" ("C:\"), or is the first character
  // when there is no ":" (the root "/" of a host path).
  const std::size_t colon = temp_folder.find(':');
  const std::size_t drive_length =
      colon == std::string_view::npos ? 1 : std::min(colon + 2, temp_folder.size());
  const std::size_t cut = std::min(drive_length, temp_folder.size());
  return {std::string(temp_folder.substr(0, cut)), std::string(temp_folder.substr(cut))};
}

std::string JoinTempFolder(const TempFolderParts& parts) {
  return parts.drive + parts.folder;
}

char SeparatorFromCode(int code) {
  return code == kTabCode ? '\t' : ',';
}

int SeparatorCode(char separator) {
  return separator == '\t' ? kTabCode : kCommaCode;
}

std::string UserDataFolder(const char* xdg_data_home, const char* home) {
  if (xdg_data_home != nullptr && xdg_data_home[0] != '\0') return JoinPath(xdg_data_home, "Quarn");
  if (home != nullptr && home[0] != '\0') return JoinPath(home, ".local/share/Quarn");
  return {};
}

std::string UserConfigFolder(const char* xdg_config_home, const char* home) {
  if (xdg_config_home != nullptr && xdg_config_home[0] != '\0')
    return JoinPath(xdg_config_home, "Quarn");
  if (home != nullptr && home[0] != '\0') return JoinPath(home, ".config/Quarn");
  return {};
}

HostFolders DefaultHostFolders(const std::string& program_folder, bool program_folder_writable,
                               const std::string& user_data_folder,
                               const std::string& temp_folder) {
  HostFolders f;
  // Without a data folder of the user there is nowhere better than beside the program.
  const bool beside_program = program_folder_writable || user_data_folder.empty();
  f.data_folder = JoinPath(beside_program ? program_folder : user_data_folder, "building");
  f.scenario_folder = JoinPath(f.data_folder, "scenario");
  f.temp_folder = temp_folder;
  return f;
}

bool IsFolderWritable(const std::string& folder) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) return false;
  // Asked of the system, never tried: a file written to find out could be a link that another
  // account put there, and the write would land in the file it names.
  return faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

Settings DefaultSettings(const ProgramIdentity& identity, const HostFolders& folders) {
  Settings s;
  s.ProgramTitle = identity.description;
  s.ProgramVersion = VersionText(identity);
  s.TempFolder = folders.temp_folder;
  s.DataFolder = folders.data_folder;
  s.ScenarioFolder = folders.scenario_folder;
  s.DataSeparator = ',';
  return s;
}

std::string FormatSettingsFile(const Settings& s) {
  LineWriter w;
  for (const std::string* line :
       {&s.ProgramTitle, &s.ProgramVersion, &s.TempFolder, &s.DataFolder, &s.ScenarioFolder}) {
    w.Put(*line);
    w.NewLine();
  }
  // The code is a number item of the file: " 44 ".
  w.Put(FileSingle(static_cast<float>(SeparatorCode(s.DataSeparator))));
  w.NewLine();
  return w.Bytes();
}

Settings ParseSettingsFile(std::string_view bytes) {
  Settings s;
  ItemReader reader(bytes);
  for (std::string* line :
       {&s.ProgramTitle, &s.ProgramVersion, &s.TempFolder, &s.DataFolder, &s.ScenarioFolder}) {
    std::optional<std::string> text = reader.ReadLine();
    if (!text) return s;  // a short file leaves the rest empty and the separator a comma
    *line = *text;
  }
  const std::optional<double> code = reader.ReadNumber();
  const std::optional<int16_t> n = code ? RoundToInt16(*code) : std::nullopt;
  s.DataSeparator = SeparatorFromCode(n ? *n : kCommaCode);
  return s;
}

std::string HostFolderOrDefault(const std::string& stored, const std::string& fallback,
                                const std::string& item_name, Prompt& prompt) {
  if (stored.empty()) return fallback;
  std::string host = HostPath(stored);
  if (!host.empty()) return host;
  prompt.Message("The " + item_name + " " + stored + " in " + kSettingsFileName +
                     " is not a folder of this computer.  " + Utf8ToCp1252(fallback) +
                     " is used instead.",
                 "Settings", MessageIcon::Information);
  return fallback;
}

void UseHostFolders(Settings& settings, const HostFolders& fallback, Prompt& prompt) {
  settings.TempFolder =
      HostFolderOrDefault(settings.TempFolder, fallback.temp_folder, "temporary folder", prompt);
  settings.DataFolder =
      HostFolderOrDefault(settings.DataFolder, fallback.data_folder, "building folder", prompt);
  settings.ScenarioFolder = HostFolderOrDefault(settings.ScenarioFolder, fallback.scenario_folder,
                                                "scenario folder", prompt);
}

namespace {
bool WriteSettingsBytes(const std::string& path, std::string_view bytes) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path parent = fs::path(path).parent_path();
  if (!parent.empty()) fs::create_directories(parent, ec);
  return WriteFileAtomic(path, bytes, nullptr);
}
}  // namespace

bool WriteSettingsFile(const std::string& path, const Settings& settings) {
  return WriteSettingsBytes(path, FormatSettingsFile(settings));
}

void ApplySettings(const Settings& s, ProgramState& state) {
  state.ProgramTitle = s.ProgramTitle;
  state.ProgramVersion = s.ProgramVersion;
  state.TempFolder = s.TempFolder;
  const TempFolderParts parts = SplitTempFolder(s.TempFolder);
  state.TempDrive = parts.drive;
  state.TempFolderName = parts.folder;
  state.DataFolder = s.DataFolder;
  state.ScenarioFolder = s.ScenarioFolder;
  state.DataSeparator = s.DataSeparator;
}

Settings SettingsFrom(const ProgramState& state) {
  return Settings{.ProgramTitle = state.ProgramTitle,
                  .ProgramVersion = state.ProgramVersion,
                  .TempFolder = state.TempFolder,
                  .DataFolder = state.DataFolder,
                  .ScenarioFolder = state.ScenarioFolder,
                  .DataSeparator = state.DataSeparator};
}

namespace {

std::string SettingsFileIn(const std::string& folder) {
  if (folder.empty()) return {};
  return FindFileAnyCase(folder, kSettingsFileName).value_or(std::string());
}

// The first settings of a user who has none: those of the program folder's file, or the
// defaults. The temporary folder of that file, when it is some user's default (DudeDirav),
// is this user's own default: another user's private folder is of no use to this one.
Settings InitialSettings(const ProgramIdentity& identity, const HostFolders& defaults,
                         const std::string& program_folder, Prompt& prompt) {
  std::string bytes;
  const std::string shared = SettingsFileIn(program_folder);
  if (shared.empty() || !ReadFileBytes(shared, bytes)) return DefaultSettings(identity, defaults);
  Settings settings = ParseSettingsFile(bytes);
  UseHostFolders(settings, defaults, prompt);
  if (std::filesystem::path(settings.TempFolder).filename() == "DudeDirav")
    settings.TempFolder = defaults.temp_folder;
  return settings;
}

}  // namespace

std::string LoadStartUpSettings(ProgramState& state, const ProgramIdentity& identity,
                                const StartUpEnvironment& env, Prompt& prompt) {
  state.ProgramFolder = env.program_folder;
  const HostFolders defaults = DefaultHostFolders(env.program_folder, env.program_folder_writable,
                                                  env.user_data_folder, env.temp_folder);
  const std::string own = env.user_config_folder.empty()
                              ? std::string()
                              : JoinPath(env.user_config_folder, kSettingsFileName);
  // The user's file, or where earlier versions kept it when the program folder could not be
  // written; such a file moves to the configuration folder as it is.
  std::string path = SettingsFileIn(env.user_config_folder);
  const std::string earlier = path.empty() ? SettingsFileIn(env.user_data_folder) : std::string();
  const std::string found = path.empty() ? earlier : path;
  std::string bytes;
  ReadFailure failure = ReadFailure::Missing;
  Settings settings;
  if (!found.empty() && ReadFileBytes(found, bytes, &failure)) {
    settings = ParseSettingsFile(bytes);
    UseHostFolders(settings, defaults, prompt);
    if (path.empty()) path = !own.empty() && WriteSettingsBytes(own, bytes) ? own : earlier;
  } else if (!found.empty()) {
    // The user's settings are in that file still: nothing is written over it.
    prompt.Message("Error.  The settings file " + found +
                       " cannot be read.  The program starts with its default settings and "
                       "leaves the file as it is.",
                   "Settings", MessageIcon::Exclamation);
    settings = DefaultSettings(identity, defaults);
    path = found;
  } else {
    // A user without a settings file gets one; when it cannot be written the settings still
    // hold for this run.
    settings = InitialSettings(identity, defaults, env.program_folder, prompt);
    path = own;
    if (!path.empty()) WriteSettingsFile(path, settings);
  }
  ApplySettings(settings, state);
  // A save cut short by a crash or a kill leaves its new copy beside the file it was to
  // replace; those of copies that no longer run are of no use to anyone.
  const std::string settings_folder = std::filesystem::path(path).parent_path().string();
  for (const std::string& folder : {state.DataFolder, state.ScenarioFolder, settings_folder})
    RemoveSaveLeftovers(folder);

  state.TempFilesFlag = false;
  state.ConcentrationFloor = 1.0e-4f;
  return path;
}

StartUpEnvironment HostStartUpEnvironment(const std::string& program_folder) {
  StartUpEnvironment env;
  env.program_folder = program_folder;
  env.program_folder_writable = IsFolderWritable(program_folder);
  env.user_data_folder = UserDataFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
  env.user_config_folder = UserConfigFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
  env.temp_folder = DefaultTempFolder();
  return env;
}

}  // namespace quarn
