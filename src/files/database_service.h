#pragma once

#include <optional>
#include <string>
#include <utility>

#include "files/jet_database.h"

namespace quarn {

// One table asked of a database file. `opened` says whether the file opened as a database;
// when it did not, `reason` says why. `table` is empty when the file did not open or holds
// no table of that name.
struct DatabaseTable {
  bool opened = false;
  std::string reason;
  std::optional<JetTable> table;
};

// Where the reference-data windows read their tables. Read only: nothing is ever written
// back. The program reads Jet files; tests hand in tables of their own.
class DatabaseService {
 public:
  virtual ~DatabaseService() = default;
  virtual DatabaseTable ReadTable(const std::string& file, const std::string& table) = 0;
};

// The program's service. A bare file name (no folder) is looked for in the program's folder,
// then in the current folder, whatever its letter case; a path is taken as it is.
class JetDatabaseService : public DatabaseService {
 public:
  explicit JetDatabaseService(std::string program_folder)
      : program_folder_(std::move(program_folder)) {}
  DatabaseTable ReadTable(const std::string& file, const std::string& table) override;

  // Where ReadTable looks for the file: the path found, or the name as given.
  std::string Locate(const std::string& file) const;

 private:
  std::string program_folder_;
};

}  // namespace quarn
