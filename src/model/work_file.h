#pragma once

#include <fstream>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "text/work_folder.h"

namespace quarn {

// The concentration work file of a run: one text line per output record, the time and then
// the concentration of every room 0 (outdoors) to NumRooms, pollutants inner, each number in
// the sign-position form followed by one blank, the numbers joined by the data separator,
// lines ended by CR LF; a line "-999 " ends the data. Every result of a run is read back from
// this file.

// Appends one record line to `out`.
void AppendWorkRecord(std::string& out, float time, std::span<const float> concentrations,
                      char separator);
// Appends the end line.
void AppendWorkFileEnd(std::string& out);

// The records a run holds before it writes them in one block: up to 1,501, each with its time
// and `width` concentrations (rooms 0..NumRooms, pollutants inner).
class ResultsBuffer {
 public:
  static constexpr int kCapacity = 1501;

  explicit ResultsBuffer(int width);
  int Width() const { return width_; }
  int Count() const { return count_; }
  bool Full() const { return count_ >= kCapacity; }
  float Time(int k) const { return times_[static_cast<std::size_t>(k)]; }
  std::span<float> Record(int k) {
    return std::span<float>(concs_).subspan(static_cast<std::size_t>(k) * width_, width_);
  }
  std::span<const float> Record(int k) const {
    return std::span<const float>(concs_).subspan(static_cast<std::size_t>(k) * width_, width_);
  }
  // What each room breathed since the record before (IntegralsFileOf).
  std::span<float> Integrals(int k) {
    return std::span<float>(integrals_).subspan(static_cast<std::size_t>(k) * width_, width_);
  }
  // Adds a record (the buffer must not be full) and returns its concentrations to fill.
  std::span<float> Add(float time);
  // Forgets every record: their times and concentrations become 0.
  void Clear();

 private:
  int width_;
  int count_ = 0;
  std::vector<float> times_;
  std::vector<float> concs_;
  std::vector<float> integrals_;
};

// The integrals work file beside a concentration work file (its name with .ITG for .TMP):
// for every record, the integral over the time since the record before (since 0 for the
// first) of each concentration of the record, as the run's own exact solution gives it. What
// an occupant met between two records is then what the run computed, not a line drawn
// between them. Binary, for this machine alone: "QITG", the record width as a 32-bit
// integer, then per record its time and the integrals as Singles.
std::string IntegralsFileOf(const std::string& conc_work_file);

// Reads an integrals work file record by record.
class IntegralsFileReader {
 public:
  // False when the file is missing, damaged or of another width.
  bool Open(const std::string& path, int width);
  // The next record's time and integrals; false at the end of the file.
  bool Next(float& time, std::vector<float>& integrals);

 private:
  std::ifstream in_;
  std::vector<float> record_;  // the time and the integrals as the file holds them
  int width_ = 0;
};

// Writes the work file in blocks as the run goes. The file is created anew; a run that
// fails still ends it with the records it held and the end line, so that what was computed
// can be read. A block is formatted and written on a thread of its own while the run goes on
// computing the next one: the text of a year's records takes about as long as the run's
// physics, and the user waits for the longer of the two instead of their sum.
class WorkFileWriter {
 public:
  WorkFileWriter() = default;
  ~WorkFileWriter();
  WorkFileWriter(const WorkFileWriter&) = delete;
  WorkFileWriter& operator=(const WorkFileWriter&) = delete;

  // Creates (or replaces) the file, never through a symbolic link left at its name; false
  // with the system's reason in *reason when it cannot be created.
  bool Create(const std::string& path, std::string* reason);
  // Takes the records of the buffer to be written in order, and their integrals to the
  // integrals work file, and leaves the buffer empty. False when a block written before
  // failed (a failure shows at the next block or at Finish); the records are then dropped.
  bool WriteResultsBlock(ResultsBuffer& buffer, char separator);
  // Writes what is left, the end line, and closes the file. False on a write error.
  bool Finish();
  bool IsOpen() const { return out_.IsOpen(); }
  // The message for the first write that failed, naming the file and the system's reason:
  // "Error.  The work file /x/RunSEN.TMP could not be written: No space left on device."
  // Read only after WriteResultsBlock or Finish has returned.
  const std::string& Failure() const { return failure_; }

 private:
  // Waits for the block being written.
  void Wait();
  // Formats and writes `block`, then empties it: on the writing thread.
  void WriteBlock(ResultsBuffer& block, char separator);
  // Writes to the work file or the integrals file, at `path`.
  bool Write(WorkFileOutput& out, const std::string& path, std::string_view bytes);
  // Keeps the first failure: what follows a full disk fails for the same reason.
  bool Failed(const std::string& path, const std::string& reason);
  WorkFileOutput out_;
  WorkFileOutput integrals_out_;
  std::string path_;
  std::string integrals_path_;
  std::string text_;
  std::string failure_;
  bool integrals_started_ = false;
  // The block being written, and the thread writing it; the run fills the buffer it handed
  // back meanwhile.
  std::unique_ptr<ResultsBuffer> writing_;
  std::thread writer_;
};

}  // namespace quarn
