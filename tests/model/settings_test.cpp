#include "model/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "common/scripted_prompt.h"
#include "text/text_reader.h"
#include "text/text_writer.h"
#include "text/work_folder.h"

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
    EXPECT_EQ(parts.drive, c.drive);
    EXPECT_EQ(parts.folder, c.folder);
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

  EXPECT_EQ(UserConfigFolder("/x/config", "/home/a"), "/x/config/Quarn");
  EXPECT_EQ(UserConfigFolder(nullptr, "/home/a"), "/home/a/.config/Quarn");
  EXPECT_EQ(UserConfigFolder("", nullptr), "");

  HostFolders f = DefaultHostFolders("/opt/quarn", true, "/home/a/.local/share/Quarn", "/tmp/D");
  EXPECT_EQ(f.data_folder, "/opt/quarn/building");
  EXPECT_EQ(f.scenario_folder, "/opt/quarn/building/scenario");
  EXPECT_EQ(f.temp_folder, "/tmp/D");
  f = DefaultHostFolders("/opt/quarn", false, "/home/a/.local/share/Quarn", "/tmp/D");
  EXPECT_EQ(f.scenario_folder, "/home/a/.local/share/Quarn/building/scenario");

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
    env_.program_folder = (root_ / "prog").string();
    env_.program_folder_writable = true;
    env_.user_data_folder = (root_ / "share" / "Quarn").string();
    env_.temp_folder = (root_ / "tmp" / "DudeDirav").string();
    env_.user_config_folder = (root_ / "config" / "Quarn").string();
  }
  std::string Own() const { return env_.user_config_folder + "/Quarn.ini"; }
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
  first->TempFilesFlag = true;
  const std::string path = Load(*first);
  EXPECT_EQ(path, Own());
  EXPECT_FALSE(fs::exists(root_ / "prog" / "Quarn.ini"));  // the program's folder is not written
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(path, bytes));
  const std::string prog = env_.program_folder;
  EXPECT_EQ(bytes, "Quarn test build\r\n2.0.7\r\n" + env_.temp_folder + "\r\n" + prog +
                       "/building\r\n" + prog + "/building/scenario\r\n 44 \r\n");
  EXPECT_EQ(first->ProgramFolder, prog);
  EXPECT_EQ(first->TempFolder, env_.temp_folder);
  EXPECT_EQ(first->TempDrive, "/");
  EXPECT_EQ(first->TempDrive + first->TempFolderName, env_.temp_folder);
  EXPECT_EQ(first->DataSeparator, ',');
  EXPECT_EQ(first->ConcentrationFloor, 1.0e-4f);
  EXPECT_EQ(first->TempFilesFlag, 0);

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

// The program folder's file gives a new user's first settings, but a temporary folder that
// is some user's default gives way to this user's own; the user's file is found whatever the
// letter case of its name.
TEST_F(StartUp, TheProgramsFileGivesANewUserTheFirstSettings) {
  const std::string shared =
      "Old title\r\n1.9.6\r\n/run/user/0/DudeDirav\r\n/srv/bld\r\n/srv/sen\r\n9\r\n";
  ASSERT_TRUE(WriteFileAtomic((root_ / "prog" / "QUARN.INI").string(), shared, nullptr));
  auto st = std::make_unique<ProgramState>();
  EXPECT_EQ(Load(*st), Own());
  EXPECT_EQ(st->ProgramTitle, "Old title");
  EXPECT_EQ(st->ProgramVersion, "1.9.6");
  EXPECT_EQ(st->TempFolder, env_.temp_folder);
  EXPECT_EQ(st->DataFolder, "/srv/bld");
  EXPECT_EQ(st->ScenarioFolder, "/srv/sen");
  EXPECT_EQ(st->DataSeparator, '\t');
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(Own(), bytes));
  EXPECT_EQ(bytes,
            "Old title\r\n1.9.6\r\n" + env_.temp_folder + "\r\n/srv/bld\r\n/srv/sen\r\n 9 \r\n");
  ASSERT_TRUE(ReadFileBytes((root_ / "prog" / "QUARN.INI").string(), bytes));
  EXPECT_EQ(bytes, shared);  // never written

  const std::string mine = "Mine\r\n1.0.0\r\n/var/tmp/q\r\n/b\r\n/s\r\n 44 \r\n";
  fs::remove(Own());
  ASSERT_TRUE(WriteFileAtomic(env_.user_config_folder + "/quarn.INI", mine, nullptr));
  EXPECT_EQ(Load(*st), env_.user_config_folder + "/quarn.INI");
  EXPECT_EQ(st->TempDrive, "/");
  EXPECT_EQ(st->TempFolderName, "var/tmp/q");
  EXPECT_EQ(st->DataFolder, "/b");
  EXPECT_FALSE(fs::exists(Own()));  // no second file beside it
}

// A save killed in an earlier session left its new copy in the building folder: the next start
// removes it, as its copy no longer runs.
TEST_F(StartUp, ACopyLeftByAKilledSaveIsRemovedAtStartUp) {
  const fs::path building = root_ / "prog" / "building";
  fs::create_directories(building);
  const pid_t ended = ::fork();
  if (ended == 0) ::_exit(0);
  ::waitpid(ended, nullptr, 0);
  const fs::path left = building / (".quarn-" + std::to_string(ended) + "-a1B2c3");
  std::ofstream(left) << "new content";
  auto st = std::make_unique<ProgramState>();
  Load(*st);
  EXPECT_FALSE(fs::exists(left));
}

TEST_F(StartUp, StoredDriveLettersFallBackToTheDefaults) {
  const std::string bytes =
      "T\r\n1.0.0\r\nC:\\DudeDirav\r\nC:\\Quarn\\building\r\nsen\\old\r\n 44 \r\n";
  ASSERT_TRUE(WriteFileAtomic((root_ / "prog" / "Quarn.ini").string(), bytes, nullptr));
  auto st = std::make_unique<ProgramState>();
  Load(*st);
  EXPECT_EQ(st->TempFolder, env_.temp_folder);
  EXPECT_EQ(st->TempDrive + st->TempFolderName, env_.temp_folder);
  EXPECT_EQ(st->DataFolder, env_.program_folder + "/building");
  EXPECT_EQ(st->ScenarioFolder, "sen/old");
  ASSERT_EQ(prompt_.shown.size(), 2u);
  EXPECT_NE(prompt_.shown[0].text.find("temporary folder C:\\DudeDirav"), std::string::npos);
  EXPECT_NE(prompt_.shown[1].text.find("building folder C:\\Quarn\\building"), std::string::npos);
  // Nothing is written back.
  std::string after;
  ASSERT_TRUE(ReadFileBytes((root_ / "prog" / "Quarn.ini").string(), after));
  EXPECT_EQ(after, bytes);
}

TEST_F(StartUp, ReadOnlyProgramFolderKeepsBuildingsInTheUserDataFolder) {
  env_.program_folder_writable = false;
  auto st = std::make_unique<ProgramState>();
  const std::string path = Load(*st);
  EXPECT_EQ(path, Own());
  EXPECT_TRUE(fs::exists(path));
  EXPECT_EQ(st->DataFolder, env_.user_data_folder + "/building");
  EXPECT_EQ(st->ProgramFolder, env_.program_folder);
  auto again = std::make_unique<ProgramState>();
  EXPECT_EQ(Load(*again), path);  // found there on the next start
  EXPECT_EQ(again->ScenarioFolder, st->ScenarioFolder);
}

// Earlier versions kept the file in the user's data folder when the program folder could not
// be written: it moves to the configuration folder as it is.
TEST_F(StartUp, AnEarlierVersionsFileMovesToTheConfigurationFolder) {
  const std::string mine = "Mine\r\n1.0.0\r\n/var/tmp/q\r\n/b\r\n/s\r\n9\r\n";
  fs::create_directories(env_.user_data_folder);
  ASSERT_TRUE(WriteFileAtomic(env_.user_data_folder + "/Quarn.ini", mine, nullptr));
  auto st = std::make_unique<ProgramState>();
  EXPECT_EQ(Load(*st), Own());
  EXPECT_EQ(st->DataFolder, "/b");
  EXPECT_EQ(st->DataSeparator, '\t');
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(Own(), bytes));
  EXPECT_EQ(bytes, mine);
}

TEST_F(StartUp, UnwritableFileStillSetsTheDefaults) {
  // A folder below a plain file can never be created.
  ASSERT_TRUE(WriteFileAtomic((root_ / "plain").string(), "x", nullptr));
  env_.program_folder = (root_ / "plain" / "prog").string();
  env_.user_data_folder = "";
  env_.user_config_folder = (root_ / "plain" / "config").string();
  auto st = std::make_unique<ProgramState>();
  Load(*st);
  EXPECT_EQ(st->DataFolder, env_.program_folder + "/building");
  EXPECT_EQ(st->DataSeparator, ',');
  EXPECT_EQ(st->ConcentrationFloor, 1.0e-4f);
  EXPECT_TRUE(IsFolderWritable((root_ / "prog").string()));
  EXPECT_FALSE(IsFolderWritable((root_ / "nowhere").string()));
}

// Accounts other than the tester's. Permissions hold for root only in a process of another
// user, so a root tester runs the account in a child process as the user nobody, in folders
// under the system's temporary folder that nobody can reach.
constexpr uid_t kNobody = 65534;

class OtherAccount : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = "/tmp/quarn-accounts-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    shared_ = pattern;
    ::chmod(shared_.c_str(), 0755);
  }
  void TearDown() override { fs::remove_all(shared_); }

  static bool Root() { return ::geteuid() == 0; }
  // A folder of the account's own (nobody's when the tester is root).
  fs::path OwnFolder(const std::string& name, mode_t mode = 0755) {
    fs::path folder = shared_ / name;
    fs::create_directories(folder);
    ::chmod(folder.c_str(), mode);
    if (Root()) {
      EXPECT_EQ(::chown(folder.c_str(), kNobody, kNobody), 0);
    }
    return folder;
  }
  // Runs `body` as the account: in a child as nobody when the tester is root, else here.
  static bool AsTheAccount(const std::function<bool()>& body) {
    if (!Root()) return body();
    const pid_t child = ::fork();
    if (child == 0) {
      const bool ok = ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0 && body();
      ::_exit(ok ? 0 : 1);
    }
    int status = -1;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }

  fs::path shared_;
  ProgramIdentity id_{"Quarn test build", 2, 0, 7};
};

// A settings file the user may not read (here one the user may only write) is left as it
// is, with a message, and the program starts on its defaults.
TEST_F(OtherAccount, ASettingsFileThatCannotBeReadSurvivesStartUp) {
  // In the configuration folder, or where an earlier version kept it.
  for (const bool in_config : {true, false}) {
    SCOPED_TRACE(in_config ? "configuration folder" : "data folder");
    const fs::path user = OwnFolder(in_config ? "config/Quarn" : "data/Quarn");
    const std::string file = (user / "Quarn.ini").string();
    const std::string bytes = "Mine\r\n1.0.0\r\n/srv/tmp\r\n/srv/bld\r\n/srv/sen\r\n 9 \r\n";
    ASSERT_TRUE(WriteFileAtomic(file, bytes, nullptr));
    ::chmod(file.c_str(), 0200);
    if (Root()) {
      ASSERT_EQ(::chown(file.c_str(), kNobody, kNobody), 0);
    }
    StartUpEnvironment env;
    env.program_folder = OwnFolder("program").string();
    env.program_folder_writable = false;
    env.user_data_folder = OwnFolder("data/Quarn").string();
    env.user_config_folder = OwnFolder("config/Quarn").string();
    env.temp_folder = (shared_ / "tmp" / "DudeDirav").string();
    const bool started = AsTheAccount([&] {
      auto state = std::make_unique<ProgramState>();
      testing::ScriptedPrompt prompt;
      LoadStartUpSettings(*state, id_, env, prompt);
      return prompt.shown.size() == 1 &&
             prompt.shown[0].text == "Error.  The settings file " + file +
                                         " cannot be read.  The program starts with its "
                                         "default settings and leaves the file as it is." &&
             state->DataSeparator == ',' && state->TempFolder == env.temp_folder;
    });
    EXPECT_TRUE(started) << "the message, then the defaults";
    ::chmod(file.c_str(), 0600);
    std::string after;
    ASSERT_TRUE(ReadFileBytes(file, after));
    EXPECT_EQ(after, bytes);
    fs::remove(file);
  }
}

// Another account that may write in the program's folder plants the name a write test would
// use as a link to a private file of the user's: the start-up's check of the folder leaves
// the file and the link as they were, and still finds the folder writable.
TEST_F(OtherAccount, TheStartUpCheckOfTheProgramFolderWritesNothing) {
  const std::string program = (shared_ / "program").string();
  fs::create_directories(program);
  ::chmod(program.c_str(), 0777);
  const std::string victim = (shared_ / "private.txt").string();
  const std::string text = "the user's own notes\r\n";
  ASSERT_TRUE(WriteFileAtomic(victim, text, nullptr));
  ::chmod(victim.c_str(), 0600);
  const std::string link = program + "/.quarn-write-test";
  ASSERT_TRUE(AsTheAccount([&] { return ::symlink(victim.c_str(), link.c_str()) == 0; }));
  EXPECT_TRUE(HostStartUpEnvironment(program).program_folder_writable);
  std::string after;
  ASSERT_TRUE(ReadFileBytes(victim, after));
  EXPECT_EQ(after, text);
  EXPECT_TRUE(fs::is_symlink(link));
}

// The first user's start leaves nothing in the program's folder that sends the next user's
// runs into the first user's work folder.
TEST_F(OtherAccount, ASecondUserDoesNotUseTheFirstUsersWorkFolder) {
  if (!Root()) GTEST_SKIP() << "a second user is run only where the tester is root";
  const std::string program = (shared_ / "program").string();
  fs::create_directories(program);
  ::chmod(program.c_str(), 0755);
  {
    auto first = std::make_unique<ProgramState>();
    testing::ScriptedPrompt prompt;
    LoadStartUpSettings(*first, id_, HostStartUpEnvironment(program), prompt);
  }
  const std::string home = OwnFolder("home").string();
  const std::string run = OwnFolder("run", 0700).string();
  const bool own_folder = AsTheAccount([&] {
    ::setenv("HOME", home.c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", run.c_str(), 1);
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
      ::unsetenv(name);
    auto second = std::make_unique<ProgramState>();
    testing::ScriptedPrompt prompt;
    LoadStartUpSettings(*second, id_, HostStartUpEnvironment(program), prompt);
    std::string reason;
    const std::optional<std::string> folder =
        WorkFolderOf(second->TempDrive + second->TempFolderName, &reason);
    return folder && folder->rfind(run + "/", 0) == 0;
  });
  EXPECT_TRUE(own_folder) << "the second user's work folder lies in its own runtime folder";
}

}  // namespace
}  // namespace quarn
