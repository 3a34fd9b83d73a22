// The Jet reader program: reads one database file for the main program and writes what it
// found to its standard output (see jet_reply.h). The database library may crash, read past
// its buffers or loop without end on a damaged file; here that takes down only this process,
// which the main program then reports as a damaged database.
//
//   quarn_jet_reader FILE          the user tables, in catalogue order
//   quarn_jet_reader FILE TABLE    the named user table, whole

#include <glib.h>
// glib first: mdbtools.h uses its types without including it in C++.
#include <mdbtools.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "jet_reply.h"

namespace {

using quarn::jet_reply::PutField;

// A damaged catalogue can make the library allocate without end: stop it well before it
// troubles the machine. The main program also stops waiting after a few seconds.
constexpr rlim_t kMemoryLimit = rlim_t{512} << 20;
constexpr rlim_t kCpuSeconds = 10;

void LimitResources() {
  const rlimit memory{kMemoryLimit, kMemoryLimit};
  setrlimit(RLIMIT_AS, &memory);
  const rlimit cpu{kCpuSeconds, kCpuSeconds};
  setrlimit(RLIMIT_CPU, &cpu);
}

int Reply(const std::string& reply) {
  size_t done = 0;
  while (done < reply.size()) {
    const ssize_t n = write(STDOUT_FILENO, reply.data() + done, reply.size() - done);
    if (n <= 0) return 1;
    done += static_cast<size_t>(n);
  }
  return 0;
}

int Refuse(const char* reason) {
  std::string reply;
  PutField(reply, "error");
  PutField(reply, reason);
  return Reply(reply);
}

std::vector<MdbCatalogEntry*> UserTables(MdbHandle* mdb) {
  std::vector<MdbCatalogEntry*> tables;
  if (mdb->catalog == nullptr) return tables;
  for (guint i = 0; i < mdb->catalog->len; ++i) {
    auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
    if (entry != nullptr && mdb_is_user_table(entry)) tables.push_back(entry);
  }
  return tables;
}

int ListTables(MdbHandle* mdb) {
  const std::vector<MdbCatalogEntry*> tables = UserTables(mdb);
  std::string reply;
  PutField(reply, "ok");
  PutField(reply, std::to_string(tables.size()));
  for (MdbCatalogEntry* entry : tables) PutField(reply, entry->object_name);
  return Reply(reply);
}

// OLE objects and binary fields hold no text: they come out empty.
bool HoldsText(int col_type) {
  return col_type != MDB_OLE && col_type != MDB_BINARY;
}

int SendTable(MdbHandle* mdb, const char* name) {
  MdbCatalogEntry* found = nullptr;
  for (MdbCatalogEntry* entry : UserTables(mdb)) {
    if (std::strcmp(entry->object_name, name) == 0) {
      found = entry;
      break;
    }
  }
  if (found == nullptr) return Refuse("There is no such table.");
  MdbTableDef* table = mdb_read_table(found);
  if (table == nullptr || mdb_read_columns(table) == nullptr) {
    return Refuse("The table cannot be read.");
  }
  const guint num_cols = table->num_cols;
  if (num_cols == 0 || table->columns == nullptr || table->columns->len < num_cols) {
    return Refuse("The table cannot be read.");
  }
  // One buffer per column, one byte longer than the library ever writes so that every value
  // ends with a terminating zero.
  const size_t bind_size = mdb->bind_size;
  std::vector<std::vector<char>> buffers(num_cols, std::vector<char>(bind_size + 1, '\0'));
  std::vector<int> lengths(num_cols, 0);
  std::vector<bool> text_column(num_cols, false);
  std::string names;
  for (guint c = 0; c < num_cols; ++c) {
    auto* col = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, c));
    PutField(names, col->name);
    text_column[c] = HoldsText(col->col_type);
    if (text_column[c])
      mdb_bind_column(table, static_cast<int>(c + 1), buffers[c].data(), &lengths[c]);
  }

  std::string values;
  size_t rows = 0;
  mdb_rewind_table(table);
  while (mdb_fetch_row(table)) {
    for (guint c = 0; c < num_cols; ++c) {
      // A null value leaves the length at 0; the buffer may still hold the previous row.
      const size_t len =
          text_column[c] && lengths[c] > 0 ? strnlen(buffers[c].data(), bind_size) : 0;
      PutField(values, std::string_view(buffers[c].data(), len));
    }
    ++rows;
  }
  std::string reply;
  PutField(reply, "ok");
  PutField(reply, std::to_string(num_cols));
  PutField(reply, std::to_string(rows));
  reply += names;
  reply += values;
  return Reply(reply);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fputs("usage: quarn_jet_reader FILE [TABLE]\n", stderr);
    return 2;
  }
  LimitResources();
  MdbHandle* mdb = mdb_open(argv[1], MDB_NOFLAGS);
  if (mdb == nullptr) return Refuse("The file is not a database.");
  // mdb_open accepts some files that only look like a database at the start; a real one has
  // a readable catalogue with its system tables in it.
  GPtrArray* catalog = mdb_read_catalog(mdb, MDB_ANY);
  if (catalog == nullptr || catalog->len == 0) return Refuse("The file is not a database.");

  // Dates in a fixed numeric form. The process never sets a locale, so numbers keep the C
  // library's "." decimal point whatever the user's.
  mdb_set_date_fmt(mdb, "%Y-%m-%d %H:%M:%S");
  mdb_set_shortdate_fmt(mdb, "%Y-%m-%d %H:%M:%S");
  mdb_set_boolean_fmt_numbers(mdb);
  const int status = argc == 2 ? ListTables(mdb) : SendTable(mdb, argv[2]);
  // The process ends here; closing the handle would only give a damaged file another chance
  // to take it down after the reply is complete.
  return status;
}
