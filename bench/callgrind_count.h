#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "text/number_read.h"

// Valgrind installs the header with itself; without it nothing here is counted, and the
// benchmarks say so.
#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define QUARN_BENCH_HAS_CALLGRIND 1
#else
#define QUARN_BENCH_HAS_CALLGRIND 0
#endif

extern char** environ;

// Instructions counted by callgrind, for a machine that does not let a process count its own
// (no perf events, as in most containers). The benchmark's executable starts itself again under
// valgrind with kCountInstructions, does the counted work once, and callgrind writes a total for
// each part it was told to count. Callgrind is some fifty times slower than the run itself, so the
// child counts a shorter span than the one timed.
namespace quarn::bench {

inline constexpr std::string_view kCountInstructions = "--count-instructions";

// Done by the executable when it is given kCountInstructions and a folder: the counted run and
// its floor, with the records they wrote on standard output as "records N". Defined beside the
// run's benchmark.
int CountRunAndFloorInstructions(const std::filesystem::path& folder);

// Callgrind counts what this thread does while the part lives, and writes the count in a dump
// of its own named `name`. Outside valgrind the requests cost a few instructions each.
class CountedPart {
 public:
  explicit CountedPart(std::string name) : name_(std::move(name)) {
#if QUARN_BENCH_HAS_CALLGRIND
    CALLGRIND_START_INSTRUMENTATION;
#endif
  }
  ~CountedPart() {
#if QUARN_BENCH_HAS_CALLGRIND
    CALLGRIND_STOP_INSTRUMENTATION;
    CALLGRIND_DUMP_STATS_AT(name_.c_str());
#endif
  }
  CountedPart(const CountedPart&) = delete;
  CountedPart& operator=(const CountedPart&) = delete;

 private:
  std::string name_;
};

// The instructions of each counted part by its name, and the "name value" lines the child
// printed; or why nothing was counted.
struct CallgrindCount {
  std::map<std::string, double> values;
  std::string failure;
};

// The total of each dump that a part asked for; the dump at the program's end, of what ran
// after the last part, is left out.
inline void ReadCallgrindDumps(const std::filesystem::path& folder, CallgrindCount& count) {
  constexpr std::string_view kTrigger = "desc: Trigger: Client Request: ";
  constexpr std::string_view kTotals = "totals:";
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().filename().string().rfind("callgrind.out", 0) != 0) continue;
    std::ifstream in(entry.path());
    std::string line;
    std::string part;
    while (std::getline(in, line)) {
      if (line.rfind(kTrigger, 0) == 0) {
        part = line.substr(kTrigger.size());
      } else if (line.rfind(kTotals, 0) == 0 && !part.empty()) {
        if (const auto total = ParseNumber(std::string_view(line).substr(kTotals.size())))
          count.values[part] = *total;
      }
    }
  }
}

// The "name value" lines of the child's standard output.
inline void ReadChildLines(const std::filesystem::path& file, CallgrindCount& count) {
  std::ifstream in(file);
  std::string line;
  while (std::getline(in, line)) {
    const std::size_t space = line.find(' ');
    if (space == std::string::npos) continue;
    if (const auto value = ParseNumber(std::string_view(line).substr(space + 1)))
      count.values[line.substr(0, space)] = *value;
  }
}

// This executable run under callgrind with kCountInstructions, its files in `folder` (made
// empty first).
inline CallgrindCount CountUnderCallgrind(const std::filesystem::path& folder) {
  namespace fs = std::filesystem;
  CallgrindCount count;
  if (!QUARN_BENCH_HAS_CALLGRIND) {
    count.failure = "the benchmarks were built without valgrind's header";
    return count;
  }
  std::error_code ignored;
  fs::remove_all(folder, ignored);
  fs::create_directories(folder);
  // Valgrind given /proc/self/exe would open its own executable.
  const std::string self = fs::read_symlink("/proc/self/exe").string();
  std::vector<std::string> args = {"valgrind",
                                   "--tool=callgrind",
                                   "--instr-atstart=no",
                                   "--callgrind-out-file=" + (folder / "callgrind.out").string(),
                                   "--log-file=" + (folder / "valgrind.log").string(),
                                   self,
                                   std::string(kCountInstructions),
                                   folder.string()};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const std::string out = (folder / "child.txt").string();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t child = 0;
  const int spawned = posix_spawnp(&child, "valgrind", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    count.failure = spawned == ENOENT ? "valgrind is not installed" : "valgrind did not start";
    return count;
  }
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    count.failure = "the count under callgrind failed (" + (folder / "valgrind.log").string() + ")";
    return count;
  }
  ReadChildLines(out, count);
  ReadCallgrindDumps(folder, count);
  return count;
}

}  // namespace quarn::bench
