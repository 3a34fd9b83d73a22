#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quarn {

// The largest text file the program reads: far above any real file of its kinds (a scenario
// of 13 rooms and 8 pollutants holds well under a megabyte), far below what would trouble the
// machine if it were read whole.
inline constexpr std::uint64_t kTextFileLimit = std::uint64_t{64} << 20;

// Why a file was not read.
enum class ReadFailure {
  None,
  Missing,     // nothing at the name
  Unreadable,  // a folder, pipe, device or socket, no permission, a read error
  TooLarge,    // more bytes than the limit
};

// "64 MB"
std::string SizeLimitText(std::uint64_t limit);

// Opens `path` for reading when it is a regular file of at most `limit` bytes, without
// waiting on a pipe or device at that name; -1 with the failure otherwise.
int OpenRegularFile(const std::string& path, std::uint64_t limit, ReadFailure* failure);

// Reads the whole file into out; false (out unchanged) with the failure in *failure when it is
// not a regular file, cannot be opened or read, or holds more than `limit` bytes: such a file
// is refused before it is read, and no more than `limit` bytes are ever held. Never throws.
bool ReadFileBytes(const std::string& path, std::string& out, ReadFailure* failure = nullptr,
                   std::uint64_t limit = kTextFileLimit);

// Reads items, numbers and lines from the bytes of a text file written with CR LF or LF.
// The reader keeps a view of the bytes: they must outlive it.
class ItemReader {
 public:
  explicit ItemReader(std::string_view bytes) : bytes_(bytes) {}

  // A text item: blanks skipped, then up to a comma or the line end (trailing blanks kept
  // off); at a line end it is the empty text. A text beginning with a double quote runs to
  // the closing quote; the comma after it is consumed. The comma or line end after an item
  // is consumed. nullopt at end of file.
  std::optional<std::string> ReadItem();
  // A number item: blanks and blank lines skipped, then up to a blank, comma, tab or line
  // end; the blanks after it and one comma, tab or line end are consumed. An empty item
  // ("1,,3", or "1," at a line end) reads as 0. nullopt at end of file or when the item is
  // not a number (LastItem() then holds its text).
  std::optional<double> ReadNumber();
  // The rest of the current line unchanged, without its CR LF or LF. nullopt at end of file.
  std::optional<std::string> ReadLine();

  bool AtEnd() const { return pos_ >= bytes_.size(); }
  // Number (from 1) of the line the next read starts on, for messages.
  int LineNumber() const { return line_; }
  // Number of the line the last item read began on (where a missing one would have), for
  // messages about that item.
  int ItemLineNumber() const { return item_line_; }
  // The text of the last item ReadNumber took, for messages about a bad number.
  const std::string& LastItem() const { return last_item_; }

 private:
  void SkipBlanks();
  bool AtLineEnd() const;
  void SkipLineEnd();
  // Consumes what ends an item: blanks, then one comma, tab or line end.
  void EndItem();

  std::string_view bytes_;
  std::size_t pos_ = 0;
  int line_ = 1;
  int item_line_ = 1;
  std::string last_item_;
  // A comma or tab has just ended an item, so a line end here closes an empty field.
  bool pending_field_ = false;
};

}  // namespace quarn
