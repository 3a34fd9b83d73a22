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

bool WriteFileAtomic(const std::string& path, std::string_view bytes, std::string* error) {
  auto fail = [&](const std::string& reason) {
    if (error) *error = reason;
    return false;
  };
  auto fail_errno = [&](int code) {
    return fail("cannot write " + path + ": " + std::strerror(code));
  };
  // The rename below would replace a file the user protected, whoever runs the program (root
  // may write anything): judge by the file's own permission bits.
  struct stat target {};
  if (stat(path.c_str(), &target) == 0 && S_ISREG(target.st_mode) &&
      (target.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
    return fail(path + " is read-only");
  }
  // The new file goes into the target's own folder, so that the rename stays on one file
  // system and replaces the old file in one step.
  const std::string temp = path + ".new~";
  const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return fail_errno(errno);
  auto discard = [&](int code) {
    close(fd);
    unlink(temp.c_str());
    return fail_errno(code);
  };
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return discard(n < 0 ? errno : ENOSPC);
    done += static_cast<std::size_t>(n);
  }
  if (close(fd) != 0) {
    const int code = errno;
    unlink(temp.c_str());
    return fail_errno(code);
  }
  if (rename(temp.c_str(), path.c_str()) != 0) {
    const int code = errno;
    unlink(temp.c_str());
    return fail("cannot replace " + path + ": " + std::strerror(code));
  }
  return true;
}

}  // namespace quarn
