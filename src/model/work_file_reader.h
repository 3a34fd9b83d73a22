#pragma once

#include <fstream>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quarn {

// Splits one line of numbers. Items are separated by `separator`; a comma or a tab is
// accepted as well, so a file written under the other setting still reads. Blanks around a
// number are allowed, and one empty item at the end (the separator that follows every
// number of the exposure files) is ignored. False when an item is not a number or does
// not fit a Single.
bool SplitNumberLine(std::string_view line, char separator, std::vector<float>& out);
// Whether a character ends an item of a work-file line: the file's separator, or a comma or
// a tab, which every reader of these files has also taken.
bool IsSeparator(char c, char separator);

// Reads the lines of a text file written with CR LF or LF, one at a time, so that a work
// file of any length is read in bounded memory.
class TextLineSource {
 public:
  explicit TextLineSource(const std::string& path);
  // For text already in memory (tests, small files).
  static TextLineSource FromText(std::string text);

  bool IsOpen() const { return in_ != nullptr && !in_->fail(); }
  // The next line without its line end; false at the end of the file.
  bool Next(std::string& line);
  // Number (from 1) of the line last returned.
  int LineNumber() const { return line_number_; }

 private:
  TextLineSource() = default;
  std::unique_ptr<std::istream> in_;
  int line_number_ = 0;
};

// The parsed records of one work file; defined in the reader's source.
struct ParsedWorkFile;

// The concentration work file of a run: one record a line, the time and then for room 0
// (outdoors) to NumRooms, pollutants inner, one concentration each; a line -999 ends the
// data. Every calculation that reads the results of a run reads them through this class.
//
// A year's run holds some 90,000 records that the grid, the plots, the bar charts, the
// summary and the exposure all read, and every pollutant step or unit change reads again;
// parsing the text each time cost most of a second. So a file read by path is parsed once
// and its records are kept, keyed to the file's path, size and modification time and to the
// shape asked for, until the file changes, a run writes it anew (WorkFileWriter says so) or
// another work file takes its place. Readers of the same file then only walk the records.
class ConcWorkFileReader {
 public:
  enum class Status { Record, End, Error };

  ConcWorkFileReader(const std::string& path, char separator, int num_rooms, int num_pollutants);
  ConcWorkFileReader(TextLineSource source, char separator, int num_rooms, int num_pollutants);
  ~ConcWorkFileReader();
  ConcWorkFileReader(ConcWorkFileReader&&) noexcept;
  ConcWorkFileReader& operator=(ConcWorkFileReader&&) noexcept;

  bool IsOpen() const { return file_ != nullptr; }
  // Numbers a record line holds: the time and (NumRooms + 1) x NumPollutants values.
  int Width() const { return 1 + (num_rooms_ + 1) * num_pollutants_; }

  // Reads the next record. End at the end mark, and also at the end of a file that lacks
  // it (a run that failed leaves its file without the mark; the records before are good).
  // Error for a line of the wrong width or one that is not numbers: ErrorText says which.
  Status Next();

  float Time() const { return record_.empty() ? 0.0f : record_[0]; }
  // The concentrations of the record, room-major, pollutants inner.
  std::span<const float> Concentrations() const {
    return record_.empty() ? std::span<const float>() : record_.subspan(1);
  }
  float Conc(int room, int pollutant) const {
    return record_[1 + static_cast<std::size_t>(room * num_pollutants_ + pollutant)];
  }
  // Record `index` (from 0) of those Next has given, the time first: a table keeps the
  // reader to show any record again.
  std::span<const float> RecordAt(std::size_t index) const;
  bool EndMarkSeen() const;
  int LineNumber() const { return line_number_; }
  // What is wrong with the file, in the program's words, after an Error.
  const std::string& ErrorText() const;
  // The message every reader of the results gives for that line, naming the file.
  std::string RefusalMessage(const std::string& file_name) const {
    return "Error.  The concentration file " + file_name + " cannot be read.  " + ErrorText();
  }

 private:
  int num_rooms_;
  int num_pollutants_;
  std::shared_ptr<const ParsedWorkFile> file_;
  std::size_t next_ = 0;  // index of the record Next returns
  bool ended_ = false;
  std::span<const float> record_;
  int line_number_ = 0;
};

// Drops the kept records of the work file at `path`: a run is about to write it anew.
void ForgetParsedWorkFile(const std::string& path);
// Vouches for the work file that a run has just finished writing at `path`: its records may
// be kept from the first read, however soon that follows.
void NoteWorkFileWritten(const std::string& path);
// How many times a work file's text has been parsed in this process (each parse is a full
// read of the file), so that a caller can tell that a second reader cost no read.
long WorkFileParses();

}  // namespace quarn
