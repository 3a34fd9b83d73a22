// Erasing the work files at exit: only when everything is saved, only after asking, and only
// the files this program recorded, whatever the letter case of their names.

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "common/main_window_fixture.h"
#include "text/paths.h"
#include "text/work_folder.h"
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
  state->BuildingSaved = true;
  state->ScenarioSaved = false;
  EXPECT_FALSE(EraseTempFiles(*state, prompt));
  state->BuildingSaved = false;
  state->ScenarioSaved = true;
  EXPECT_FALSE(EraseTempFiles(*state, prompt));
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_TRUE(Has("HOUSESEN.TMP"));
}

TEST_F(EraseTempFilesTest, NoKeepsEverythingYesErasesOnlyTheRecordedFiles) {
  state->BuildingSaved = true;
  state->ScenarioSaved = true;
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

// In the default folder Yes erases this copy's work files and those of copies that no longer
// run, never the files of another copy still running (here a lock held as a running copy
// holds it).
TEST_F(EraseTempFilesTest, YesInTheDefaultFolderSparesAnotherRunningCopy) {
  namespace fs = std::filesystem;
  std::string reason;
  const std::optional<std::string> mine = WorkFolderOf(DefaultTempFolder(), &reason);
  ASSERT_TRUE(mine) << reason;
  const fs::path base = DefaultTempFolder();
  const fs::path running = base / "copy-running";
  const fs::path ended = base / "copy-ended";
  fs::create_directories(running);
  fs::create_directories(ended);
  const int lock = ::open((running / ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  ASSERT_EQ(::flock(lock, LOCK_EX | LOCK_NB), 0);
  const fs::path files[] = {fs::path(*mine) / "a.TMP", running / "b.tmp", ended / "c.Emp",
                            fs::path(*mine) / "keep.txt"};
  for (const fs::path& file : files) std::ofstream(file) << "x";
  state->TempFolder = base.string();
  state->BuildingSaved = true;
  state->ScenarioSaved = true;
  prompt.answers = {Answer::No, Answer::Yes};
  EXPECT_TRUE(EraseTempFiles(*state, prompt));
  for (const fs::path& file : files) EXPECT_TRUE(fs::exists(file)) << file;
  EXPECT_TRUE(EraseTempFiles(*state, prompt));
  EXPECT_FALSE(fs::exists(files[0]));
  EXPECT_TRUE(fs::exists(files[1]));  // the running copy's
  EXPECT_FALSE(fs::exists(files[2]));
  EXPECT_TRUE(fs::exists(files[3]));  // not a work file
  ::close(lock);
}

// In a folder the user chose, Yes erases this copy's folder there with its work files; another
// copy's folder stays.
TEST_F(EraseTempFilesTest, YesInAChosenFolderErasesThisCopysFolderOnly) {
  namespace fs = std::filesystem;
  std::string reason;
  const std::optional<std::string> mine = WorkFolderOf(tmp.string(), &reason);
  ASSERT_TRUE(mine) << reason;
  const fs::path other = tmp / "copy-other";
  fs::create_directories(other);
  std::ofstream(fs::path(*mine) / "houseSEN.TMP") << "x";
  std::ofstream(other / "houseSEN.TMP") << "x";
  state->TempFolder = tmp.string();
  state->BuildingSaved = true;
  state->ScenarioSaved = true;
  prompt.answers = {Answer::Yes};
  EXPECT_TRUE(EraseTempFiles(*state, prompt));
  EXPECT_FALSE(fs::exists(*mine));
  EXPECT_TRUE(fs::exists(other / "houseSEN.TMP"));
  EXPECT_TRUE(Has("notes.txt"));
}

TEST_F(EraseTempFilesTest, TheFlagSkipsTheQuestion) {
  state->BuildingSaved = true;
  state->ScenarioSaved = true;
  state->TempFilesFlag = true;
  EXPECT_TRUE(EraseTempFiles(*state, prompt));
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_TRUE(Has("HOUSESEN.TMP"));
}

}  // namespace
}  // namespace quarn
