#pragma once

// The reply of the Jet reader program on its standard output, shared by the program and the
// side that reads it. Every field is framed as its length in decimal digits, a ":" and then
// that many bytes, so that any byte may appear in a name or value:
//   table list:  "ok" <count> <name>...
//   one table:   "ok" <columns> <rows> <column name>... <value>... (row after row)
//   a refusal:   "error" <reason>
// Texts are UTF-8, as the database library gives them.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quarn::jet_reply {

inline void PutField(std::string& out, std::string_view field) {
  out += std::to_string(field.size());
  out += ':';
  out += field;
}

// Reads the fields of a reply one after the other; every malformed frame makes the reader
// fail for good, so a damaged reply can only be refused, never misread.
class FieldReader {
 public:
  explicit FieldReader(std::string_view data) : data_(data) {}

  std::optional<std::string_view> Next() {
    if (failed_) return std::nullopt;
    size_t size = 0;
    size_t digits = 0;
    while (pos_ < data_.size() && data_[pos_] >= '0' && data_[pos_] <= '9' && digits < 10) {
      size = size * 10 + static_cast<size_t>(data_[pos_] - '0');
      ++pos_;
      ++digits;
    }
    if (digits == 0 || pos_ >= data_.size() || data_[pos_] != ':' ||
        size > data_.size() - pos_ - 1) {
      failed_ = true;
      return std::nullopt;
    }
    ++pos_;
    const std::string_view field = data_.substr(pos_, size);
    pos_ += size;
    return field;
  }

  // A count of fields still to come: refused when the reply cannot hold that many (each
  // field takes at least two bytes), so that no count makes the reader reserve memory the
  // reply does not back.
  std::optional<size_t> NextCount() {
    const std::optional<std::string_view> field = Next();
    if (!field || field->empty() || field->size() > 9) return Fail();
    size_t count = 0;
    for (const char c : *field) {
      if (c < '0' || c > '9') return Fail();
      count = count * 10 + static_cast<size_t>(c - '0');
    }
    if (count > (data_.size() - pos_) / 2) return Fail();
    return count;
  }

  bool AtEnd() const { return !failed_ && pos_ == data_.size(); }

 private:
  std::optional<size_t> Fail() {
    failed_ = true;
    return std::nullopt;
  }
  std::string_view data_;
  size_t pos_ = 0;
  bool failed_ = false;
};

}  // namespace quarn::jet_reply
