#include "ui/tools/source_list_rows.h"

#include <algorithm>
#include <optional>

#include "files/database_service.h"
#include "files/reference_data.h"
#include "platform/flex_grid.h"
#include "text/number_read.h"

namespace quarn {

namespace {

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameNameAnyCase(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return Lower(x) == Lower(y); });
}

}  // namespace

SourceListRows ReadSourceListRows(MainContext& context, std::span<const char* const> fields) {
  const DatabaseTable read = context.database.ReadTable(kSourceListFile, kSourceListTable);
  if (!read.table) {
    ShowTableNotRead(read, kSourceListFile, kSourceListTable, context.prompt);
    return {};
  }
  const JetTable& table = *read.table;
  std::vector<std::optional<size_t>> where;
  for (const char* field : fields) {
    const auto it =
        std::find_if(table.columns.begin(), table.columns.end(),
                     [field](const std::string& c) { return SameNameAnyCase(c, field); });
    where.push_back(it == table.columns.end()
                        ? std::nullopt
                        : std::optional<size_t>(static_cast<size_t>(it - table.columns.begin())));
  }
  SourceListRows rows;
  for (const std::vector<std::string>& record : table.rows) {
    std::vector<std::string>& row = rows.emplace_back();
    for (const std::optional<size_t>& at : where) {
      row.push_back(at && *at < record.size() ? record[*at] : std::string());
    }
  }
  return rows;
}

void SortSourceListRows(SourceListRows& rows, size_t col, bool descending) {
  const bool numeric = std::all_of(rows.begin(), rows.end(), [col](const auto& row) {
    return row[col].empty() || ParseNumber(row[col]).has_value();
  });
  auto less = [numeric, col](const std::vector<std::string>& a, const std::vector<std::string>& b) {
    if (numeric) {
      const std::optional<double> x = ParseNumber(a[col]);
      const std::optional<double> y = ParseNumber(b[col]);
      return y && (!x || *x < *y);
    }
    return std::lexicographical_compare(a[col].begin(), a[col].end(), b[col].begin(), b[col].end(),
                                        [](char p, char q) { return Lower(p) < Lower(q); });
  };
  std::stable_sort(rows.begin(), rows.end(), [&](const auto& a, const auto& b) {
    return descending ? less(b, a) : less(a, b);
  });
}

void WriteSourceListRows(FlexGrid& grid, const std::vector<std::string>& headings,
                         const SourceListRows& rows, int first) {
  grid.SetRedraw(false);
  grid.SetRows(std::max<int>(2, static_cast<int>(rows.size()) + 1));
  grid.Clear();
  for (size_t c = 0; c < headings.size(); ++c) {
    const int col = first + static_cast<int>(c);
    grid.SetTextMatrix(0, col, headings[c]);
    for (size_t r = 0; r < rows.size(); ++r) {
      grid.SetTextMatrix(static_cast<int>(r) + 1, col, rows[r][c]);
    }
  }
  grid.SetRedraw(true);
}

}  // namespace quarn
