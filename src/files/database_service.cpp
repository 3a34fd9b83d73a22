#include "files/database_service.h"

#include "text/paths.h"

namespace quarn {

std::string JetDatabaseService::Locate(const std::string& file) const {
  if (file.find('/') != std::string::npos || file.find('\\') != std::string::npos) return file;
  for (const std::string& folder : {program_folder_, std::string(".")}) {
    if (folder.empty()) continue;
    if (std::optional<std::string> found = FindFileAnyCase(folder, file)) return *found;
  }
  return file;
}

DatabaseTable JetDatabaseService::ReadTable(const std::string& file, const std::string& table) {
  DatabaseTable result;
  std::optional<JetDatabase> db = JetDatabase::Open(Locate(file), &result.reason);
  if (!db) return result;
  result.opened = true;
  result.table = db->ReadTable(table);
  return result;
}

}  // namespace quarn
