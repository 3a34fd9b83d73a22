#include "model/work_file.h"

#include <algorithm>

#include "model/work_file_reader.h"
#include "text/number_text.h"

namespace quarn {

void AppendWorkRecord(std::string& out, float time, std::span<const float> concentrations,
                      char separator) {
  AppendFileSingle(out, time);
  for (float c : concentrations) {
    out += separator;
    AppendFileSingle(out, c);
  }
  out += "\r\n";
}

void AppendWorkFileEnd(std::string& out) {
  out += FileSingle(-999.0F);
  out += "\r\n";
}

ResultsBuffer::ResultsBuffer(int width)
    : width_(std::max(width, 0)),
      times_(kCapacity, 0.0F),
      concs_(static_cast<std::size_t>(kCapacity) * width_, 0.0F) {}

std::span<float> ResultsBuffer::Add(float time) {
  times_[static_cast<std::size_t>(count_)] = time;
  return Record(count_++);
}

void ResultsBuffer::Clear() {
  std::fill(times_.begin(), times_.begin() + count_, 0.0F);
  std::fill(concs_.begin(), concs_.begin() + static_cast<std::ptrdiff_t>(count_) * width_, 0.0F);
  count_ = 0;
}

bool WorkFileWriter::Create(const std::string& path, std::string* reason) {
  ForgetParsedWorkFile(path);
  path_ = path;
  failure_.clear();
  return out_.Create(path, reason);
}

bool WorkFileWriter::Failed(const std::string& reason) {
  if (failure_.empty()) failure_ = WorkFileFailure(path_, reason);
  return false;
}

bool WorkFileWriter::Write(std::string_view bytes) {
  std::string reason;
  return out_.Write(bytes, &reason) || Failed(reason);
}

bool WorkFileWriter::WriteResultsBlock(ResultsBuffer& buffer, char separator) {
  text_.clear();
  for (int k = 0; k < buffer.Count(); ++k)
    AppendWorkRecord(text_, buffer.Time(k), buffer.Record(k), separator);
  buffer.Clear();
  return Write(text_);
}

bool WorkFileWriter::Finish() {
  text_.clear();
  AppendWorkFileEnd(text_);
  const bool open = out_.IsOpen();
  bool ok = Write(text_);
  std::string reason;
  if (open && !out_.Close(&reason)) ok = Failed(reason);
  if (ok) NoteWorkFileWritten(path_);
  return ok;
}

}  // namespace quarn
