#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "model/prompt.h"

namespace quarn {

struct DatabaseTable;

// ---- VOC data files (user ".DAT" files and the program's "vocprops.txt") ----
//
// One value per line, records one after the other: a record has up to nine lines (five in
// "vocprops.txt"), and a line reading "END" in any letter case ends a record early. Files
// are closed by a last "END" line.

// The fields of a VOC record, in file order.
enum VocField : std::size_t {
  VocName,
  VocFormula,
  VocMolecularWeight,  // g/mole
  VocVapourPressure,   // P0, mm Hg
  VocDiffusivity,      // m2/h
  VocIrritantConc,     // mg/m3
  VocRfD,
  VocRfC,
  VocCancer,
  VocFieldCount
};

// Lines per record of "vocprops.txt": name to diffusivity.
inline constexpr std::size_t kVocPropertyFieldCount = 5;

// The VOC window's grid column of each field. The files hold the vapour pressure before the
// diffusivity, while the grid shows the diffusivity first.
inline constexpr std::array<int, VocFieldCount> kVocGridColumn = {1, 2, 3, 5, 4, 6, 7, 8, 9};

// Texts as the file holds them; fields a record did not reach are empty.
struct VocRecord {
  std::array<std::string, VocFieldCount> fields;
  bool IsEmpty() const;
};

// The records of a user VOC data file, in file order. Records whose fields are all empty
// (the closing "END", blank rows of older files) are left out, so a table saved and opened
// again gains no empty rows. nullopt after a message when the file cannot be read or ends
// inside a record.
std::optional<std::vector<VocRecord>> ReadVocFile(const std::string& file_name, Prompt& prompt);

// The same for "vocprops.txt" in the program folder (found whatever its letter case), with
// five-line records.
std::optional<std::vector<VocRecord>> ReadVocProperties(const std::string& program_folder,
                                                        Prompt& prompt);

// Writes the records, nine lines each with CR LF, skipping records whose nine fields are all
// empty, then a last "END" line. A line break inside a field becomes a blank, since it would
// shift every later line. False after a message when the file cannot be written; the previous
// file is then left as it was.
bool WriteVocFile(const std::string& file_name, const std::vector<VocRecord>& records,
                  Prompt& prompt);

// ---- Text source database (".sdb") ----
//
// Items separated by commas or line ends, texts optionally in double quotes: 12 column
// titles, then entries of 12 items each until the end of the file.

struct SourceDatabaseEntry {
  std::array<std::string, 4> names;   // the source window's grid columns 0 to 3
  std::array<float, 6> parameters{};  // columns 4 to 9: the emission model's parameters
  std::array<std::string, 2> notes;   // columns 10 and 11
};

struct SourceDatabase {
  std::array<std::string, 12> titles;
  std::vector<SourceDatabaseEntry> entries;
};

// nullopt after a message when the file cannot be read, holds a parameter that is not a
// number, or ends inside the titles or an entry.
std::optional<SourceDatabase> ReadSourceDatabase(const std::string& file_name, Prompt& prompt);

// ---- Jet database ----

// Opens the named file as a database and closes it again, to learn that it opens: the file
// must be a Jet database whose catalogue can be read. False after a message otherwise.
bool OpenDatabaseFile(const std::string& file_name, Prompt& prompt);
// The message of a database file that did not open:
// "Error.  Cannot open the database " & name & ".  " & reason.
void ShowDatabaseNotOpened(const std::string& file_name, const std::string& reason, Prompt& prompt);
// The message of a table asked of a database that did not come: the file did not open (as
// above), or it holds no table of that name. Nothing is shown when the table came.
void ShowTableNotRead(const DatabaseTable& read, const std::string& file_name,
                      const std::string& table, Prompt& prompt);

}  // namespace quarn
