// What is not a file a reader can take (a folder, as a read error does; a pipe; a device; a
// file far larger than any of its kind) gives each reader its own message at once and leaves
// the program running with the record unchanged.

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>
#include <chrono>
#include <functional>
#include <future>
#include <string>
#include <vector>

#include "file_fixture.h"
#include "files/building_file.h"
#include "files/chamber_data_file.h"
#include "files/occupant_file.h"
#include "files/old_scenario_file.h"
#include "files/reference_data.h"
#include "files/scenario_file.h"
#include "files/scenario_routing.h"
#include "files/source_file.h"
#include "files/window_files.h"
#include "text/text_reader.h"

namespace quarn {
namespace {

namespace fs = std::filesystem;

// Every file is given under this name, so that the reader of the program folder's VOC
// property file finds it as well.
constexpr const char* kName = "vocprops.txt";

class UnreadableFileTest : public testing::FileTest {
 protected:
  // Every reader of the program, each given `path`; true when it read something.
  std::vector<std::pair<const char*, std::function<bool()>>> Readers(std::string path) {
    const std::string folder = fs::path(path).parent_path().string();
    return {
        {"building", [=, this]() mutable { return ReadBuildingFile(b_, path, prompt_); }},
        {"scenario",
         [=, this] {
           return CommitScenarioRead(NewReadScenario(b_, path, prompt_), b_) ==
                  ScenarioReadResult::Read;
         }},
        {"older scenario, after the layout test",
         [=, this] {
           return ScenarioLayoutOfFile(path) == ScenarioLayout::Older &&
                  CommitScenarioRead(ReadScenarioFile(b_, path, prompt_), b_) ==
                      ScenarioReadResult::Read;
         }},
        {"occupant", [=, this] { return ReadOccupantFile(s_, 1, path, prompt_); }},
        {"room source", [=, this] { return ReadRoomSourceFile(1, source_, path, prompt_); }},
        {"HVAC source", [=, this]() mutable { return ReadSourceFile(path, 1, source_, prompt_); }},
        {"chamber data", [=, this] { return ReadChamberDataFile(path, prompt_).has_value(); }},
        {"pollutant", [=, this] { return ReadPollutantFile(diameters_, 1, path, prompt_); }},
        {"initial", [=, this] { return ReadInitialIndoorFile(s_, 2, path, prompt_); }},
        {"outdoor", [=, this] { return ReadOutdoorConcentrationFile(s_, path, prompt_); }},
        {"sinks", [=, this] { return ReadGeneralSinkFile(s_, 2, ',', path, prompt_); }},
        {"HVAC flows", [=, this] { return ReadHVACFlowFile(2, path, prompt_).has_value(); }},
        {"HVAC history", [=, this] { return ReadHVACFlowHistoryFile(s_, path, prompt_); }},
        {"ventilation", [=, this] { return ReadVentilationFile(s_, path, prompt_).has_value(); }},
        {"flows", [=, this] { return ReadOutdoorFlowFile(2, path, prompt_).has_value(); }},
        {"risk", [=, this] { return ReadRiskDataFile(s_, 0, path, prompt_); }},
        {"filter", [=, this] { return ReadFilterFile(s_, path, prompt_); }},
        {"penetration", [=, this] { return ReadPenetrationFile(s_, diameters_, path, prompt_); }},
        {"VOC", [=, this] { return ReadVocFile(path, prompt_).has_value(); }},
        {"VOC properties", [=, this] { return ReadVocProperties(folder, prompt_).has_value(); }},
        {"source database", [=, this] { return ReadSourceDatabase(path, prompt_).has_value(); }},
        {"Jet database", [=, this] { return OpenDatabaseFile(path, prompt_); }},
    };
  }

  // Every reader refuses `path` with one message, within a second; a reader still waiting on
  // a pipe then is let go by a writer that opens and closes it.
  void ExpectEveryReaderRefuses(const std::string& path) {
    for (const auto& [kind, read] : Readers(path)) {
      const std::size_t before = Messages();
      std::future<bool> result = std::async(std::launch::async, read);
      if (result.wait_for(std::chrono::seconds(1)) != std::future_status::ready) {
        ADD_FAILURE() << kind << " still waits on " << path << " after a second";
        do {
          const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
          if (fd >= 0) ::close(fd);
        } while (result.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready);
      }
      EXPECT_FALSE(result.get()) << kind;
      EXPECT_EQ(Messages(), before + 1) << kind;
    }
    EXPECT_EQ(b_.NumRooms, 2);
    EXPECT_EQ(s_.NumPollutants, 1);
  }

  BuildingRecord b_ = [] {
    BuildingRecord b;
    b.NumRooms = 2;
    b.Scenario.NumPollutants = 1;
    return b;
  }();
  ScenarioRecord& s_ = b_.Scenario;
  PerPollutant<float> diameters_{};
  SourceRecord source_;
};

TEST_F(UnreadableFileTest, AFolderGivesEveryReaderItsMessage) {
  fs::create_directory(Path(kName));
  ExpectEveryReaderRefuses(Path(kName));
  // The building reader says the file is there but cannot be read.
  EXPECT_EQ(prompt_.shown.front().text, "File " + Path(kName) + " cannot be read.");
}

// A pipe nobody writes into would hold a reader up for ever.
TEST_F(UnreadableFileTest, APipeGivesEveryReaderItsMessageAtOnce) {
  ASSERT_EQ(::mkfifo(Path(kName).c_str(), 0600), 0);
  ExpectEveryReaderRefuses(Path(kName));
}

// A device that never ends would be read until the memory runs out.
TEST_F(UnreadableFileTest, ALinkToADeviceGivesEveryReaderItsMessageAtOnce) {
  fs::create_symlink("/dev/zero", Path(kName));
  ExpectEveryReaderRefuses(Path(kName));
}

// A file far larger than any of its kind is refused by its size, before it is read: here in a
// child process, whose peak memory grows by far less than the file's size.
TEST_F(UnreadableFileTest, AFileOverTheLimitIsRefusedBeforeItIsRead) {
  const std::string path = Path(kName);
  { std::ofstream(path) << "V1.96\r\n"; }
  fs::resize_file(path, std::uintmax_t{1} << 30);  // 1 GiB, all but its first line a hole
  int report[2];
  ASSERT_EQ(::pipe(report), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    rusage before{};
    ::getrusage(RUSAGE_SELF, &before);
    long failures = 0;
    for (const auto& [kind, read] : Readers(path)) {
      const std::size_t messages = Messages();
      if (read() || Messages() != messages + 1) ++failures;
    }
    rusage after{};
    ::getrusage(RUSAGE_SELF, &after);
    const long figures[2] = {failures, after.ru_maxrss - before.ru_maxrss};
    const bool sent = ::write(report[1], figures, sizeof figures) == sizeof figures;
    ::_exit(sent ? 0 : 1);
  }
  ::close(report[1]);
  long figures[2] = {-1, -1};
  EXPECT_EQ(::read(report[0], figures, sizeof figures), static_cast<ssize_t>(sizeof figures));
  ::close(report[0]);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_EQ(figures[0], 0) << "readers that took the file or said nothing";
  EXPECT_LT(figures[1], 100L * 1024) << "growth of the peak resident size in KiB";
  RecordProperty("peak_growth_kib", std::to_string(figures[1]));

  // The text the user reads says why.
  std::string name = path;
  ReadBuildingFile(b_, name, prompt_);
  ASSERT_FALSE(prompt_.shown.empty());
  EXPECT_EQ(prompt_.shown.back().text, "File " + path + " is too large to be read (over 64 MB).");
  ReadVocFile(path, prompt_);
  EXPECT_EQ(prompt_.shown.back().text,
            "Error.  The file " + path + " is too large to be read (over 64 MB).");
}

}  // namespace
}  // namespace quarn
