#pragma once

#include <cmath>
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

// Notes the first value handed to a writer that is not finite, by the name of its field. The
// file would hold "Inf" or "NaN" there, which no reader takes back: the writer refuses the
// record before it touches the file.
class FiniteCheck {
 public:
  template <typename T>
  T operator()(T value, std::string_view field) {
    if (!std::isfinite(value) && first_.empty()) first_ = field;
    return value;
  }
  bool Passed() const { return first_.empty(); }
  // "the value of TotalMass is not a number"
  std::string Reason() const { return "the value of " + first_ + " is not a number"; }

 private:
  std::string first_;
};

// Writes the bytes to a new file beside `path` (beside the file it names, when it is a
// symbolic link) and renames it over that file only when it is complete and on disk, so a
// failed save leaves the previous file intact. The new file keeps the old one's permission
// bits. A target this user may not write, or one without any write permission, is left
// alone. On failure returns false with the system's reason in *error (when error is not
// null): "Permission denied", "No space left on device", "the file is read-only".
// The new file is named ".quarn-<process id>-XXXXXX" and locked while it is written, so that
// what a killed save leaves behind is known for what it is: each save first removes those
// that copies no longer running left in its folder. The file saved is noted as seen.
bool WriteFileAtomic(const std::string& path, std::string_view bytes, std::string* error);

// Removes from `folder` the new copies that saves of this user's left behind when they were
// cut short, by copies of the program that no longer run; another running copy's, and
// anything else, stay.
void RemoveSaveLeftovers(const std::string& folder);

}  // namespace quarn
