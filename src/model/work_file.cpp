#include "model/work_file.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <system_error>

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
      concs_(static_cast<std::size_t>(kCapacity) * width_, 0.0F),
      integrals_(static_cast<std::size_t>(kCapacity) * width_, 0.0F) {}

std::span<float> ResultsBuffer::Add(float time) {
  times_[static_cast<std::size_t>(count_)] = time;
  return Record(count_++);
}

void ResultsBuffer::Clear() {
  std::fill(times_.begin(), times_.begin() + count_, 0.0F);
  std::fill(concs_.begin(), concs_.begin() + static_cast<std::ptrdiff_t>(count_) * width_, 0.0F);
  std::fill(integrals_.begin(), integrals_.begin() + static_cast<std::ptrdiff_t>(count_) * width_,
            0.0F);
  count_ = 0;
}

namespace {

constexpr char kIntegralsMark[4] = {'Q', 'I', 'T', 'G'};

template <class T>
void AppendBytes(std::string& out, const T& value) {
  out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

}  // namespace

std::string IntegralsFileOf(const std::string& conc_work_file) {
  return std::filesystem::path(conc_work_file).replace_extension(".ITG").string();
}

bool IntegralsFileReader::Open(const std::string& path, int width) {
  in_.close();
  in_.clear();
  width_ = width;
  in_.open(path, std::ios::binary);
  if (!in_ || width <= 0) return false;
  char mark[sizeof kIntegralsMark] = {};
  int32_t stored = 0;
  if (!in_.read(mark, sizeof mark) || !std::equal(mark, mark + sizeof mark, kIntegralsMark) ||
      !in_.read(reinterpret_cast<char*>(&stored), sizeof stored))
    return false;
  return stored == width;
}

bool IntegralsFileReader::Next(float& time, std::vector<float>& integrals) {
  if (width_ <= 0) return false;
  // A record cut short at the end of the file is no record: the caller's values stay.
  record_.resize(static_cast<std::size_t>(width_) + 1);
  if (!in_.read(reinterpret_cast<char*>(record_.data()),
                static_cast<std::streamsize>(record_.size() * sizeof(float))))
    return false;
  time = record_[0];
  integrals.assign(record_.begin() + 1, record_.end());
  return true;
}

WorkFileWriter::~WorkFileWriter() {
  Wait();
}

void WorkFileWriter::Wait() {
  if (writer_.joinable()) writer_.join();
}

bool WorkFileWriter::Create(const std::string& path, std::string* reason) {
  Wait();
  ForgetParsedWorkFile(path);
  path_ = path;
  integrals_path_ = IntegralsFileOf(path);
  failure_.clear();
  integrals_started_ = false;
  return out_.Create(path, reason) && integrals_out_.Create(integrals_path_, reason);
}

bool WorkFileWriter::Failed(const std::string& path, const std::string& reason) {
  if (failure_.empty()) failure_ = WorkFileFailure(path, reason);
  return false;
}

bool WorkFileWriter::Write(WorkFileOutput& out, const std::string& path, std::string_view bytes) {
  std::string reason;
  return out.Write(bytes, &reason) || Failed(path, reason);
}

void WorkFileWriter::WriteBlock(ResultsBuffer& block, char separator) {
  text_.clear();
  for (int k = 0; k < block.Count(); ++k)
    AppendWorkRecord(text_, block.Time(k), block.Record(k), separator);
  Write(out_, path_, text_);
  text_.clear();
  if (!integrals_started_) {
    text_.append(kIntegralsMark, sizeof kIntegralsMark);
    AppendBytes(text_, static_cast<int32_t>(block.Width()));
    integrals_started_ = true;
  }
  for (int k = 0; k < block.Count(); ++k) {
    AppendBytes(text_, block.Time(k));
    const std::span<const float> integrals = block.Integrals(k);
    text_.append(reinterpret_cast<const char*>(integrals.data()), integrals.size_bytes());
  }
  Write(integrals_out_, integrals_path_, text_);
  block.Clear();
}

bool WorkFileWriter::WriteResultsBlock(ResultsBuffer& buffer, char separator) {
  Wait();
  const bool ok = failure_.empty();
  if (buffer.Count() == 0 && integrals_started_) return ok;
  if (!ok) {
    // The run stops at this failure. The records computed since are not written, so that
    // the file is what came before the failure, without a gap, as a run that stopped at it.
    buffer.Clear();
    return false;
  }
  if (!writing_ || writing_->Width() != buffer.Width())
    writing_ = std::make_unique<ResultsBuffer>(buffer.Width());
  std::swap(*writing_, buffer);
  try {
    writer_ = std::thread([this, separator] { WriteBlock(*writing_, separator); });
  } catch (const std::system_error&) {
    // No thread to be had: the block is written here, as the run waits.
    WriteBlock(*writing_, separator);
  }
  return true;
}

bool WorkFileWriter::Finish() {
  Wait();
  text_.clear();
  AppendWorkFileEnd(text_);
  const bool open = out_.IsOpen();
  bool ok = Write(out_, path_, text_) && failure_.empty();
  std::string reason;
  if (open && !out_.Close(&reason)) ok = Failed(path_, reason);
  if (integrals_out_.IsOpen() && !integrals_out_.Close(&reason))
    ok = Failed(integrals_path_, reason);
  if (ok) NoteWorkFileWritten(path_);
  return ok;
}

}  // namespace quarn
