#include "files/jet_reader_client.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <thread>

#include "jet_reader/jet_reply.h"
#include "text/cp1252.h"

extern char** environ;

namespace quarn {

namespace {

using Clock = std::chrono::steady_clock;

// The reader stops itself at 512 MB; a sound reference database answers well within this.
constexpr auto kTimeLimit = std::chrono::seconds(10);
// No table of ours comes near this; a reply beyond it is a reader gone wrong.
constexpr size_t kLargestReply = size_t{256} << 20;

std::string ReaderPath() {
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return (self.parent_path() / kJetReaderName).string();
}

// Closes a descriptor once, on every way out.
class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() { Close(); }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  void Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
};

int MillisecondsLeft(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// Reads the pipe to its end; false when the deadline passes first or the reply grows too
// large.
bool ReadAll(int fd, Clock::time_point deadline, std::string& out) {
  char chunk[65536];
  for (;;) {
    pollfd p{fd, POLLIN, 0};
    const int ready = poll(&p, 1, MillisecondsLeft(deadline));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return false;
    const ssize_t n = read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    out.append(chunk, static_cast<size_t>(n));
    if (out.size() > kLargestReply) return false;
  }
}

// Waits for the child until the deadline, then stops it; true when it ended by itself with
// status 0.
bool EndedWell(pid_t pid, Clock::time_point deadline) {
  int status = 0;
  for (;;) {
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (done < 0 && errno != EINTR) return false;
    if (Clock::now() >= deadline) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  kill(pid, SIGKILL);
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return false;
}

}  // namespace

std::optional<std::string> RunJetReader(const std::vector<std::string>& args, std::string* error) {
  auto fail = [&](const std::string& why) -> std::optional<std::string> {
    if (error != nullptr) *error = why;
    return std::nullopt;
  };
  const std::string program = ReaderPath();
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);

  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) return fail("The database reader cannot be started.");
  Fd read_end(ends[0]);
  Fd write_end(ends[1]);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, write_end.get(), STDOUT_FILENO);
  // The library writes its complaints about a damaged file to stderr; the user sees ours.
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  write_end.Close();
  if (spawned != 0) return fail("The database reader " + program + " cannot be started.");

  const Clock::time_point deadline = Clock::now() + kTimeLimit;
  std::string reply;
  const bool complete = ReadAll(read_end.get(), deadline, reply);
  read_end.Close();
  const bool ended_well = EndedWell(pid, complete ? deadline : Clock::now());
  if (!complete || !ended_well) return fail("The file is not a database or is damaged.");
  return reply;
}

namespace {

// Reads the leading status field: true for "ok"; for "error" the reason goes to the refusal.
template <typename T>
bool ReadStatus(jet_reply::FieldReader& fields, JetReply<T>& out) {
  const std::optional<std::string_view> status = fields.Next();
  if (!status) return false;
  if (*status == "ok") return true;
  if (*status == "error") {
    const std::optional<std::string_view> reason = fields.Next();
    if (reason && fields.AtEnd() && !reason->empty()) out.refusal = Utf8ToCp1252(*reason);
  }
  return false;
}

}  // namespace

JetReply<std::vector<JetTableName>> DecodeJetTableList(std::string_view reply) {
  JetReply<std::vector<JetTableName>> out;
  jet_reply::FieldReader fields(reply);
  if (!ReadStatus(fields, out)) return out;
  const std::optional<size_t> count = fields.NextCount();
  if (!count) return out;
  std::vector<JetTableName> names;
  names.reserve(*count);
  for (size_t i = 0; i < *count; ++i) {
    const std::optional<std::string_view> name = fields.Next();
    if (!name) return out;
    names.push_back({std::string(*name), Utf8ToCp1252(*name)});
  }
  if (fields.AtEnd()) out.value = std::move(names);
  return out;
}

JetReply<JetTable> DecodeJetTable(std::string_view reply) {
  JetReply<JetTable> out;
  jet_reply::FieldReader fields(reply);
  if (!ReadStatus(fields, out)) return out;
  const std::optional<size_t> columns = fields.NextCount();
  const std::optional<size_t> rows = fields.NextCount();
  if (!columns || !rows || *columns == 0) return out;
  JetTable table;
  for (size_t c = 0; c < *columns; ++c) {
    const std::optional<std::string_view> name = fields.Next();
    if (!name) return out;
    table.columns.push_back(Utf8ToCp1252(*name));
  }
  for (size_t r = 0; r < *rows; ++r) {
    std::vector<std::string> row;
    row.reserve(*columns);
    for (size_t c = 0; c < *columns; ++c) {
      const std::optional<std::string_view> value = fields.Next();
      if (!value) return out;
      row.push_back(Utf8ToCp1252(*value));
    }
    table.rows.push_back(std::move(row));
  }
  if (fields.AtEnd()) out.value = std::move(table);
  return out;
}

}  // namespace quarn
