#pragma once

#include <string>
#include <string_view>

#include "model/program_state.h"
#include "model/prompt.h"

namespace quarn {

// The settings file: six lines in the user's configuration folder, read once at start-up and
// rewritten by the file-locations dialog. A file of the same name in the program folder gives
// the first settings of a user who has none; the program never writes it.
inline constexpr const char* kSettingsFileName = "Quarn.ini";

// The file's lines keep the names of the program state's fields they set.
// NOLINTBEGIN(readability-identifier-naming)
struct Settings {
  std::string ProgramTitle;    // line 1: the program's description text
  std::string ProgramVersion;  // line 2: major.minor.revision
  std::string TempFolder;      // line 3
  std::string DataFolder;      // line 4: building files
  std::string ScenarioFolder;  // line 5: scenario files
  char DataSeparator = ',';    // line 6, as its character code: 44 or 9
};
// NOLINTEND(readability-identifier-naming)

// What the build knows about the program (from the generated version header).
struct ProgramIdentity {
  std::string description;
  int version_major = 0;
  int version_minor = 0;
  int version_revision = 0;
};

// The temporary folder in two parts. Work files are named drive + folder + separator + name,
// so the two parts always join back to the whole.
struct TempFolderParts {
  std::string drive;
  std::string folder;
};
// Split after the character that follows the first ":" ("D:\Work\Tmp" -> "D:\" and
// "Work\Tmp"); without ":" after the first character ("/tmp/DudeDirav" -> "/" and
// "tmp/DudeDirav").
TempFolderParts SplitTempFolder(std::string_view temp_folder);
std::string JoinTempFolder(const TempFolderParts& parts);

// The separator for the code of line 6. Only a comma (44) or a tab (9) keeps every result
// file readable; any other code gives a comma.
char SeparatorFromCode(int code);
int SeparatorCode(char separator);

// Where the program keeps its files on this host.
struct HostFolders {
  std::string data_folder;      // building files
  std::string scenario_folder;  // scenario files
  std::string temp_folder;
};
// The user's data folder for the program: $XDG_DATA_HOME/Quarn, else $HOME/.local/share/Quarn.
// Empty when neither is known. The environment values are parameters, for tests.
std::string UserDataFolder(const char* xdg_data_home, const char* home);
// The user's configuration folder for the program, where the settings file lives:
// $XDG_CONFIG_HOME/Quarn, else $HOME/.config/Quarn; empty when neither is known.
std::string UserConfigFolder(const char* xdg_config_home, const char* home);
// "building" and "building/scenario" beside the program when its folder can be written (or
// the user has no data folder), otherwise in the user's data folder; the temporary folder as
// given (the user's own DudeDirav).
HostFolders DefaultHostFolders(const std::string& program_folder, bool program_folder_writable,
                               const std::string& user_data_folder, const std::string& temp_folder);
// True when this user may create files in the folder, as the system says; nothing is written.
bool IsFolderWritable(const std::string& folder);

// The settings of a new file.
Settings DefaultSettings(const ProgramIdentity& identity, const HostFolders& folders);

// The six CRLF lines of the file.
std::string FormatSettingsFile(const Settings& settings);
// Reads the six items. Lines 1 to 5 are taken whole; a file with fewer items leaves the
// missing ones empty and a missing or unusable separator code gives a comma.
Settings ParseSettingsFile(std::string_view bytes);

// A stored folder as a folder of this host: backslashes turned round, and a folder that
// names a place on some Windows machine (a drive letter, a UNC share) or an empty item
// replaced by the default. The message names the item and both folders.
std::string HostFolderOrDefault(const std::string& stored, const std::string& fallback,
                                const std::string& item_name, Prompt& prompt);
// The three stored folders of the settings as folders of this host, each falling back to its
// own in `fallback` (temporary, building, then scenario folder, so the messages come in that
// order).
void UseHostFolders(Settings& settings, const HostFolders& fallback, Prompt& prompt);

// Writes the file atomically; false on failure (the settings still hold in memory).
bool WriteSettingsFile(const std::string& path, const Settings& settings);

// Puts the settings into the program state: folders, separator, and the temporary folder
// split into its two parts.
void ApplySettings(const Settings& settings, ProgramState& state);
// The settings that the program state holds, as the file-locations dialog saves them.
Settings SettingsFrom(const ProgramState& state);

// Start-up: reads the user's settings file (any letter case). A user who has none gets one,
// with the settings of the program folder's file when there is one (a temporary folder named
// DudeDirav in it, some user's default, becomes this user's own) or else the defaults. A file
// of the user's that cannot be read is left as it is, with a message, and the program starts
// on the defaults. Then the settings go into the state, with the start-up defaults
// (NumericGrid, TempFilesFlag 0; ConcentrationFloor 1E-4), and the new copies that killed saves
// of copies no longer running left in the building, scenario and settings folders are
// removed. No failure stops start-up. Returns the path of the user's settings file (where the
// file-locations dialog saves), empty when the user has no configuration folder.
struct StartUpEnvironment {
  std::string program_folder;
  bool program_folder_writable = true;
  std::string user_data_folder;
  std::string temp_folder;  // the user's default temporary folder
  std::string user_config_folder;
};
std::string LoadStartUpSettings(ProgramState& state, const ProgramIdentity& identity,
                                const StartUpEnvironment& env, Prompt& prompt);
// The environment of this process: the folder given, its writability, the user's data and
// configuration folders and the user's default temporary folder.
StartUpEnvironment HostStartUpEnvironment(const std::string& program_folder);

}  // namespace quarn
