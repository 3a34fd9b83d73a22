#include "text/text_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <string>
#include <utility>

#include "text/file_stamps.h"
#include "text/number_read.h"

namespace quarn {

std::string SizeLimitText(std::uint64_t limit) {
  return std::to_string(limit >> 20) + " MB";
}

int OpenRegularFile(const std::string& path, std::uint64_t limit, ReadFailure* failure) {
  auto fail = [&](ReadFailure why) {
    if (failure) *failure = why;
    return -1;
  };
  // Opened without waiting: a pipe nobody writes into would otherwise hold the program up
  // for ever, before its kind could be seen.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    return fail(errno == ENOENT || errno == ENOTDIR ? ReadFailure::Missing
                                                    : ReadFailure::Unreadable);
  }
  struct stat st {};
  ReadFailure refusal = ReadFailure::None;
  const bool regular = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  if (regular && static_cast<std::uint64_t>(st.st_size) > limit) {
    refusal = ReadFailure::TooLarge;
  } else if (!regular || fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
    refusal = ReadFailure::Unreadable;
  }
  if (refusal != ReadFailure::None) {
    close(fd);
    return fail(refusal);
  }
  if (failure) *failure = ReadFailure::None;
  return fd;
}

bool ReadFileBytes(const std::string& path, std::string& out, ReadFailure* failure,
                   std::uint64_t limit) {
  // Read with the system calls: the C++ streams throw out of a read error (a pulled stick, a
  // dropped share, a folder), which would end the program with every unsaved edit.
  const int fd = OpenRegularFile(path, limit, failure);
  if (fd < 0) return false;
  std::string bytes;
  std::array<char, 65536> chunk{};
  ReadFailure outcome = ReadFailure::None;
  for (;;) {
    const ssize_t n = read(fd, chunk.data(), chunk.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      outcome = ReadFailure::Unreadable;
      break;
    }
    if (n == 0) break;
    // A file that grows while it is read (or that gives no size) is held to the limit too.
    if (bytes.size() + static_cast<std::size_t>(n) > limit) {
      outcome = ReadFailure::TooLarge;
      break;
    }
    bytes.append(chunk.data(), static_cast<std::size_t>(n));
  }
  // What was read is what a later save of the file may replace without asking.
  struct stat st {};
  if (outcome == ReadFailure::None && fstat(fd, &st) == 0) NoteFileSeen(path, st);
  close(fd);
  if (failure) *failure = outcome;
  if (outcome != ReadFailure::None) return false;
  out = std::move(bytes);
  return true;
}

void ItemReader::SkipBlanks() {
  while (pos_ < bytes_.size() && bytes_[pos_] == ' ') ++pos_;
}

bool ItemReader::AtLineEnd() const {
  return pos_ < bytes_.size() && (bytes_[pos_] == '\r' || bytes_[pos_] == '\n');
}

void ItemReader::SkipLineEnd() {
  if (pos_ < bytes_.size() && bytes_[pos_] == '\r') ++pos_;
  if (pos_ < bytes_.size() && bytes_[pos_] == '\n') ++pos_;
  ++line_;
  pending_field_ = false;
}

void ItemReader::EndItem() {
  SkipBlanks();
  if (AtEnd()) return;
  if (bytes_[pos_] == ',' || bytes_[pos_] == '\t') {
    ++pos_;
    pending_field_ = true;
  } else if (AtLineEnd()) {
    SkipLineEnd();
  }
}

std::optional<std::string> ItemReader::ReadItem() {
  SkipBlanks();
  item_line_ = line_;
  if (AtEnd()) return std::nullopt;
  std::string item;
  if (bytes_[pos_] == '"') {
    const std::size_t close = bytes_.find('"', pos_ + 1);
    const std::size_t stop = close == std::string_view::npos ? bytes_.size() : close;
    item = std::string(bytes_.substr(pos_ + 1, stop - pos_ - 1));
    pos_ = close == std::string_view::npos ? bytes_.size() : close + 1;
    EndItem();
    return item;
  }
  while (pos_ < bytes_.size() && bytes_[pos_] != ',' && !AtLineEnd()) item += bytes_[pos_++];
  while (!item.empty() && item.back() == ' ') item.pop_back();
  if (pos_ < bytes_.size() && bytes_[pos_] == ',') {
    ++pos_;
    pending_field_ = true;
  } else if (AtLineEnd()) {
    SkipLineEnd();
  }
  return item;
}

std::optional<double> ItemReader::ReadNumber() {
  // Blank lines before a number are passed over, unless a comma or tab just opened an
  // empty last field of its line.
  for (;;) {
    SkipBlanks();
    item_line_ = line_;
    if (AtEnd()) return std::nullopt;
    if (!AtLineEnd() || pending_field_) break;
    SkipLineEnd();
  }
  last_item_.clear();
  while (pos_ < bytes_.size()) {
    const char c = bytes_[pos_];
    if (c == ' ' || c == ',' || c == '\t' || c == '\r' || c == '\n') break;
    last_item_ += c;
    ++pos_;
  }
  pending_field_ = false;
  EndItem();
  if (last_item_.empty()) return 0.0;
  return ParseNumber(last_item_);
}

std::optional<std::string> ItemReader::ReadLine() {
  item_line_ = line_;
  if (AtEnd()) return std::nullopt;
  const std::size_t start = pos_;
  while (pos_ < bytes_.size() && !AtLineEnd()) ++pos_;
  std::string line(bytes_.substr(start, pos_ - start));
  if (AtLineEnd()) SkipLineEnd();
  pending_field_ = false;
  return line;
}

}  // namespace quarn
