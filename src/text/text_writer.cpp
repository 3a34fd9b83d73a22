#include "text/text_writer.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

#include "text/file_stamps.h"

namespace quarn {

void LineWriter::Put(std::string_view text) {
  bytes_.append(text);
}

void LineWriter::PutZoned(std::string_view text) {
  Put(text);
  const std::size_t column = Column();
  const std::size_t next_zone = (column / kZoneWidth + 1) * kZoneWidth;
  bytes_.append(next_zone - column, ' ');
}

void LineWriter::NewLine() {
  bytes_ += "\r\n";
  line_start_ = bytes_.size();
}

namespace {

// The file a save replaces: a symbolic link is followed (through every link of a chain) so
// that the link stays and the file it names gets the new content.
std::string LinkTarget(const std::string& path) {
  std::string target = path;
  for (int hop = 0; hop < 40; ++hop) {
    struct stat st {};
    if (lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return target;
    std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
    const ssize_t n = readlink(target.c_str(), link.data(), link.size());
    if (n <= 0) return target;
    link.resize(static_cast<std::size_t>(n));
    const std::size_t slash = target.rfind('/');
    target = link.front() == '/' || slash == std::string::npos ? link
                                                               : target.substr(0, slash + 1) + link;
  }
  return target;
}

constexpr std::string_view kSaveCopyPrefix = ".quarn-";
constexpr std::size_t kRandomPart = 6;  // the XXXXXX that mkostemp fills

// The process that made a save's new copy of this name: ".quarn-1234-a1B2c3" was made by
// 1234. nullopt for any other name.
std::optional<pid_t> SaveCopyOwner(std::string_view name) {
  if (name.substr(0, kSaveCopyPrefix.size()) != kSaveCopyPrefix) return std::nullopt;
  name.remove_prefix(kSaveCopyPrefix.size());
  const std::size_t dash = name.find('-');
  if (dash == 0 || dash == std::string_view::npos || dash > 9) return std::nullopt;
  if (name.size() != dash + 1 + kRandomPart) return std::nullopt;
  pid_t pid = 0;
  for (char c : name.substr(0, dash)) {
    if (std::isdigit(static_cast<unsigned char>(c)) == 0) return std::nullopt;
    pid = pid * 10 + (c - '0');
  }
  for (char c : name.substr(dash + 1))
    if (std::isalnum(static_cast<unsigned char>(c)) == 0) return std::nullopt;
  return pid;
}

// A process of another user is still a process: the system only refuses to signal it.
bool ProcessRuns(pid_t pid) {
  return kill(pid, 0) == 0 || errno == EPERM;
}

// Removes the copy when it is a regular file of this user's that no save holds locked (a
// process of the same number on another machine sharing the folder would hold it).
void RemoveIfUnheld(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return;
  struct stat st {};
  if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == geteuid() &&
      flock(fd, LOCK_EX | LOCK_NB) == 0)
    unlink(path.c_str());
  close(fd);
}

mode_t NewFileMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

}  // namespace

bool WriteFileAtomic(const std::string& path, std::string_view bytes, std::string* error) {
  auto fail = [&](const std::string& reason) {
    if (error) *error = reason;
    return false;
  };
  const std::string target = LinkTarget(path);
  // Whether this user may write the file is the system's to say (an owner write bit says
  // nothing of who the owner is); a file without any write bit stays as it is even for root.
  struct stat old {};
  const bool exists = stat(target.c_str(), &old) == 0;
  // A pipe, device or folder is no file to replace: renaming over it would put a plain file
  // where something else was.
  if (exists && !S_ISREG(old.st_mode)) return fail("it is not a regular file");
  if (exists) {
    if ((old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return fail("the file is read-only");
    if (faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
      return fail(std::strerror(errno));
  }
  // The new file goes into the target's own folder, so that the rename stays on one file
  // system and replaces the old file in one step; its name is unpredictable and it is created
  // only if nothing has that name.
  const std::size_t slash = target.rfind('/');
  const std::string folder =
      slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  RemoveSaveLeftovers(folder.empty() ? std::string(".") : folder);
  // The temporary name is short whatever the target's, so that a target whose name is near
  // the system's longest still saves.
  std::string temp = folder + std::string(kSaveCopyPrefix) + std::to_string(getpid()) + "-XXXXXX";
  const int fd = mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return fail(std::strerror(errno));
  flock(fd, LOCK_EX | LOCK_NB);  // a new file of a random name: nobody else holds it
  auto discard = [&](int code) {
    close(fd);
    unlink(temp.c_str());
    return fail(std::strerror(code));
  };
  if (fchmod(fd, exists ? (old.st_mode & 07777) : NewFileMode()) != 0) return discard(errno);
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return discard(n < 0 ? errno : ENOSPC);
    done += static_cast<std::size_t>(n);
  }
  // On disk before it replaces the old file: a power cut then leaves one or the other whole.
  if (fsync(fd) != 0) return discard(errno);
  struct stat written {};
  const bool stamped = fstat(fd, &written) == 0;
  if (close(fd) != 0) {
    const int code = errno;
    unlink(temp.c_str());
    return fail(std::strerror(code));
  }
  if (rename(temp.c_str(), target.c_str()) != 0) {
    const int code = errno;
    unlink(temp.c_str());
    return fail(std::strerror(code));
  }
  if (stamped) NoteFileSeen(target, written);
  return true;
}

void RemoveSaveLeftovers(const std::string& folder) {
  if (folder.empty()) return;
  std::error_code ec;
  std::vector<std::string> dead;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::optional<pid_t> owner = SaveCopyOwner(it->path().filename().string());
    if (owner && *owner != getpid() && !ProcessRuns(*owner)) dead.push_back(it->path().string());
  }
  for (const std::string& path : dead) RemoveIfUnheld(path);
}

}  // namespace quarn
