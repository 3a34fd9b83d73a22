#include "text/text_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

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
  // The temporary name is as short as it can be, so that a target whose name is near the
  // system's longest still saves.
  std::string temp = folder + ".quarn-XXXXXX";
  const int fd = mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return fail(std::strerror(errno));
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
  return true;
}

}  // namespace quarn
