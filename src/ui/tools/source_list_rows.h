#pragma once

#include <span>
#include <string>
#include <vector>

#include "ui/common/main_context.h"

namespace quarn {

class FlexGrid;

// The reference source list that the source list windows show: the database file and its
// table, read only.
inline constexpr const char* kSourceListFile = "varavir15.mdb";
inline constexpr const char* kSourceListTable = "SourceList";

using SourceListRows = std::vector<std::vector<std::string>>;

// The rows of the source list with the fields asked for, in that order; a field the table
// lacks stays empty. A file that does not open, or holds no such table, says so and gives
// no rows.
SourceListRows ReadSourceListRows(MainContext& context, std::span<const char* const> fields);

// Sorts the rows by column `col`, keeping the order of equal cells: by value when every
// non-empty cell of the column is a number (empty cells first), else by text without regard
// to letter case.
void SortSourceListRows(SourceListRows& rows, size_t col, bool descending);

// Writes rows under the headings from column `first` on, with one empty row when there are
// none.
void WriteSourceListRows(FlexGrid& grid, const std::vector<std::string>& headings,
                         const SourceListRows& rows, int first);

}  // namespace quarn
