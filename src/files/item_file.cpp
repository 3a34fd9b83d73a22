#include "files/item_file.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "text/file_stamps.h"
#include "text/number_read.h"
#include "text/number_text.h"

namespace quarn::item_file {

namespace {
constexpr const char* kErrorTitle = "Error";
}  // namespace

std::string Input::Text() {
  auto item = in_.ReadItem();
  if (!item) throw Damaged{};
  return *item;
}

std::string Input::Line() {
  auto line = in_.ReadLine();
  if (!line) throw Damaged{};
  return *line;
}

double Input::Double() {
  auto value = in_.ReadNumber();
  if (!value || !std::isfinite(*value)) throw Damaged{};
  return *value;
}

float Input::Real() {
  // A value a Single cannot hold is no value these files were written with.
  const std::optional<float> single = AsSingle(Double());
  if (!single) throw Damaged{};
  return *single;
}

int16_t Input::Integer() {
  auto value = RoundToInt16(Double());
  if (!value) throw Damaged{};
  return *value;
}

int16_t Input::Bounded(int lo, int hi) {
  const int16_t value = Integer();
  if (value < lo || value > hi) throw Damaged{};
  return value;
}

bool Input::Ended() const {
  ItemReader rest = in_;
  while (auto line = rest.ReadLine()) {
    if (line->find_first_not_of(" \t") != std::string::npos) return false;
  }
  return true;
}

std::optional<std::string> Input::PeekText() const {
  ItemReader copy = in_;
  return copy.ReadItem();
}

void Input::ExpectEnd() {
  while (auto line = in_.ReadLine()) {
    if (line->find_first_not_of(" \t") != std::string::npos) throw Damaged{};
  }
}

void Output::Text(std::string_view text) {
  std::string clean(text);
  std::replace(clean.begin(), clean.end(), '\r', ' ');
  std::replace(clean.begin(), clean.end(), '\n', ' ');
  Quoted(clean);
}

namespace {

// Read back bare, a text runs to a comma or the line end, loses blanks at either end, and is
// taken as quoted when it begins with a double quote; a double quote further in is kept as it
// is.
bool ReadsBackBare(std::string_view text) {
  return text.find_first_of(",\r\n") == std::string_view::npos &&
         (text.empty() || (text.front() != ' ' && text.front() != '"' && text.back() != ' '));
}

}  // namespace

bool TextReadsBackAsWritten(std::string_view text) {
  if (text.find_first_of("\r\n") != std::string_view::npos) return false;
  return ReadsBackBare(text) || text.find('"') == std::string_view::npos;
}

void Output::Quoted(std::string_view text) {
  if (ReadsBackBare(text)) {
    out_.Put(text);
  } else {
    std::string quoted(text);
    std::replace(quoted.begin(), quoted.end(), '"', '\'');
    out_.Put("\"" + quoted + "\"");
  }
  out_.NewLine();
}

void Output::Raw(std::string_view text) {
  out_.Put(text);
  out_.NewLine();
}

void Output::Real(float value, std::string_view field) {
  out_.Put(FileSingle(check_(value, field)));
  out_.NewLine();
}

void Output::Double(double value, std::string_view field) {
  out_.Put(FileDouble(check_(value, field)));
  out_.NewLine();
}

void Output::Integer(int32_t value) {
  out_.Put(FileDouble(static_cast<double>(value)));
  out_.NewLine();
}

void Output::Pair(float first, float second, std::string_view first_field,
                  std::string_view second_field) {
  out_.PutZoned(FileSingle(check_(first, first_field)));
  out_.Put(FileSingle(check_(second, second_field)));
  out_.NewLine();
}

namespace {
std::string TooLargeTail(std::uint64_t limit) {
  return " is too large to be read (over " + SizeLimitText(limit) + ").";
}
}  // namespace

std::optional<std::string> Load(const std::string& file_name, Prompt& prompt, std::uint64_t limit) {
  ReadFailure failure = ReadFailure::None;
  std::string bytes;
  if (ReadFileBytes(file_name, bytes, &failure, limit)) return bytes;
  prompt.Message(failure == ReadFailure::TooLarge
                     ? "Error.  The file " + file_name + TooLargeTail(limit)
                     : "Error.  Cannot read the file " + file_name + ".",
                 kErrorTitle, MessageIcon::Critical);
  return std::nullopt;
}

std::optional<std::string> LoadOrSayMissing(const std::string& file_name, Prompt& prompt) {
  ReadFailure failure = ReadFailure::None;
  std::string bytes;
  if (ReadFileBytes(file_name, bytes, &failure)) return bytes;
  std::string tail = " cannot be read.";
  if (failure == ReadFailure::Missing) tail = " does not exist.";
  if (failure == ReadFailure::TooLarge) tail = TooLargeTail(kTextFileLimit);
  prompt.Message("File " + file_name + tail, "ERROR", MessageIcon::None);
  return std::nullopt;
}

bool MayReplace(const std::string& file_name, Prompt& prompt) {
  return !ChangedSinceSeen(file_name) ||
         prompt.AskYesNoDefault(file_name + " has changed since it was opened.  Replace it?",
                                "Warning", MessageIcon::Exclamation, Answer::No) == Answer::Yes;
}

bool Save(const std::string& file_name, std::string_view bytes, Prompt& prompt) {
  if (!MayReplace(file_name, prompt)) return false;
  std::string reason;
  if (WriteFileAtomic(file_name, bytes, &reason)) return true;
  prompt.Message("Error.  " + file_name + " could not be saved: " + reason, kErrorTitle,
                 MessageIcon::Critical);
  return false;
}

bool Save(const std::string& file_name, std::string_view bytes, const FiniteCheck& check,
          Prompt& prompt) {
  if (check.Passed()) return Save(file_name, bytes, prompt);
  prompt.Message("Error.  Cannot write the file " + file_name + ".  " + check.Reason(), kErrorTitle,
                 MessageIcon::Critical);
  return false;
}

bool Save(const std::string& file_name, const Output& out, Prompt& prompt) {
  return Save(file_name, out.Bytes(), out.Check(), prompt);
}

void TellDamaged(Prompt& prompt, const std::string& file_name, int line) {
  prompt.Message("Error.  The file " + file_name + " ends early or holds a value that does not " +
                     "fit on line " + FormatDouble(static_cast<double>(line)) +
                     ".  Nothing was read.",
                 kErrorTitle, MessageIcon::Critical);
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

}  // namespace quarn::item_file
