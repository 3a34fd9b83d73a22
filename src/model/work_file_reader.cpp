#include "model/work_file_reader.h"

#include <algorithm>
#include <atomic>
#include <cassert>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <limits>
#include <map>
#include <mutex>
#include <optional>
#include <sstream>

#include "text/number_read.h"
#include "text/number_text.h"

namespace quarn {

namespace {

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

std::string LineText(int line) {
  return FormatDouble(static_cast<double>(line));
}

// The end line holds -999; the comparison is relative so that any text of it matches.
bool IsEndMark(float time) {
  return std::fabs(-999.0 - time) / 999.0 < 0.0001;
}

}  // namespace

bool IsSeparator(char c, char separator) {
  return c == separator || c == ',' || c == '\t';
}

bool SplitNumberLine(std::string_view line, char separator, std::vector<float>& out) {
  out.clear();
  std::size_t start = 0;
  while (true) {
    std::size_t end = start;
    while (end < line.size() && !IsSeparator(line[end], separator)) ++end;
    const std::string_view item = TrimBlanks(line.substr(start, end - start));
    const bool last = end >= line.size();
    if (item.empty()) {
      // Only the item after a trailing separator may be empty.
      return last && !out.empty();
    }
    const std::optional<float> single = ParseSingle(item);
    if (!single) return false;
    out.push_back(*single);
    if (last) return true;
    start = end + 1;
  }
}

TextLineSource::TextLineSource(const std::string& path)
    : in_(std::make_unique<std::ifstream>(path, std::ios::binary)) {}

TextLineSource TextLineSource::FromText(std::string text) {
  TextLineSource source;
  source.in_ = std::make_unique<std::istringstream>(std::move(text));
  return source;
}

bool TextLineSource::Next(std::string& line) {
  if (!in_ || !std::getline(*in_, line)) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  ++line_number_;
  return true;
}

struct ParsedWorkFile {
  std::vector<float> numbers;  // Width() numbers a record, the time first
  std::vector<int> lines;      // the line of each record
  ConcWorkFileReader::Status ending = ConcWorkFileReader::Status::End;
  bool end_mark_seen = false;
  std::string error;
  int last_line = 0;  // the line of the end mark or of the error, or the file's last line

  std::size_t Count() const { return lines.size(); }
};

namespace {

std::atomic<long> parses{0};

// `bytes` is the file's size where it is known: the records are held in one block, sized
// from the first line, rather than copied again at every doubling.
std::shared_ptr<const ParsedWorkFile> Parse(TextLineSource& source, char separator, int width,
                                            std::uintmax_t bytes) {
  ++parses;
  auto file = std::make_shared<ParsedWorkFile>();
  std::string line;
  std::vector<float> values;
  while (source.Next(line)) {
    file->last_line = source.LineNumber();
    if (TrimBlanks(line).empty()) continue;
    if (!SplitNumberLine(line, separator, values)) {
      file->error = "Line " + LineText(source.LineNumber()) +
                    " of the concentration file is not a line of numbers.";
      file->ending = ConcWorkFileReader::Status::Error;
      return file;
    }
    if (IsEndMark(values[0])) {
      file->end_mark_seen = true;
      return file;
    }
    if (static_cast<int>(values.size()) != width) {
      file->error = "Line " + LineText(source.LineNumber()) + " of the concentration file holds " +
                    LineText(static_cast<int>(values.size())) + " numbers instead of " +
                    LineText(width) + ".";
      file->ending = ConcWorkFileReader::Status::Error;
      return file;
    }
    if (file->lines.empty() && bytes > 0) {
      const std::uintmax_t records = bytes / (line.size() + 1) + 1;
      file->numbers.reserve(static_cast<std::size_t>(records) * values.size());
      file->lines.reserve(static_cast<std::size_t>(records));
    }
    file->numbers.insert(file->numbers.end(), values.begin(), values.end());
    file->lines.push_back(source.LineNumber());
  }
  return file;
}

namespace fs = std::filesystem;

// What tells one content of a file from another without reading it.
struct FileStamp {
  std::uintmax_t size = 0;
  fs::file_time_type modified;
  bool operator==(const FileStamp&) const = default;
};

std::optional<FileStamp> StampOf(const std::string& path) {
  std::error_code ec;
  FileStamp stamp;
  stamp.size = fs::file_size(path, ec);
  if (ec) return std::nullopt;
  stamp.modified = fs::last_write_time(path, ec);
  if (ec) return std::nullopt;
  return stamp;
}

// File times advance in ticks of the system clock (a few milliseconds): a file rewritten in
// the tick in which it was parsed may keep its stamp, so records parsed that close to the
// file's time are not trusted, unless the run's own writer vouches for the stamp.
constexpr auto kFileClockTick = std::chrono::milliseconds(100);
// A year's records are some 40 MB; the results windows work on one run at a time.
constexpr std::size_t kFilesKept = 2;

struct KeptFile {
  std::string path;
  char separator = ',';
  int width = 0;
  FileStamp stamp;
  bool trusted = false;
  std::shared_ptr<const ParsedWorkFile> file;
};

class ParsedWorkFiles {
 public:
  std::shared_ptr<const ParsedWorkFile> Get(const std::string& path, char separator, int width) {
    const std::optional<FileStamp> stamp = StampOf(path);
    if (!stamp) return nullptr;
    {
      std::lock_guard lock(mutex_);
      for (auto it = kept_.begin(); it != kept_.end(); ++it) {
        if (it->path == path && it->separator == separator && it->width == width &&
            it->stamp == *stamp && it->trusted) {
          std::rotate(kept_.begin(), it, it + 1);
          return kept_.front().file;
        }
      }
    }
    const auto parsed_at = fs::file_time_type::clock::now();
    TextLineSource source(path);
    if (!source.IsOpen()) return nullptr;
    std::shared_ptr<const ParsedWorkFile> file = Parse(source, separator, width, stamp->size);
    // Written again while it was read: keep nothing.
    if (StampOf(path) != stamp) return file;
    std::lock_guard lock(mutex_);
    const auto written = written_.find(path);
    const bool trusted = stamp->modified + kFileClockTick < parsed_at ||
                         (written != written_.end() && written->second == *stamp);
    std::erase_if(kept_, [&](const KeptFile& k) { return k.path == path; });
    kept_.insert(kept_.begin(), KeptFile{path, separator, width, *stamp, trusted, file});
    if (kept_.size() > kFilesKept) kept_.pop_back();
    return file;
  }

  void Forget(const std::string& path) {
    std::lock_guard lock(mutex_);
    std::erase_if(kept_, [&](const KeptFile& k) { return k.path == path; });
    written_.erase(path);
  }

  void Written(const std::string& path) {
    const std::optional<FileStamp> stamp = StampOf(path);
    std::lock_guard lock(mutex_);
    if (stamp) written_[path] = *stamp;
  }

 private:
  std::mutex mutex_;
  std::vector<KeptFile> kept_;  // the most recently read first
  std::map<std::string, FileStamp> written_;
};

ParsedWorkFiles& Kept() {
  static ParsedWorkFiles kept;
  return kept;
}

}  // namespace

void ForgetParsedWorkFile(const std::string& path) {
  Kept().Forget(path);
}

void NoteWorkFileWritten(const std::string& path) {
  Kept().Written(path);
}

long WorkFileParses() {
  return parses;
}

ConcWorkFileReader::ConcWorkFileReader(const std::string& path, char separator, int num_rooms,
                                       int num_pollutants)
    : num_rooms_(num_rooms),
      num_pollutants_(num_pollutants),
      file_(Kept().Get(path, separator, Width())) {}

ConcWorkFileReader::ConcWorkFileReader(TextLineSource source, char separator, int num_rooms,
                                       int num_pollutants)
    : num_rooms_(num_rooms), num_pollutants_(num_pollutants) {
  if (source.IsOpen()) file_ = Parse(source, separator, Width(), 0);
}

ConcWorkFileReader::~ConcWorkFileReader() = default;
ConcWorkFileReader::ConcWorkFileReader(ConcWorkFileReader&&) noexcept = default;
ConcWorkFileReader& ConcWorkFileReader::operator=(ConcWorkFileReader&&) noexcept = default;

ConcWorkFileReader::Status ConcWorkFileReader::Next() {
  record_ = {};
  if (file_ == nullptr) {
    ended_ = true;
    return Status::End;
  }
  if (next_ < file_->Count()) {
    const auto width = static_cast<std::size_t>(Width());
    record_ = std::span<const float>(file_->numbers).subspan(next_ * width, width);
    line_number_ = file_->lines[next_++];
    return Status::Record;
  }
  line_number_ = file_->last_line;
  ended_ = true;
  return file_->ending;
}

std::span<const float> ConcWorkFileReader::RecordAt(std::size_t index) const {
  assert(index < next_);
  const auto width = static_cast<std::size_t>(Width());
  return std::span<const float>(file_->numbers).subspan(index * width, width);
}

bool ConcWorkFileReader::EndMarkSeen() const {
  return ended_ && file_ != nullptr && file_->end_mark_seen;
}

const std::string& ConcWorkFileReader::ErrorText() const {
  static const std::string kNone;
  return ended_ && file_ != nullptr ? file_->error : kNone;
}

}  // namespace quarn
