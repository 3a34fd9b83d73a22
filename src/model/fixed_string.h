#pragma once

#include <string>
#include <string_view>

namespace quarn {

// A text of exactly N single-byte characters: assignment truncates or pads with blanks,
// and an empty assignment gives N blanks, as the stored files expect.
template <std::size_t N>
class FixedString {
 public:
  FixedString() : text_(N, ' ') {}
  FixedString(std::string_view s) { Assign(s); }  // NOLINT: assigned like a plain text
  FixedString& operator=(std::string_view s) {
    Assign(s);
    return *this;
  }
  const std::string& str() const { return text_; }
  operator const std::string&() const { return text_; }  // NOLINT
  char operator[](std::size_t i) const { return text_[i]; }
  static constexpr std::size_t size() { return N; }
  friend bool operator==(const FixedString& a, const FixedString& b) { return a.text_ == b.text_; }
  friend bool operator==(const FixedString& a, std::string_view b) {
    return a.text_ == FixedString(b).text_;
  }

 private:
  void Assign(std::string_view s) {
    text_.assign(s.substr(0, N));
    text_.resize(N, ' ');
  }
  std::string text_;
};

}  // namespace quarn
