#include "model/work_file_reader.h"

#include <cmath>
#include <limits>
#include <sstream>

#include "text/number_read.h"
#include "text/number_text.h"

namespace quarn {

namespace {

bool IsSeparator(char c, char separator) {
  return c == separator || c == ',' || c == '\t';
}

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
    const std::optional<double> value = ParseNumber(item);
    const std::optional<float> single = value ? AsSingle(*value) : std::nullopt;
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

ConcWorkFileReader::ConcWorkFileReader(const std::string& path, char separator, int num_rooms,
                                       int num_pollutants)
    : ConcWorkFileReader(TextLineSource(path), separator, num_rooms, num_pollutants) {}

ConcWorkFileReader::ConcWorkFileReader(TextLineSource source, char separator, int num_rooms,
                                       int num_pollutants)
    : source_(std::move(source)),
      separator_(separator),
      num_rooms_(num_rooms),
      num_pollutants_(num_pollutants) {}

ConcWorkFileReader::Status ConcWorkFileReader::Next() {
  if (end_mark_seen_) return Status::End;
  while (source_.Next(line_)) {
    if (TrimBlanks(line_).empty()) continue;
    if (!SplitNumberLine(line_, separator_, values_)) {
      error_ = "Line " + LineText(source_.LineNumber()) +
               " of the concentration file is not a line of numbers.";
      values_.clear();
      return Status::Error;
    }
    if (IsEndMark(values_[0])) {
      end_mark_seen_ = true;
      values_.clear();
      return Status::End;
    }
    if (static_cast<int>(values_.size()) != Width()) {
      error_ = "Line " + LineText(source_.LineNumber()) + " of the concentration file holds " +
               LineText(static_cast<int>(values_.size())) + " numbers instead of " +
               LineText(Width()) + ".";
      values_.clear();
      return Status::Error;
    }
    return Status::Record;
  }
  values_.clear();
  return Status::End;
}

}  // namespace quarn
