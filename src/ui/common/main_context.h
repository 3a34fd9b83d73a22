#pragma once

#include <functional>
#include <string>

#include "model/program_state.h"
#include "model/prompt.h"
#include "model/run_observer.h"
#include "model/settings.h"
#include "ui/common/results_watch.h"
#include "ui/common/window_flags.h"

namespace quarn {

class DatabaseService;
class FileDialogService;
class HelpService;
class PrinterService;

// What the main windows work with: the program's state and the services through which
// they reach the user. The program passes the real ones; tests pass scripted ones.
struct MainContext {
  ProgramState& state;
  Prompt& prompt;  // a prompt that shows the program's title for an empty title
  FileDialogService& dialogs;
  HelpService& help;
  PrinterService& printer;
  ProgramIdentity identity;
  std::string settings_file;  // where the file-locations dialog saves
  DatabaseService& database;  // the reference tables, read only
  WindowFlags windows{};
  ResultsWatch results_watch{};  // whether the results are of the inputs as they stand
};

// The building window's help files.
inline constexpr const char* kMainHelpFile = "RovozUzav.HLP";
inline constexpr const char* kParticleHelpFile = "rirozid.HLP";

// "M.m.r" of the build.
std::string VersionNumberText(const ProgramIdentity& identity);

}  // namespace quarn
