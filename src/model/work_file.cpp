#include "model/work_file.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>

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
  std::string path = conc_work_file;
  const std::size_t dot = path.rfind('.');
  const std::size_t slash = path.find_last_of("/\\");
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) path.resize(dot);
  return path + ".ITG";
}

bool IntegralsFileReader::Open(const std::string& path, int width) {
  bytes_.clear();
  at_ = 0;
  width_ = width;
  std::ifstream in(path, std::ios::binary);
  if (!in || width <= 0) return false;
  bytes_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  int32_t stored = 0;
  if (bytes_.size() < sizeof kIntegralsMark + sizeof stored ||
      !std::equal(kIntegralsMark, kIntegralsMark + 4, bytes_.begin()))
    return false;
  std::memcpy(&stored, bytes_.data() + 4, sizeof stored);
  at_ = 8;
  return stored == width;
}

bool IntegralsFileReader::Next(float& time, std::vector<float>& integrals) {
  const std::size_t record = sizeof(float) * (static_cast<std::size_t>(width_) + 1);
  if (width_ <= 0 || at_ + record > bytes_.size()) return false;
  std::memcpy(&time, bytes_.data() + at_, sizeof time);
  integrals.resize(static_cast<std::size_t>(width_));
  std::memcpy(integrals.data(), bytes_.data() + at_ + sizeof time, record - sizeof time);
  at_ += record;
  return true;
}

bool WorkFileWriter::Create(const std::string& path, std::string* reason) {
  ForgetParsedWorkFile(path);
  path_ = path;
  integrals_path_ = IntegralsFileOf(path);
  failure_.clear();
  integrals_started_ = false;
  return out_.Create(path, reason) && integrals_out_.Create(integrals_path_, reason);
}

bool WorkFileWriter::WriteIntegrals(std::string_view bytes) {
  std::string reason;
  if (integrals_out_.Write(bytes, &reason)) return true;
  if (failure_.empty()) failure_ = WorkFileFailure(integrals_path_, reason);
  return false;
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
  bool ok = Write(text_);
  text_.clear();
  if (!integrals_started_) {
    text_.append(kIntegralsMark, sizeof kIntegralsMark);
    AppendBytes(text_, static_cast<int32_t>(buffer.Width()));
    integrals_started_ = true;
  }
  for (int k = 0; k < buffer.Count(); ++k) {
    AppendBytes(text_, buffer.Time(k));
    const std::span<const float> integrals = buffer.Integrals(k);
    text_.append(reinterpret_cast<const char*>(integrals.data()), integrals.size_bytes());
  }
  ok = WriteIntegrals(text_) && ok;
  buffer.Clear();
  return ok;
}

bool WorkFileWriter::Finish() {
  text_.clear();
  AppendWorkFileEnd(text_);
  const bool open = out_.IsOpen();
  bool ok = Write(text_);
  std::string reason;
  if (open && !out_.Close(&reason)) ok = Failed(reason);
  if (integrals_out_.IsOpen() && !integrals_out_.Close(&reason)) {
    if (failure_.empty()) failure_ = WorkFileFailure(integrals_path_, reason);
    ok = false;
  }
  if (ok) NoteWorkFileWritten(path_);
  return ok;
}

}  // namespace quarn
