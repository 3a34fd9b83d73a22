#include "files/jet_database.h"

#include <glib.h>
// glib first: mdbtools.h uses its types without including it in C++.
#include <locale.h>
#include <mdbtools.h>

#include <cstring>
#include <filesystem>
#include <string_view>

#include "text/cp1252.h"

namespace quarn {

namespace {

// The database library hands out UTF-8; the model keeps Windows-1252 (a character the code
// page lacks becomes "?").
std::string ToModelText(const char* utf8, size_t size) {
  return Utf8ToCp1252(std::string_view(utf8, size));
}
std::string ToModelText(const char* utf8) {
  return Utf8ToCp1252(utf8);
}

// The database library formats numbers with the C library under the thread's locale; a
// decimal-comma user locale would give "444,555". Switch this thread to the "C" numeric
// conventions while it works, and back afterwards.
class CNumericLocale {
 public:
  CNumericLocale() {
    locale_t base = duplocale(uselocale(static_cast<locale_t>(nullptr)));
    if (base != nullptr) {
      c_numeric_ = newlocale(LC_NUMERIC_MASK, "C", base);
      if (c_numeric_ == nullptr) freelocale(base);
    }
    if (c_numeric_ == nullptr) {
      c_numeric_ = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
    }
    if (c_numeric_ != nullptr) previous_ = uselocale(c_numeric_);
  }
  ~CNumericLocale() {
    if (c_numeric_ != nullptr) {
      uselocale(previous_);
      freelocale(c_numeric_);
    }
  }
  CNumericLocale(const CNumericLocale&) = delete;
  CNumericLocale& operator=(const CNumericLocale&) = delete;

 private:
  locale_t c_numeric_ = nullptr;
  locale_t previous_ = nullptr;
};

// The catalogue entries that are user tables (not MSys* and not queries, forms, ...).
std::vector<MdbCatalogEntry*> UserTables(MdbHandle* mdb) {
  std::vector<MdbCatalogEntry*> tables;
  if (mdb->catalog == nullptr) return tables;
  for (guint i = 0; i < mdb->catalog->len; ++i) {
    auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
    if (entry != nullptr && mdb_is_user_table(entry)) tables.push_back(entry);
  }
  return tables;
}

bool HoldsText(int col_type) {
  return col_type != MDB_OLE && col_type != MDB_BINARY;
}

}  // namespace

struct JetDatabase::Impl {
  MdbHandle* mdb = nullptr;
  ~Impl() {
    if (mdb != nullptr) mdb_close(mdb);
  }
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

  CNumericLocale c_numeric;
  auto impl = std::make_unique<Impl>();
  impl->mdb = mdb_open(path.c_str(), MDB_NOFLAGS);
  if (impl->mdb == nullptr) return fail("The file is not a database.");
  // mdb_open accepts some files that only look like a database at the start; a real one
  // has a readable catalogue with its system tables in it.
  GPtrArray* catalog = mdb_read_catalog(impl->mdb, MDB_ANY);
  if (catalog == nullptr || catalog->len == 0) return fail("The file is not a database.");

  // Dates in a fixed numeric form, independent of the user's time locale.
  mdb_set_date_fmt(impl->mdb, "%Y-%m-%d %H:%M:%S");
  mdb_set_shortdate_fmt(impl->mdb, "%Y-%m-%d %H:%M:%S");
  mdb_set_boolean_fmt_numbers(impl->mdb);
  return JetDatabase(std::move(impl));
}

std::vector<std::string> JetDatabase::Tables() const {
  std::vector<std::string> names;
  for (MdbCatalogEntry* entry : UserTables(impl_->mdb)) {
    names.push_back(ToModelText(entry->object_name));
  }
  return names;
}

std::optional<JetTable> JetDatabase::ReadTable(const std::string& name) const {
  CNumericLocale c_numeric;
  MdbHandle* mdb = impl_->mdb;
  MdbCatalogEntry* found = nullptr;
  for (MdbCatalogEntry* entry : UserTables(mdb)) {
    if (ToModelText(entry->object_name) == name) {
      found = entry;
      break;
    }
  }
  if (found == nullptr) return std::nullopt;

  MdbTableDef* table = mdb_read_table(found);
  if (table == nullptr) return std::nullopt;
  struct TableCloser {
    MdbTableDef* table;
    ~TableCloser() { mdb_free_tabledef(table); }
  } closer{table};
  if (mdb_read_columns(table) == nullptr) return std::nullopt;

  const guint num_cols = table->num_cols;
  if (table->columns == nullptr || table->columns->len < num_cols) return std::nullopt;
  JetTable result;
  // One buffer per column, one byte longer than the library ever writes so that every
  // value ends with a terminating zero.
  const size_t bind_size = mdb->bind_size;
  std::vector<std::vector<char>> buffers(num_cols, std::vector<char>(bind_size + 1, '\0'));
  std::vector<int> lengths(num_cols, 0);
  std::vector<bool> text_column(num_cols, false);
  for (guint c = 0; c < num_cols; ++c) {
    auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, c));
    result.columns.push_back(ToModelText(col->name));
    text_column[c] = HoldsText(col->col_type);
    if (text_column[c])
      mdb_bind_column(table, static_cast<int>(c + 1), buffers[c].data(), &lengths[c]);
  }

  mdb_rewind_table(table);
  while (mdb_fetch_row(table)) {
    std::vector<std::string> row(num_cols);
    for (guint c = 0; c < num_cols; ++c) {
      if (!text_column[c]) continue;
      // A null value leaves the length at 0; the buffer may still hold the previous row.
      const size_t len = lengths[c] > 0 ? strnlen(buffers[c].data(), bind_size) : 0;
      row[c] = ToModelText(buffers[c].data(), len);
    }
    result.rows.push_back(std::move(row));
  }
  return result;
}

}  // namespace quarn
