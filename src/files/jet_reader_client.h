#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "files/jet_database.h"

namespace quarn {

// The Jet reader program, run as a child process, read back over a pipe. The database
// library is not safe on damaged files, so it never runs inside this program.

// The reader program's file name; it sits in the folder of the running program.
inline constexpr const char* kJetReaderName = "quarn_jet_reader";

// Runs the reader on `args` (the database file, then a table name or nothing) and returns its
// reply. nullopt when it cannot start, dies, fails, runs past its time limit or sends more
// than a database of ours can hold; *error (when not null) then says which.
std::optional<std::string> RunJetReader(const std::vector<std::string>& args, std::string* error);

// A user table as the reader names it (UTF-8) and as the model names it (Windows-1252).
struct JetTableName {
  std::string reader;
  std::string model;
};

// The outcome of decoding a reply: the value, or the reason the reader gave for refusing the
// file, or neither when the reply is malformed.
template <typename T>
struct JetReply {
  std::optional<T> value;
  std::string refusal;
};

JetReply<std::vector<JetTableName>> DecodeJetTableList(std::string_view reply);
JetReply<JetTable> DecodeJetTable(std::string_view reply);

}  // namespace quarn
