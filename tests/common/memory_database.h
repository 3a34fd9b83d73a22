#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "files/database_service.h"

namespace quarn::testing {

// Tables handed to the windows without a database file. A file not added does not open, nor
// does one refused (a file that is there but is no database); every call is recorded.
class MemoryDatabaseService : public DatabaseService {
 public:
  void Add(const std::string& file, const std::string& table, JetTable contents) {
    files_[file][table] = std::move(contents);
  }
  void Refuse(const std::string& file, const std::string& reason) { refused_[file] = reason; }
  DatabaseTable ReadTable(const std::string& file, const std::string& table) override {
    asked.emplace_back(file, table);
    DatabaseTable result;
    if (const auto r = refused_.find(file); r != refused_.end()) {
      result.reason = r->second;
      return result;
    }
    const auto f = files_.find(file);
    if (f == files_.end()) {
      result.reason = "The file was not found.";
      return result;
    }
    result.opened = true;
    const auto t = f->second.find(table);
    if (t != f->second.end()) result.table = t->second;
    return result;
  }

  std::vector<std::pair<std::string, std::string>> asked;

 private:
  std::map<std::string, std::map<std::string, JetTable>> files_;
  std::map<std::string, std::string> refused_;
};

}  // namespace quarn::testing
