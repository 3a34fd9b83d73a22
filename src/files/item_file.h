#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/fixed_string.h"
#include "model/prompt.h"
#include "text/text_reader.h"
#include "text/text_writer.h"

namespace quarn::item_file {

// The small text files of the input windows and sources hold one item a line (a few lines
// hold a pair in print zones or values joined by the separator). These helpers read and
// write those items; a reader fills a scratch value and the caller copies it into the model
// only when the whole file was read.

// Thrown by Input when the file ends early or an item is not what the layout holds there.
struct Damaged {};

class Input {
 public:
  explicit Input(std::string_view bytes) : in_(bytes) {}

  // A text item: blanks before it skipped, up to a comma or the line end; a text in double
  // quotes runs to the closing quote (so a name holding a comma comes back whole).
  std::string Text();
  // A one-character flag, read as a text and cut to its field.
  void Flag(FixedString<1>& field) { field = Text(); }
  // The whole next line, unchanged.
  std::string Line();
  float Real();
  void Real(float& field) { field = Real(); }
  double Double();
  // An integer, halves rounded to even; out of range is damage.
  int16_t Integer();
  // An integer that must lie in lo..hi, since it bounds a table or selects a list entry.
  int16_t Bounded(int lo, int hi);
  // True when nothing but blanks and line ends is left.
  bool Ended() const;
  // The next item, read without consuming it.
  std::optional<std::string> PeekText() const;
  // Damage unless Ended(); the line reported is then the first one that holds more.
  void ExpectEnd();
  // The line of the item last read or missed, for the message about a damaged file.
  int LineNumber() const { return in_.ItemLineNumber(); }

 private:
  ItemReader in_;
};

class Output {
 public:
  // A text on a line of its own. A text that would not read back whole as a bare item (a
  // comma, a double quote at its start, a blank at either end) is written in double quotes,
  // its own double quotes turned into single ones; a line break becomes a blank.
  void Text(std::string_view text);
  // A text on a line of its own, in double quotes (its own double quotes turned into single
  // ones) when it would not read back whole as a bare item: a comma, a line break, a double
  // quote at its start, a blank at either end.
  void Quoted(std::string_view text);
  // A text written as it is, for flags and fixed-length fields.
  void Raw(std::string_view text);
  // Numbers name their field, for the message when one is not finite.
  void Real(float value, std::string_view field);
  void Double(double value, std::string_view field);
  void Integer(int32_t value);
  // A pair line: the second real starts at the next 14-column print zone.
  void Pair(float first, float second, std::string_view first_field, std::string_view second_field);
  LineWriter& Line() { return out_; }
  // Numbers put on Line() directly pass through here.
  FiniteCheck& Check() { return check_; }
  const FiniteCheck& Check() const { return check_; }
  const std::string& Bytes() const { return out_.Bytes(); }

 private:
  LineWriter out_;
  FiniteCheck check_;
};

// Whether Output::Text writes the text so that it reads back as it is. A text that must be
// quoted (a comma, a blank at either end, a double quote at its start) cannot keep a double
// quote of its own, as the files have no escape for one; no text keeps a line break.
bool TextReadsBackAsWritten(std::string_view text);

// The bytes of the whole file; nullopt after a message when it cannot be read: "Error.  Cannot
// read the file X." (missing, not a regular file, a read error) or "Error.  The file X is too
// large to be read (over 64 MB)." for one over `limit`, which is refused before it is read.
std::optional<std::string> Load(const std::string& file_name, Prompt& prompt,
                                std::uint64_t limit = kTextFileLimit);
// The same with the messages of the building and scenario readers: "File X does not exist.",
// "File X cannot be read.", "File X is too large to be read (over 64 MB)."
std::optional<std::string> LoadOrSayMissing(const std::string& file_name, Prompt& prompt);
// Whether the file may be replaced: true unless it changed on disk since the program read or
// saved it (another copy or another program wrote it) and the user, asked "<file> has
// changed since it was opened.  Replace it?", does not answer Yes (Enter answers No).
bool MayReplace(const std::string& file_name, Prompt& prompt);
// Writes the file beside the target and renames it over the target; false after a message
// when it cannot be written (the previous file is then left as it was), or when MayReplace
// says no.
bool Save(const std::string& file_name, std::string_view bytes, Prompt& prompt);
// A record holding a value that is not finite is refused, after a message, before the file is
// touched.
bool Save(const std::string& file_name, const Output& out, Prompt& prompt);
// The same for bytes whose numbers went through `check`: a value that is not finite is
// refused with the message that names its field, and the file is not touched.
bool Save(const std::string& file_name, std::string_view bytes, const FiniteCheck& check,
          Prompt& prompt);
// The message for a file that ends early or holds a value that does not fit its place.
void TellDamaged(Prompt& prompt, const std::string& file_name, int line);

// The text without blanks at either end.
std::string_view Trim(std::string_view text);

}  // namespace quarn::item_file
