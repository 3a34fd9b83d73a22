#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quarn {

// One table of a Jet database, read whole as text. Every text (column names and values) is
// Windows-1252, like every text of the model.
//
// How values come out, whatever the column type:
// - a null value is an empty text;
// - Text and Memo: the stored characters (a character Windows-1252 lacks becomes "?");
// - Byte, Integer, Long Integer: the plain integer ("0", "-5", "333333333");
// - Single, Double: the number with a "." decimal point whatever the user's locale, as the
//   database library writes it ("444.555", "0");
// - Currency: the exact scaled integer with four decimals ("3.5000");
// - Date/Time: "YYYY-MM-DD HH:MM:SS" ("1981-12-12 00:00:00");
// - Yes/No: "1" or "0";
// - OLE objects and binary fields: an empty text (they hold no text).
struct JetTable {
  std::vector<std::string> columns;
  std::vector<std::vector<std::string>> rows;  // each row has columns.size() texts
};

// A Jet (Access) database file opened read only. Moves, never copies; closes the file when
// destroyed.
class JetDatabase {
 public:
  // nullopt with a reason in *error (when error is not null) when the file is missing or is
  // not a Jet database.
  static std::optional<JetDatabase> Open(const std::string& path, std::string* error);

  JetDatabase(JetDatabase&& other) noexcept;
  JetDatabase& operator=(JetDatabase&& other) noexcept;
  JetDatabase(const JetDatabase&) = delete;
  JetDatabase& operator=(const JetDatabase&) = delete;
  ~JetDatabase();

  // The user tables, in catalogue order; the MSys* system tables are left out.
  std::vector<std::string> Tables() const;

  // The named user table (name as Tables() gives it, matched exactly); nullopt when there is
  // no such table or it cannot be read.
  std::optional<JetTable> ReadTable(const std::string& name) const;

 private:
  struct Impl;
  explicit JetDatabase(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace quarn
