#pragma once

#include <string>
#include <string_view>

#include "model/program_state.h"
#include "model/prompt.h"

namespace quarn {

// The settings file: six lines in the program folder (or, when that folder cannot be
// written, in the user's data folder), read once at start-up and rewritten by the
// file-locations dialog.
inline constexpr const char* kSettingsFileName = "Quarn.ini";

struct Settings {
  std::string ProgramTitle;    // line 1: the program's description text
  std::string ProgramVersion;  // line 2: major.minor.revision
  std::string TempFolder;      // line 3
  std::string DataFolder;      // line 4: building files
  std::string ScenarioFolder;  // line 5: scenario files
  char DataSeparator = ',';    // line 6, as its character code: 44 or 9
};

// What the build knows about the program (from the generated version header).
struct ProgramIdentity {
  std::string Description;
  int Major = 0;
  int Minor = 0;
  int Revision = 0;
};

// The temporary folder in two parts. Work files are named Drive + Folder + separator + name,
// so the two parts always join back to the whole.
struct TempFolderParts {
  std::string Drive;
  std::string Folder;
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
  std::string SettingsFolder;  // where a new settings file is written
  std::string DataFolder;      // building files
  std::string ScenarioFolder;  // scenario files
  std::string TempFolder;
};
// The user's data folder for the program: $XDG_DATA_HOME/Quarn, else $HOME/.local/share/Quarn.
// Empty when neither is known. The environment values are parameters, for tests.
std::string UserDataFolder(const char* xdg_data_home, const char* home);
// "building" and "building/scenario" beside the program when its folder can be written,
// otherwise in the user's data folder; the temporary folder is DudeDirav in the system's.
HostFolders DefaultHostFolders(const std::string& program_folder, bool program_folder_writable,
                               const std::string& user_data_folder, const std::string& temp_folder);
// True when a file can be created in the folder (it is created and removed again).
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

// The settings file that exists, whatever the letter case of its name: in the program
// folder, else in the user's data folder; empty when there is none.
std::string FindSettingsFile(const std::string& program_folder,
                             const std::string& user_data_folder);

// Writes the file atomically; false on failure (the settings still hold in memory).
bool WriteSettingsFile(const std::string& path, const Settings& settings);

// Puts the settings into the program state: folders, separator, and the temporary folder
// split into its two parts.
void ApplySettings(const Settings& settings, ProgramState& state);
// The settings that the program state holds, as the file-locations dialog saves them.
Settings SettingsFrom(const ProgramState& state);

// Start-up: reads the settings file (any letter case) or writes a new one with the defaults,
// applies it to the state, then sets the start-up defaults (NumericGrid, TempFilesFlag 0;
// ConcentrationFloor 1E-4). No failure stops start-up. Returns the path of the settings file
// in use (where the file-locations dialog saves).
struct StartUpEnvironment {
  std::string ProgramFolder;
  bool ProgramFolderWritable = true;
  std::string UserDataFolder;
  std::string TempFolder;  // the host's default temporary folder
};
std::string LoadStartUpSettings(ProgramState& state, const ProgramIdentity& identity,
                                const StartUpEnvironment& env, Prompt& prompt);
// The environment of this process: the folder given, its writability, the user's data folder
// and DudeDirav in the system's temporary folder.
StartUpEnvironment HostStartUpEnvironment(const std::string& program_folder);

}  // namespace quarn
