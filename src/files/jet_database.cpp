#include "files/jet_database.h"

#include <filesystem>

#include "files/jet_reader_client.h"

namespace quarn {

// The file is read by the reader program, afresh for every request; the database object keeps
// only the file's name and its table list.
struct JetDatabase::Impl {
  std::string path;
  std::vector<JetTableName> tables;
};

JetDatabase::JetDatabase(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
JetDatabase::JetDatabase(JetDatabase&& other) noexcept = default;
JetDatabase& JetDatabase::operator=(JetDatabase&& other) noexcept = default;
JetDatabase::~JetDatabase() = default;

std::optional<JetDatabase> JetDatabase::Open(const std::string& path, std::string* error) {
  auto fail = [&](const std::string& why) -> std::optional<JetDatabase> {
    if (error != nullptr) *error = why;
    return std::nullopt;
  };
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return fail("The file does not exist.");

  std::string why;
  const std::optional<std::string> reply = RunJetReader({path}, &why);
  if (!reply) return fail(why);
  JetReply<std::vector<JetTableName>> list = DecodeJetTableList(*reply);
  if (!list.value) {
    return fail(list.refusal.empty() ? "The file is not a database or is damaged." : list.refusal);
  }
  auto impl = std::make_unique<Impl>();
  impl->path = path;
  impl->tables = std::move(*list.value);
  return JetDatabase(std::move(impl));
}

std::vector<std::string> JetDatabase::Tables() const {
  std::vector<std::string> names;
  for (const JetTableName& table : impl_->tables) names.push_back(table.model);
  return names;
}

std::optional<JetTable> JetDatabase::ReadTable(const std::string& name) const {
  for (const JetTableName& table : impl_->tables) {
    if (table.model != name) continue;
    const std::optional<std::string> reply = RunJetReader({impl_->path, table.reader}, nullptr);
    if (!reply) return std::nullopt;
    return DecodeJetTable(*reply).value;
  }
  return std::nullopt;
}

}  // namespace quarn
