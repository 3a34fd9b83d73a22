#include "text/work_folder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "text/paths.h"

namespace quarn {
namespace {

namespace fs = std::filesystem;

constexpr const char* kDefaultName = "DudeDirav";
constexpr const char* kCopyPrefix = "copy-";
constexpr const char* kMakingPrefix = "making-";
constexpr const char* kLockName = ".lock";

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value && value[0] == '/' ? std::string(value) : std::string();
}

bool EndsWithAnyCase(const std::string& name, std::string_view tail) {
  if (name.size() < tail.size()) return false;
  return std::equal(tail.begin(), tail.end(), name.end() - static_cast<std::ptrdiff_t>(tail.size()),
                    [](char a, char b) {
                      return std::tolower(static_cast<unsigned char>(a)) ==
                             std::tolower(static_cast<unsigned char>(b));
                    });
}

bool IsWorkFileName(const std::string& name) {
  for (std::string_view extension : {".tmp", ".emp", ".cmp", ".ave"})
    if (EndsWithAnyCase(name, extension)) return true;
  return false;
}

// Removes the work files (by extension, any letter case) directly inside `folder`.
void EraseWorkFilesIn(const fs::path& folder) {
  std::error_code ec;
  std::vector<fs::path> matches;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code ignored;
    if (!it->is_symlink(ignored) && it->is_regular_file(ignored) &&
        IsWorkFileName(it->path().filename().string()))
      matches.push_back(it->path());
  }
  for (const fs::path& path : matches) {
    std::error_code ignored;
    fs::remove(path, ignored);
  }
}

WorkFolderHook& Hook() {
  static WorkFolderHook hook = nullptr;
  return hook;
}

// A folder of this copy inside a temporary folder and the lock that marks it in use.
struct CopyFolder {
  std::string base;  // the temporary folder, as the settings name it
  std::string path;
  int lock = -1;
};

// The folders this process holds. A child forked from it is another copy: it inherits the
// list but not the folders, and closing its descriptors leaves the parent's locks held.
std::vector<CopyFolder>& HeldCopies() {
  static std::vector<CopyFolder> held;
  static pid_t owner = getpid();
  if (owner != getpid()) {
    for (const CopyFolder& copy : held) close(copy.lock);
    held.clear();
    owner = getpid();
  }
  return held;
}

bool IsHeldCopy(const std::string& folder) {
  const std::vector<CopyFolder>& held = HeldCopies();
  return std::any_of(held.begin(), held.end(),
                     [&](const CopyFolder& copy) { return copy.path == folder; });
}

int& WriteFault() {
  static int error = 0;
  return error;
}

bool SameFolder(const std::string& a, const std::string& b) {
  if (a == b) return true;
  std::error_code ec;
  const bool same = fs::equivalent(a, b, ec);
  return !ec && same;
}

// Opens and locks the lock file of a copy folder; -1 when another running copy holds it.
int LockCopyFolder(const std::string& folder) {
  const std::string lock = JoinPath(folder, kLockName);
  const int fd = open(lock.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return -1;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

// Renames the folder without replacing anything at the new name.
bool RenameFolderOnce(const std::string& from, const std::string& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // A file system without the flag: the new name is this copy's own random one.
  struct stat st {};
  return lstat(to.c_str(), &st) != 0 && rename(from.c_str(), to.c_str()) == 0;
}

std::optional<std::string> MakeCopyFolder(const std::string& base, std::string* reason) {
  std::vector<CopyFolder>& held = HeldCopies();
  // A folder erased meanwhile (by the exit question, or by hand) is let go.
  std::erase_if(held, [](const CopyFolder& copy) {
    struct stat st {};
    const bool gone = lstat(copy.path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode);
    if (gone) close(copy.lock);
    return gone;
  });
  for (const CopyFolder& copy : held)
    if (SameFolder(copy.base, base)) return copy.path;
  auto fail = [&](const std::string& what) -> std::optional<std::string> {
    if (reason) *reason = base + " " + what + ": " + std::strerror(errno);
    return std::nullopt;
  };
  // Made under a name that another copy's exit passes over, and named as a copy's folder
  // only once it is locked: an exit that erases idle copies' folders meanwhile would take an
  // unlocked "copy-" folder for one of them.
  std::string making = JoinPath(base, std::string(kMakingPrefix) + "XXXXXX");
  if (mkdtemp(making.data()) == nullptr) return fail("cannot hold a new folder");
  if (Hook()) Hook()(WorkFolderMoment::CopyFolderMade, making);
  const int lock = LockCopyFolder(making);
  const std::string named =
      JoinPath(base, kCopyPrefix + making.substr(making.size() - std::strlen("XXXXXX")));
  if (lock < 0 || !RenameFolderOnce(making, named)) {
    auto failed = fail("cannot hold a new folder");
    if (lock >= 0) close(lock);
    std::error_code ignored;
    fs::remove_all(making, ignored);
    return failed;
  }
  held.push_back(CopyFolder{base, named, lock});
  return named;
}

// Removes a copy's folder: its work files, its lock and, when nothing else is left in it,
// the folder.
void RemoveCopyFolder(const fs::path& folder) {
  EraseWorkFilesIn(folder);
  std::error_code ignored;
  fs::remove(folder / kLockName, ignored);
  fs::remove(folder, ignored);
}

// The default folder of earlier versions, in the system's temporary folder, which settings
// files still name: shared by every user, so the private default takes its place.
bool IsSharedDefault(const std::string& folder) {
  std::error_code ec;
  const fs::path temp = fs::temp_directory_path(ec);
  return !ec && (folder == (temp / kDefaultName).string() || folder == "/tmp/DudeDirav");
}

bool Refuse(const std::string& folder, const std::string& why, std::string* reason) {
  if (reason) *reason = folder + " " + why;
  return false;
}

// Makes `folder` for the user alone when it is missing (its parents as they come) and reads
// what is at its name, through a link or of the link itself; false with the reason.
bool MakeAndExamine(const std::string& folder, bool follow_link, struct stat& st,
                    std::string* reason) {
  std::error_code ec;
  const fs::path parent = fs::path(folder).parent_path();
  if (!parent.empty()) fs::create_directories(parent, ec);
  // The umask can only take permissions away from 0700.
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
    return Refuse(folder, std::string("cannot be created: ") + std::strerror(errno), reason);
  const int examined = follow_link ? stat(folder.c_str(), &st) : lstat(folder.c_str(), &st);
  if (examined != 0)
    return Refuse(folder, std::string("cannot be examined: ") + std::strerror(errno), reason);
  return true;
}

// A folder the user chose. One in which another account may put or rename files (writable by
// others, without the sticky bit that keeps each file to its owner) is refused: that account
// could swap the work files under the results.
bool UsableChosenFolder(const std::string& folder, std::string* reason) {
  struct stat st {};
  if (!MakeAndExamine(folder, true, st, reason)) return false;
  if (!S_ISDIR(st.st_mode)) return Refuse(folder, "is not a folder", reason);
  const bool others_write =
      (st.st_mode & S_IWOTH) != 0 || ((st.st_mode & S_IWGRP) != 0 && st.st_gid != getegid());
  if (others_write && (st.st_mode & S_ISVTX) == 0)
    return Refuse(folder, "may be written by other users and is not sticky", reason);
  return true;
}

// Why the file just opened at a work file's name is not to be written, or empty when it is
// the user's own regular file with no other name; it is then emptied and made blocking.
std::string RefusalOfOpenedWorkFile(int fd) {
  struct stat st {};
  if (fstat(fd, &st) != 0) return std::strerror(errno);
  if (!S_ISREG(st.st_mode)) return "it is not a regular file";
  if (st.st_uid != geteuid()) return "it belongs to another user";
  if (st.st_nlink != 1) return "the file has another name as well";
  if (fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0 || ftruncate(fd, 0) != 0)
    return std::strerror(errno);
  return {};
}

}  // namespace

std::string DefaultTempFolder() {
  std::string base = Environment("XDG_RUNTIME_DIR");
  if (base.empty()) {
    base = Environment("XDG_CACHE_HOME");
    if (base.empty() && !Environment("HOME").empty())
      base = JoinPath(Environment("HOME"), ".cache");
    if (!base.empty()) base = JoinPath(base, "quarn");
  }
  if (base.empty()) {
    // No folder of the user's own is known: a name of this user's in the system's one.
    std::error_code ec;
    fs::path temp = fs::temp_directory_path(ec);
    if (ec) temp = "/tmp";
    base = JoinPath(temp.string(), "quarn-" + std::to_string(geteuid()));
  }
  return JoinPath(base, kDefaultName);
}

bool MakePrivateFolder(const std::string& folder, std::string* reason) {
  auto refuse = [&](const std::string& why) { return Refuse(folder, why, reason); };
  struct stat st {};
  if (!MakeAndExamine(folder, false, st, reason)) return false;
  if (S_ISLNK(st.st_mode)) return refuse("is a symbolic link");
  if (!S_ISDIR(st.st_mode)) return refuse("is not a folder");
  if (st.st_uid != geteuid()) return refuse("belongs to another user");
  if ((st.st_mode & 077) == 0) return true;
  // A folder of the user's that others may enter (made by an earlier version, or by hand
  // under the usual umask) is the user's to close: closed through a descriptor of the folder
  // itself, so that nothing put at its name in between is changed instead.
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return refuse(std::string("cannot be opened: ") + std::strerror(errno));
  struct stat opened {};
  const bool same = fstat(fd, &opened) == 0 && opened.st_dev == st.st_dev &&
                    opened.st_ino == st.st_ino && opened.st_uid == geteuid();
  const bool closed = same && fchmod(fd, 0700) == 0;
  const int code = errno;
  close(fd);
  if (!same) return refuse("changed while it was checked");
  if (!closed) return refuse(std::string("cannot be made private: ") + std::strerror(code));
  return true;
}

std::string WorkFolderRefusal(const std::string& reason) {
  return "Error.  The work folder cannot be used: " + reason + ".";
}

std::optional<std::string> WorkFolderOf(const std::string& temp_folder, std::string* reason) {
  const std::string base = DefaultTempFolder();
  if (temp_folder.empty() || SameFolder(temp_folder, base) || IsSharedDefault(temp_folder)) {
    if (!MakePrivateFolder(base, reason)) return std::nullopt;
    return MakeCopyFolder(base, reason);
  }
  if (!UsableChosenFolder(temp_folder, reason)) return std::nullopt;
  return MakeCopyFolder(temp_folder, reason);
}

void EraseIdleWorkFiles() {
  const std::string base = DefaultTempFolder();
  struct stat st {};
  if (lstat(base.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != geteuid()) return;
  EraseWorkFilesIn(base);
  std::error_code ec;
  std::vector<fs::path> idle;
  for (fs::directory_iterator it(base, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    std::error_code ignored;
    if (name.rfind(kCopyPrefix, 0) != 0 || it->is_symlink(ignored) || !it->is_directory(ignored))
      continue;
    const std::string folder = it->path().string();
    if (IsHeldCopy(folder)) {
      idle.push_back(it->path());
      continue;
    }
    const int lock = LockCopyFolder(folder);
    if (lock < 0) continue;  // a running copy holds it
    idle.push_back(it->path());
    close(lock);
  }
  for (const fs::path& folder : idle) RemoveCopyFolder(folder);
}

void EraseOwnWorkFolders() {
  std::vector<CopyFolder>& held = HeldCopies();
  for (const CopyFolder& copy : held) {
    RemoveCopyFolder(copy.path);
    close(copy.lock);
  }
  held.clear();
}

std::string WorkFileFailure(const std::string& path, const std::string& reason) {
  return "Error.  The work file " + path + " could not be written: " + reason + ".";
}

void SetWorkFolderHook(WorkFolderHook hook) {
  Hook() = hook;
}

void SetWorkFileWriteFault(int error) {
  WriteFault() = error;
}

WorkFileOutput::~WorkFileOutput() {
  if (fd_ >= 0) close(fd_);
}

WorkFileOutput::WorkFileOutput(WorkFileOutput&& other) noexcept : fd_(other.fd_) {
  other.fd_ = -1;
}

WorkFileOutput& WorkFileOutput::operator=(WorkFileOutput&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) close(fd_);
    fd_ = other.fd_;
    other.fd_ = -1;
  }
  return *this;
}

bool WorkFileOutput::Create(const std::string& path, std::string* reason) {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  auto fail = [&](const std::string& why) {
    if (reason) *reason = why;
    return false;
  };
  struct stat st {};
  if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode) && unlink(path.c_str()) != 0)
    return fail(std::strerror(errno));
  // No link is followed, and a pipe at the name cannot hold the program up. What is there is
  // emptied only once it is known to be the user's own work file.
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
  if (fd < 0) return fail(std::strerror(errno));
  const std::string refusal = RefusalOfOpenedWorkFile(fd);
  if (!refusal.empty()) {
    close(fd);
    return fail(refusal);
  }
  fd_ = fd;
  if (Hook()) Hook()(WorkFolderMoment::WorkFileMade, path);
  return true;
}

bool WorkFileOutput::Write(std::string_view bytes, std::string* reason) {
  if (fd_ < 0) {
    if (reason) *reason = "the file is not open";
    return false;
  }
  if (WriteFault() != 0) {
    if (reason) *reason = std::strerror(WriteFault());
    return false;
  }
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd_, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (reason) *reason = std::strerror(n < 0 ? errno : ENOSPC);
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool WorkFileOutput::Close(std::string* reason) {
  if (fd_ < 0) return true;
  const int result = close(fd_);
  fd_ = -1;
  if (result == 0) return true;
  if (reason) *reason = std::strerror(errno);
  return false;
}

bool WriteWorkFile(const std::string& path, std::string_view bytes, std::string* reason) {
  WorkFileOutput out;
  return out.Create(path, reason) && out.Write(bytes, reason) && out.Close(reason);
}

}  // namespace quarn
