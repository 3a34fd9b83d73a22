// Erasing the work files at exit: only when everything is saved, only after asking, and only
// the files this program recorded, whatever the letter case of their names.

#include <cstdlib>
#include <fstream>

#include "common/main_window_fixture.h"
#include "text/paths.h"
#include "ui/main/temp_files.h"

namespace quarn {
namespace {

class EraseTempFilesTest : public testing::MainWindowTest {
 protected:
  EraseTempFilesTest() {
    tmp = folder / "tmp";
    Touch("HOUSESEN.TMP");  // the work file, recorded in another case
    Touch("HoWint01.EMP");  // occupant 1's files
    Touch("HoWint01.CMP");
    Touch("HoWint01.ave");
    Touch("notes.txt");  // the user's files
    Touch("OTHER.TMP");
    Touch("other.Emp");
    BuildingRecord& b = state->Building;
    b.ConcWorkFile = (tmp / "houseSEN.TMP").string();
    b.Scenario.Occupants[1].InstExposureFile = (tmp / "HoWint01.EMP").string();
    b.Scenario.Occupants[1].CumExposureFile = (tmp / "HoWint01.CMP").string();
    b.Scenario.Occupants[1].AvgExposureFile = (tmp / "HoWint01.ave").string();
    b.Scenario.Occupants[2].InstExposureFile = (tmp / "missing.EMP").string();
  }
  void Touch(const std::string& name) { std::ofstream((tmp / name).string()) << "x"; }
  bool Has(const std::string& name) { return std::filesystem::exists(tmp / name); }
  std::filesystem::path tmp;
};

TEST_F(EraseTempFilesTest, NothingSavedMeansNoQuestionAndFalse) {
  state->BuildingSaved = kTrue;
  state->ScenarioSaved = kFalse;
  EXPECT_FALSE(EraseTempFiles(*state, prompt));
  state->BuildingSaved = kFalse;
  state->ScenarioSaved = kTrue;
  EXPECT_FALSE(EraseTempFiles(*state, prompt));
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_TRUE(Has("HOUSESEN.TMP"));
}

TEST_F(EraseTempFilesTest, NoKeepsEverythingYesErasesOnlyTheRecordedFiles) {
  state->BuildingSaved = kTrue;
  state->ScenarioSaved = kTrue;
  prompt.answers.push_back(Answer::No);
  EXPECT_TRUE(EraseTempFiles(*state, prompt));
  ASSERT_EQ(prompt.shown.size(), 1u);
  EXPECT_EQ(prompt.shown[0].text,
            "Do you wish to erase the temporary files created by this program?");
  EXPECT_EQ(prompt.shown[0].title, "Temp files");
  EXPECT_TRUE(Has("HOUSESEN.TMP"));

  prompt.answers.push_back(Answer::Yes);
  EXPECT_TRUE(EraseTempFiles(*state, prompt));
  EXPECT_FALSE(Has("HOUSESEN.TMP"));
  EXPECT_FALSE(Has("HoWint01.EMP"));
  EXPECT_FALSE(Has("HoWint01.CMP"));
  EXPECT_FALSE(Has("HoWint01.ave"));
  EXPECT_TRUE(Has("notes.txt"));
  EXPECT_TRUE(Has("OTHER.TMP"));
  EXPECT_TRUE(Has("other.Emp"));
}

// The program's own folder holds nothing but its work files: Yes empties it of them all,
// from earlier buildings and earlier starts too.
TEST_F(EraseTempFilesTest, YesInTheDefaultFolderErasesEveryWorkFile) {
  const std::string old_tmpdir = std::getenv("TMPDIR") != nullptr ? std::getenv("TMPDIR") : "";
  ::setenv("TMPDIR", (folder / "system").string().c_str(), 1);
  tmp = DefaultTempFolder();
  std::filesystem::create_directories(tmp);
  const char* const work[] = {"a.TMP", "B.tmp", "c.Emp", "d.CMP", "e.ave"};
  for (const char* name : work) Touch(name);
  Touch("keep.txt");
  state->TempFolder = tmp.string();
  state->BuildingSaved = kTrue;
  state->ScenarioSaved = kTrue;
  prompt.answers = {Answer::No, Answer::Yes};
  EXPECT_TRUE(EraseTempFiles(*state, prompt));
  for (const char* name : work) EXPECT_TRUE(Has(name)) << name;
  EXPECT_TRUE(EraseTempFiles(*state, prompt));
  for (const char* name : work) EXPECT_FALSE(Has(name)) << name;
  EXPECT_TRUE(Has("keep.txt"));
  if (old_tmpdir.empty()) {
    ::unsetenv("TMPDIR");
  } else {
    ::setenv("TMPDIR", old_tmpdir.c_str(), 1);
  }
}

TEST_F(EraseTempFilesTest, TheFlagSkipsTheQuestion) {
  state->BuildingSaved = kTrue;
  state->ScenarioSaved = kTrue;
  state->TempFilesFlag = kTrue;
  EXPECT_TRUE(EraseTempFiles(*state, prompt));
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_TRUE(Has("HOUSESEN.TMP"));
}

}  // namespace
}  // namespace quarn
