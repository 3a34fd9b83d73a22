#include "text/text_reader.h"

#include <fstream>
#include <iterator>

#include "text/number_read.h"

namespace quarn {

bool ReadFileBytes(const std::string& path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
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
