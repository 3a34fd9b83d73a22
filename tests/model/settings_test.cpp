#include "model/settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "common/scripted_prompt.h"
#include "text/text_reader.h"
#include "text/text_writer.h"

namespace quarn {
namespace {

namespace fs = std::filesystem;

TEST(TempFolderSplit, DriveAndFolderJoinBack) {
  struct Case {
    const char* whole;
    const char* drive;
    const char* folder;
  };
  for (const Case& c :
       {Case{"D:\\Work\\Tmp", "D:\\", "Work\\Tmp"}, Case{"C:\\DudeDirav", "C:\\", "DudeDirav"},
        Case{"/tmp/DudeDirav", "/", "tmp/DudeDirav"}, Case{"C:", "C:", ""}, Case{"", "", ""}}) {
    SCOPED_TRACE(c.whole);
    const TempFolderParts parts = SplitTempFolder(c.whole);
    EXPECT_EQ(parts.Drive, c.drive);
    EXPECT_EQ(parts.Folder, c.folder);
    EXPECT_EQ(JoinTempFolder(parts), c.whole);
  }
}

Settings Sample() {
  Settings s;
  s.ProgramTitle = "Quarn, indoor air  model ";
  s.ProgramVersion = "1.2.3";
  s.TempFolder = "/tmp/DudeDirav";
  s.DataFolder = "/opt/quarn/building";
  s.ScenarioFolder = "/opt/quarn/building/scenario";
  return s;
}

TEST(SettingsFile, SixCrLfLinesReadBackWhole) {
  Settings s = Sample();
  const std::string bytes = FormatSettingsFile(s);
  EXPECT_EQ(bytes,
            "Quarn, indoor air  model \r\n1.2.3\r\n/tmp/DudeDirav\r\n/opt/quarn/building\r\n"
            "/opt/quarn/building/scenario\r\n 44 \r\n");
  const Settings back = ParseSettingsFile(bytes);
  EXPECT_EQ(back.ProgramTitle, s.ProgramTitle);  // commas and blanks belong to the line
  EXPECT_EQ(back.ProgramVersion, s.ProgramVersion);
  EXPECT_EQ(back.TempFolder, s.TempFolder);
  EXPECT_EQ(back.DataFolder, s.DataFolder);
  EXPECT_EQ(back.ScenarioFolder, s.ScenarioFolder);
  EXPECT_EQ(back.DataSeparator, ',');

  s.DataSeparator = '\t';
  const std::string tab = FormatSettingsFile(s);
  EXPECT_EQ(tab.substr(tab.size() - 5), " 9 \r\n");
  EXPECT_EQ(ParseSettingsFile(tab).DataSeparator, '\t');
}

TEST(SettingsFile, SeparatorCodes) {
  const std::string head = "T\r\n1.0.0\r\nC:\\DudeDirav\r\nC:\\b\r\nC:\\b\\s\r\n";
  struct Case {
    std::string line6;
    char expected;
  };
  for (const Case& c :
       {Case{"9\r\n", '\t'}, Case{"  9  \r\n", '\t'}, Case{"9", '\t'}, Case{" 44 \r\n", ','},
        Case{"0\r\n", ','}, Case{"46\r\n", ','}, Case{"59\r\n", ','}, Case{"abc\r\n", ','},
        Case{"99999\r\n", ','}, Case{"", ','}}) {
    SCOPED_TRACE(c.line6);
    EXPECT_EQ(ParseSettingsFile(head + c.line6).DataSeparator, c.expected);
  }
  // A short file leaves the missing items empty; LF line ends read as well.
  const Settings s = ParseSettingsFile("T\n1.0.0\n/tmp/x\n");
  EXPECT_EQ(s.TempFolder, "/tmp/x");
  EXPECT_EQ(s.DataFolder, "");
  EXPECT_EQ(s.ScenarioFolder, "");
  EXPECT_EQ(s.DataSeparator, ',');
}

TEST(SettingsFolders, DefaultsOfThisHost) {
  EXPECT_EQ(UserDataFolder("/x/data", "/home/a"), "/x/data/Quarn");
  EXPECT_EQ(UserDataFolder("", "/home/a"), "/home/a/.local/share/Quarn");
  EXPECT_EQ(UserDataFolder(nullptr, "/home/a"), "/home/a/.local/share/Quarn");
  EXPECT_EQ(UserDataFolder(nullptr, nullptr), "");

  HostFolders f = DefaultHostFolders("/opt/quarn", true, "/home/a/.local/share/Quarn", "/tmp/D");
  EXPECT_EQ(f.SettingsFolder, "/opt/quarn");
  EXPECT_EQ(f.DataFolder, "/opt/quarn/building");
  EXPECT_EQ(f.ScenarioFolder, "/opt/quarn/building/scenario");
  EXPECT_EQ(f.TempFolder, "/tmp/D");
  f = DefaultHostFolders("/opt/quarn", false, "/home/a/.local/share/Quarn", "/tmp/D");
  EXPECT_EQ(f.SettingsFolder, "/home/a/.local/share/Quarn");
  EXPECT_EQ(f.ScenarioFolder, "/home/a/.local/share/Quarn/building/scenario");

  const Settings d = DefaultSettings({"Quarn model", 1, 4, 12}, f);
  EXPECT_EQ(d.ProgramTitle, "Quarn model");
  EXPECT_EQ(d.ProgramVersion, "1.4.12");
  EXPECT_EQ(d.DataSeparator, ',');
}

TEST(SettingsFolders, WindowsFoldersFallBackWithAMessage) {
  testing::ScriptedPrompt prompt;
  EXPECT_EQ(HostFolderOrDefault("/srv/b", "/def", "building folder", prompt), "/srv/b");
  EXPECT_EQ(HostFolderOrDefault("data\\b", "/def", "building folder", prompt), "data/b");
  EXPECT_EQ(HostFolderOrDefault("", "/def", "building folder", prompt), "/def");
  EXPECT_TRUE(prompt.shown.empty());
  EXPECT_EQ(HostFolderOrDefault("D:\\Work\\Tmp", "/tmp/DudeDirav", "temporary folder", prompt),
            "/tmp/DudeDirav");
  EXPECT_EQ(HostFolderOrDefault("\\\\server\\share", "/def", "scenario folder", prompt), "/def");
  ASSERT_EQ(prompt.shown.size(), 2u);
  EXPECT_EQ(prompt.shown[0].text,
            "The temporary folder D:\\Work\\Tmp in Quarn.ini is not a folder of this computer.  "
            "/tmp/DudeDirav is used instead.");
  EXPECT_NE(prompt.shown[1].text.find("scenario folder"), std::string::npos);
}

// A folder of its own for each test, removed afterwards.
class StartUp : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = fs::temp_directory_path() / ("quarn-settings-" + std::string(info->name()));
    fs::remove_all(root_);
    fs::create_directories(root_ / "prog");
    env_.ProgramFolder = (root_ / "prog").string();
    env_.ProgramFolderWritable = true;
    env_.UserDataFolder = (root_ / "share" / "Quarn").string();
    env_.TempFolder = (root_ / "tmp" / "DudeDirav").string();
  }
  void TearDown() override { fs::remove_all(root_); }

  std::string Load(ProgramState& st) { return LoadStartUpSettings(st, id_, env_, prompt_); }

  fs::path root_;
  StartUpEnvironment env_;
  ProgramIdentity id_{"Quarn test build", 2, 0, 7};
  testing::ScriptedPrompt prompt_;
};

TEST_F(StartUp, FirstStartWritesTheFileThatTheNextStartReads) {
  auto first = std::make_unique<ProgramState>();
  first->ConcentrationFloor = 5;
  first->TempFilesFlag = kTrue;
  first->NumericGrid = kTrue;
  const std::string path = Load(*first);
  EXPECT_EQ(path, (root_ / "prog" / "Quarn.ini").string());
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(path, bytes));
  const std::string prog = env_.ProgramFolder;
  EXPECT_EQ(bytes, "Quarn test build\r\n2.0.7\r\n" + env_.TempFolder + "\r\n" + prog +
                       "/building\r\n" + prog + "/building/scenario\r\n 44 \r\n");
  EXPECT_EQ(first->ProgramFolder, prog);
  EXPECT_EQ(first->TempFolder, env_.TempFolder);
  EXPECT_EQ(first->TempDrive, "/");
  EXPECT_EQ(first->TempDrive + first->TempFolderName, env_.TempFolder);
  EXPECT_EQ(first->DataSeparator, ',');
  EXPECT_EQ(first->ConcentrationFloor, 1.0e-4f);
  EXPECT_EQ(first->TempFilesFlag, 0);
  EXPECT_EQ(first->NumericGrid, 0);

  auto second = std::make_unique<ProgramState>();
  EXPECT_EQ(Load(*second), path);
  for (auto field :
       {&ProgramState::ProgramTitle, &ProgramState::ProgramVersion, &ProgramState::TempFolder,
        &ProgramState::TempDrive, &ProgramState::TempFolderName, &ProgramState::DataFolder,
        &ProgramState::ScenarioFolder})
    EXPECT_EQ((*second).*field, (*first).*field);
  EXPECT_EQ(second->DataSeparator, first->DataSeparator);
  EXPECT_TRUE(prompt_.shown.empty());
}

TEST_F(StartUp, FileFoundWhateverItsLetterCase) {
  const std::string bytes = "Old title\r\n1.9.6\r\n/var/tmp/q\r\n/srv/bld\r\n/srv/sen\r\n9\r\n";
  ASSERT_TRUE(WriteFileAtomic((root_ / "prog" / "QUARN.INI").string(), bytes, nullptr));
  auto st = std::make_unique<ProgramState>();
  EXPECT_EQ(Load(*st), (root_ / "prog" / "QUARN.INI").string());
  EXPECT_EQ(st->ProgramTitle, "Old title");
  EXPECT_EQ(st->ProgramVersion, "1.9.6");
  EXPECT_EQ(st->TempDrive, "/");
  EXPECT_EQ(st->TempFolderName, "var/tmp/q");
  EXPECT_EQ(st->DataFolder, "/srv/bld");
  EXPECT_EQ(st->ScenarioFolder, "/srv/sen");
  EXPECT_EQ(st->DataSeparator, '\t');
  EXPECT_FALSE(fs::exists(root_ / "prog" / "Quarn.ini"));  // no second file beside it
}

TEST_F(StartUp, StoredDriveLettersFallBackToTheDefaults) {
  const std::string bytes =
      "T\r\n1.0.0\r\nC:\\DudeDirav\r\nC:\\Quarn\\building\r\nsen\\old\r\n 44 \r\n";
  ASSERT_TRUE(WriteFileAtomic((root_ / "prog" / "Quarn.ini").string(), bytes, nullptr));
  auto st = std::make_unique<ProgramState>();
  Load(*st);
  EXPECT_EQ(st->TempFolder, env_.TempFolder);
  EXPECT_EQ(st->TempDrive + st->TempFolderName, env_.TempFolder);
  EXPECT_EQ(st->DataFolder, env_.ProgramFolder + "/building");
  EXPECT_EQ(st->ScenarioFolder, "sen/old");
  ASSERT_EQ(prompt_.shown.size(), 2u);
  EXPECT_NE(prompt_.shown[0].text.find("temporary folder C:\\DudeDirav"), std::string::npos);
  EXPECT_NE(prompt_.shown[1].text.find("building folder C:\\Quarn\\building"), std::string::npos);
  // Nothing is written back.
  std::string after;
  ASSERT_TRUE(ReadFileBytes((root_ / "prog" / "Quarn.ini").string(), after));
  EXPECT_EQ(after, bytes);
}

TEST_F(StartUp, ReadOnlyProgramFolderUsesTheUserDataFolder) {
  env_.ProgramFolderWritable = false;
  auto st = std::make_unique<ProgramState>();
  const std::string path = Load(*st);
  EXPECT_EQ(path, env_.UserDataFolder + "/Quarn.ini");
  EXPECT_TRUE(fs::exists(path));
  EXPECT_EQ(st->DataFolder, env_.UserDataFolder + "/building");
  EXPECT_EQ(st->ProgramFolder, env_.ProgramFolder);
  auto again = std::make_unique<ProgramState>();
  EXPECT_EQ(Load(*again), path);  // found there on the next start
  EXPECT_EQ(again->ScenarioFolder, st->ScenarioFolder);
}

TEST_F(StartUp, UnwritableFileStillSetsTheDefaults) {
  // A folder below a plain file can never be created.
  ASSERT_TRUE(WriteFileAtomic((root_ / "plain").string(), "x", nullptr));
  env_.ProgramFolder = (root_ / "plain" / "prog").string();
  env_.UserDataFolder = "";
  auto st = std::make_unique<ProgramState>();
  Load(*st);
  EXPECT_EQ(st->DataFolder, env_.ProgramFolder + "/building");
  EXPECT_EQ(st->DataSeparator, ',');
  EXPECT_EQ(st->ConcentrationFloor, 1.0e-4f);
  EXPECT_TRUE(IsFolderWritable((root_ / "prog").string()));
  EXPECT_FALSE(IsFolderWritable((root_ / "nowhere").string()));
}

}  // namespace
}  // namespace quarn
