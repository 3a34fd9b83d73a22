#pragma once

#include <linux/perf_event.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <optional>
#include <string>

#include "common/largest_scenario.h"
#include "model/concentration_run.h"
#include "model/prompt.h"
#include "model/records.h"
#include "model/run_observer.h"

namespace quarn::bench {

// Answers every question with its default and remembers the last message, which says why
// a run or a read was refused.
class QuietPrompt : public Prompt {
 public:
  int messages = 0;
  std::string last;
  void Message(const std::string& text, const std::string&, MessageIcon) override {
    ++messages;
    last = text;
  }
  Answer AskYesNo(const std::string&, const std::string&, MessageIcon) override {
    return Answer::Yes;
  }
  Answer AskYesNoCancel(const std::string&, const std::string&, MessageIcon) override {
    return Answer::Yes;
  }
  Answer AskOkCancel(const std::string&, const std::string&, MessageIcon) override {
    return Answer::Ok;
  }
  std::optional<std::string> InputLine(const std::string&, const std::string&,
                                       const std::string& d) override {
    return d;
  }
};

// The processor time of this thread, system time included: on a machine that others share,
// the wall clock also counts the time the thread waited for a core.
inline double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// The wall clock: what a user waits for, with the work of every thread of a run in it.
inline double WallSeconds() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// The processor time of every thread of the process.
inline double ProcessSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// The wall clock and the processor time of every thread since the watch was made: a run
// writes its work file on a thread of its own while it computes, and a user waits for both.
struct Seconds {
  double wall = 0;
  double processor = 0;
};

class Stopwatch {
 public:
  Seconds Elapsed() const { return {WallSeconds() - wall_, ProcessSeconds() - processor_}; }

 private:
  double wall_ = WallSeconds();
  double processor_ = ProcessSeconds();
};

// Instructions of this thread and of the threads it starts (counted as each ends) between
// Start and Stop, where the machine lets a process count them (perf events); Available() is
// false where it does not.
class InstructionCounter {
 public:
  InstructionCounter() {
    perf_event_attr attr{};
    attr.type = PERF_TYPE_HARDWARE;
    attr.size = sizeof attr;
    attr.config = PERF_COUNT_HW_INSTRUCTIONS;
    attr.disabled = 1;
    attr.exclude_kernel = 1;
    attr.exclude_hv = 1;
    attr.inherit = 1;  // the run writes its work file on a thread of its own
    fd_ = static_cast<int>(syscall(SYS_perf_event_open, &attr, 0, -1, -1, 0));
  }
  ~InstructionCounter() {
    if (fd_ >= 0) close(fd_);
  }
  InstructionCounter(const InstructionCounter&) = delete;
  InstructionCounter& operator=(const InstructionCounter&) = delete;
  bool Available() const { return fd_ >= 0; }
  void Start() {
    if (fd_ < 0) return;
    ioctl(fd_, PERF_EVENT_IOC_RESET, 0);
    ioctl(fd_, PERF_EVENT_IOC_ENABLE, 0);
  }
  double Stop() {
    if (fd_ < 0) return 0;
    ioctl(fd_, PERF_EVENT_IOC_DISABLE, 0);
    long long count = 0;
    if (read(fd_, &count, sizeof count) != static_cast<ssize_t>(sizeof count)) return 0;
    return static_cast<double>(count);
  }

 private:
  int fd_ = -1;
};

inline double SecondsSince(double start) {
  return ThreadSeconds() - start;
}

inline RunSettings BenchRunSettings(const std::filesystem::path& folder) {
  RunSettings settings;
  settings.temp_folder_name = folder.string();
  settings.step_adjust_factor = 1;  // no step growth
  settings.max_concentration = 100;
  return settings;
}

// The largest scenario run for a year, with three occupants who move between rooms over
// the day: made once per process, for the benchmarks that read its results.
struct YearRun {
  BuildingRecord building;
  std::filesystem::path folder;
  std::string failure;  // why the run did not complete, if it did not
};

// The largest scenario with those occupants, before its run.
inline BuildingRecord YearBuilding() {
  BuildingRecord b = LargestScenario();
  b.Scenario.Name = "Year";
  b.Scenario.ExposureMode = "I";
  b.Scenario.NumOccupants = 3;
  for (int r = 1; r <= b.NumRooms; ++r) b.RoomList[r].Name = "Room " + std::to_string(r);
  for (int o = 1; o <= 3; ++o) {
    OccupantRecord& occ = b.Scenario.Occupants[o];
    occ.Name = "Occupant " + std::to_string(o);
    occ.BreathingRate = 0.5F * static_cast<float>(o);
    occ.EfficiencyFactor = 1;
    occ.Weight = 70;
    occ.StartTime = 0;
    occ.EndTime = 24 * 365;
    // Night in one room, the day in two others.
    const float enter[] = {0, 8, 17};
    const float leave[] = {8, 17, 24};
    for (int i = 1; i <= 3; ++i) {
      occ.TimeEnter[i] = enter[i - 1];
      occ.TimeLeave[i] = leave[i - 1];
      occ.Location[i] = b.RoomList[(o * 4 + i * 3) % b.NumRooms + 1].Name;
    }
  }
  return b;
}

// That building's year run, its work files in `folder`.
inline YearRun RunYearIn(const std::filesystem::path& folder) {
  YearRun y;
  y.folder = folder;
  y.building = YearBuilding();
  QuietPrompt prompt;
  RunObserver observer;
  if (RunConcentrationCalculation(y.building, BenchRunSettings(y.folder), prompt, observer) !=
      RunOutcome::Completed)
    y.failure = "run failed: " + prompt.last;
  return y;
}

inline const YearRun& TheYearRun() {
  static const YearRun run = RunYearIn(std::filesystem::temp_directory_path() / "quarn-bench-year");
  return run;
}

}  // namespace quarn::bench
