#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/memory_database.h"
#include "common/recording_printer.h"
#include "common/scripted_file_dialog.h"
#include "common/scripted_prompt.h"
#include "files/building_file.h"
#include "files/scenario_file.h"
#include "model/program_state.h"
#include "model/resets.h"
#include "platform/help_service.h"
#include "ui/common/main_context.h"

namespace quarn::testing {

// The help requests a window made.
class RecordingHelp : public HelpService {
 public:
  std::vector<std::pair<std::string, std::string>> shown;
  void ShowHelp(const std::string& file, const std::string& keyword) override {
    shown.emplace_back(file, keyword);
  }
};

// A fresh program state in its own temporary folder, with scripted services.
class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() {
    folder = std::filesystem::temp_directory_path() /
             ("quarn_mainwin_" + std::to_string(::getpid()) + "_" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder / "tmp");
    identity = {"Quarn test description", 1, 2, 3};
    state = std::make_unique<ProgramState>();
    state->ProgramTitle = "Quarn test";
    state->DataFolder = (folder / "building").string();
    state->ScenarioFolder = (folder / "building" / "scenario").string();
    state->TempFolder = (folder / "tmp").string();
    state->DataSeparator = ',';
    NewBuilding(*state);
    context =
        std::make_unique<MainContext>(MainContext{*state, prompt, dialogs, help, printer, identity,
                                                  (folder / "Quarn.ini").string(), database});
  }
  ~MainWindowTest() override {
    // The windows the test closed go now, with the calls they posted to themselves, while the
    // context they hold is still there: a later test's events would run them on a dead one.
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }

  std::string Path(const std::string& name) const { return (folder / name).string(); }
  // The sample house and its scenario in the program state, as the building window's and the
  // scenario editor's Open read them; what they said is forgotten.
  void LoadSampleHouse() {
    std::string building = Sample("house.BLD");
    EXPECT_TRUE(ReadBuildingFile(state->Building, building, prompt));
    EXPECT_EQ(
        CommitScenarioRead(NewReadScenario(state->Building, Sample("Scenario/house.SEN"), prompt),
                           state->Building),
        ScenarioReadResult::Read);
    prompt.shown.clear();
  }
  static std::string Sample(const std::string& name) {
    return std::string(QUARN_SOURCE_DIR) + "/samples/" + name;
  }

  std::filesystem::path folder;
  ProgramIdentity identity;
  std::unique_ptr<ProgramState> state;
  ScriptedPrompt prompt;
  ScriptedFileDialog dialogs;
  RecordingHelp help;
  RecordingPrinter printer;
  MemoryDatabaseService database;
  std::unique_ptr<MainContext> context;
};

}  // namespace quarn::testing
