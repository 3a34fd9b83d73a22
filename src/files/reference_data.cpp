#include "files/reference_data.h"

#include <cmath>
#include <string_view>

#include "files/database_service.h"
#include "files/item_file.h"
#include "files/jet_database.h"
#include "text/number_read.h"
#include "text/paths.h"
#include "text/text_reader.h"
#include "text/text_writer.h"

namespace quarn {

namespace {

constexpr const char* kErrorTitle = "Error";

void ShowError(Prompt& prompt, const std::string& text) {
  prompt.Message(text, kErrorTitle, MessageIcon::Critical);
}

void EndsInsideRecord(Prompt& prompt, const std::string& file_name) {
  ShowError(prompt, "Error.  The file " + file_name + " ends inside a record.  Nothing was read.");
}

bool IsEndLine(std::string_view line) {
  if (line.size() != 3) return false;
  auto upper = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; };
  return upper(line[0]) == 'E' && upper(line[1]) == 'N' && upper(line[2]) == 'D';
}

// The bytes without what editors leave after the last item (blank lines, blanks, a DOS
// end-of-file mark), so that the end of the data is the end of the file.
std::string_view WithoutTrailingSpace(std::string_view bytes) {
  while (!bytes.empty()) {
    const char c = bytes.back();
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != '\x1A') break;
    bytes.remove_suffix(1);
  }
  return bytes;
}

struct ParsedVoc {
  std::vector<VocRecord> records;
  bool ends_inside_record = false;
};

ParsedVoc ParseVocRecords(std::string_view bytes, std::size_t lines_per_record) {
  ParsedVoc parsed;
  ItemReader reader(bytes);
  while (!reader.AtEnd()) {
    VocRecord record;
    std::size_t count = 0;
    bool complete = false;
    while (!complete) {
      std::optional<std::string> line = reader.ReadLine();
      if (!line) break;
      if (IsEndLine(*line)) {
        complete = true;
      } else {
        record.fields[count++] = std::move(*line);
        complete = count == lines_per_record;
      }
    }
    // Empty lines at the end of a file are no record; a record with text in it that the
    // file cuts off may have lost the lines that belong after it.
    if (record.IsEmpty()) continue;
    if (!complete) {
      parsed.ends_inside_record = true;
      return parsed;
    }
    parsed.records.push_back(std::move(record));
  }
  return parsed;
}

std::optional<std::vector<VocRecord>> ReadVocRecords(const std::string& file_name,
                                                     std::size_t lines_per_record, Prompt& prompt) {
  const std::optional<std::string> bytes = item_file::Load(file_name, prompt);
  if (!bytes) return std::nullopt;
  ParsedVoc parsed = ParseVocRecords(*bytes, lines_per_record);
  if (parsed.ends_inside_record) {
    EndsInsideRecord(prompt, file_name);
    return std::nullopt;
  }
  return std::move(parsed.records);
}

// A field is one line of the file: a line break inside it would shift every later field.
std::string OneLine(const std::string& text) {
  std::string line = text;
  for (char& c : line) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return line;
}

}  // namespace

bool VocRecord::IsEmpty() const {
  for (const auto& field : fields) {
    if (!field.empty()) return false;
  }
  return true;
}

std::optional<std::vector<VocRecord>> ReadVocFile(const std::string& file_name, Prompt& prompt) {
  return ReadVocRecords(file_name, VocFieldCount, prompt);
}

std::optional<std::vector<VocRecord>> ReadVocProperties(const std::string& program_folder,
                                                        Prompt& prompt) {
  const std::string name = "vocprops.txt";
  const std::optional<std::string> path = FindFileAnyCase(program_folder, name);
  return ReadVocRecords(path.value_or(JoinPath(program_folder, name)), kVocPropertyFieldCount,
                        prompt);
}

bool WriteVocFile(const std::string& file_name, const std::vector<VocRecord>& records,
                  Prompt& prompt) {
  LineWriter writer;
  for (std::size_t k = 0; k < records.size(); ++k) {
    const VocRecord& record = records[k];
    if (record.IsEmpty()) continue;
    // A line "END" ends a record (and the file) where it stands: the fields after it would
    // read back into the next record.
    for (std::size_t f = 0; f < record.fields.size(); ++f) {
      if (!IsEndLine(OneLine(record.fields[f]))) continue;
      ShowError(prompt, "Error.  Field " + std::to_string(f + 1) + " of record " +
                            std::to_string(k + 1) + " reads \"" + record.fields[f] +
                            "\", which ends a record in the file.  Change it and save again.");
      return false;
    }
    for (const std::string& field : record.fields) {
      writer.Put(OneLine(field));
      writer.NewLine();
    }
  }
  writer.Put("END");
  writer.NewLine();
  if (!item_file::MayReplace(file_name, prompt)) return false;
  std::string reason;
  if (!WriteFileAtomic(file_name, writer.Bytes(), &reason)) {
    ShowError(prompt, "Error.  " + file_name + " could not be saved: " + reason);
    return false;
  }
  return true;
}

std::optional<SourceDatabase> ReadSourceDatabase(const std::string& file_name, Prompt& prompt) {
  const std::optional<std::string> bytes = item_file::Load(file_name, prompt);
  if (!bytes) return std::nullopt;
  const std::string_view data = WithoutTrailingSpace(*bytes);
  ItemReader reader(data);
  // A comma that ends the data still opens one last item, left empty (a last entry without
  // comments); trimming took away the line end that would have closed it.
  bool empty_last_item = !data.empty() && data.back() == ',';
  SourceDatabase database;
  bool ok = true;
  auto read_text = [&](std::string& out) {
    std::optional<std::string> item = ok ? reader.ReadItem() : std::nullopt;
    if (!item && ok && empty_last_item && reader.AtEnd()) {
      item = std::string();
      empty_last_item = false;
    }
    if (item) out = std::move(*item);
    ok = ok && item.has_value();
  };
  for (std::string& title : database.titles) read_text(title);
  while (ok && !reader.AtEnd()) {
    SourceDatabaseEntry entry;
    for (std::string& name : entry.names) read_text(name);
    for (float& parameter : entry.parameters) {
      if (!ok) break;
      if (reader.AtEnd()) {
        ok = false;
        break;
      }
      const std::optional<double> value = reader.ReadNumber();
      // Parameters are single precision: a value beyond its range cannot be held.
      const std::optional<float> single = value ? AsSingle(*value) : std::nullopt;
      if (!single) {
        ShowError(prompt, "Error.  The file " + file_name + " holds \"" + reader.LastItem() +
                              "\" where a number belongs.  Nothing was read.");
        return std::nullopt;
      }
      parameter = *single;
    }
    for (std::string& note : entry.notes) read_text(note);
    if (ok) database.entries.push_back(std::move(entry));
  }
  if (!ok) {
    EndsInsideRecord(prompt, file_name);
    return std::nullopt;
  }
  return database;
}

bool OpenDatabaseFile(const std::string& file_name, Prompt& prompt) {
  std::string reason;
  if (!JetDatabase::Open(file_name, &reason)) {
    ShowDatabaseNotOpened(file_name, reason, prompt);
    return false;
  }
  return true;
}

void ShowDatabaseNotOpened(const std::string& file_name, const std::string& reason,
                           Prompt& prompt) {
  ShowError(prompt, "Error.  Cannot open the database " + file_name + ".  " + reason);
}

void ShowTableNotRead(const DatabaseTable& read, const std::string& file_name,
                      const std::string& table, Prompt& prompt) {
  if (!read.opened) {
    ShowDatabaseNotOpened(file_name, read.reason, prompt);
  } else if (!read.table) {
    ShowError(prompt, "Error.  The database " + file_name + " holds no table " + table + ".");
  }
}

}  // namespace quarn
