#include "files/jet_database.h"

#include <unistd.h>

#include <cstdint>

#include "files/jet_reader_client.h"
#include "text/text_reader.h"

namespace quarn {

namespace {
constexpr std::uint64_t kLargestDatabase = std::uint64_t{2} << 30;
}  // namespace

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
  // Only a regular file goes to the reader program: it would wait on a pipe until its time
  // runs out. No Jet database is larger than 2 GB.
  ReadFailure failure = ReadFailure::None;
  const int fd = OpenRegularFile(path, kLargestDatabase, &failure);
  if (fd < 0) {
    if (failure == ReadFailure::Missing) return fail("The file does not exist.");
    if (failure == ReadFailure::TooLarge)
      return fail("The file is too large to be a database (over " +
                  SizeLimitText(kLargestDatabase) + ").");
    return fail("The file cannot be read.");
  }
  close(fd);

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
