#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quarn {

// Builds the bytes of a text file in memory, as the program's files are laid out: items
// joined directly or padded to 14-column print zones, lines ended by CR LF.
class LineWriter {
 public:
  static constexpr std::size_t kZoneWidth = 14;

  // Appends the text directly after what the line already holds.
  void Put(std::string_view text);
  // Appends the text, then pads with blanks to the start of the next print zone. An item
  // that fills or passes its zone moves on to the zone after the one it ends in, so items
  // never run together (a 14-character item at column 0 is followed by column 28).
  void PutZoned(std::string_view text);
  // Ends the line with CR LF.
  void NewLine();

  const std::string& Bytes() const { return bytes_; }
  // Column (from 0) where the next character of the current line goes.
  std::size_t Column() const { return bytes_.size() - line_start_; }

 private:
  std::string bytes_;
  std::size_t line_start_ = 0;
};

// Writes the bytes to a new file beside `path` and renames it over `path` only when it is
// complete, so a failed save leaves the previous file intact. On failure returns false and
// puts a short reason in *error (when error is not null).
bool WriteFileAtomic(const std::string& path, std::string_view bytes, std::string* error);

}  // namespace quarn
