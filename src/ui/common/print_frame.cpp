#include "ui/common/print_frame.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/flex_grid.h"

namespace quarn {
namespace {

// Where the first cell of a row and the title start.
constexpr int kFirstColumn = 10;

// Print columns a grid column takes: its width in characters of the printout (15 twips a
// pixel, 8 pixels a character) and 8 more, so that short columns stay apart.
int16_t Advance(const FlexGrid& grid, int col) {
  return static_cast<int16_t>(grid.ColWidth(col) / 15 / 8 + 8);
}

// The printed lines of a cell `width` characters wide: its own lines, each wrapped at blanks
// (a word longer than the width is cut into pieces), so that a long or two-line heading prints
// as aligned rows under its column instead of running into the next cell.
std::vector<std::string> CellLines(const std::string& text, int width) {
  const auto most = static_cast<size_t>(std::max(width, 1));
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    std::string line;
    size_t at = start;
    while (at < end) {
      const size_t blank = std::min(text.find(' ', at), end);
      std::string word = text.substr(at, blank - at);
      at = blank + 1;
      if (word.empty()) continue;
      while (word.size() > most) {
        if (!line.empty()) lines.push_back(line), line.clear();
        lines.push_back(word.substr(0, most));
        word.erase(0, most);
      }
      if (!line.empty() && line.size() + 1 + word.size() > most)
        lines.push_back(line), line.clear();
      line += (line.empty() ? "" : " ") + word;
    }
    if (!line.empty() || lines.empty()) lines.push_back(line);
    if (end == text.size()) break;
    start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
  }
  return lines;
}

// The columns printed together: column 0, then as many as end within the line, and at
// least one, so that every column is printed. A grid that fits is one band.
std::vector<std::vector<int>> Bands(const std::vector<int16_t>& advance, int width) {
  const int cols = static_cast<int>(advance.size());
  if (cols == 0) return {{}};
  std::vector<std::vector<int>> bands;
  for (int c = 1; c < cols || bands.empty();) {
    std::vector<int> band{0};
    int at = kFirstColumn + advance[0];
    while (c < cols && (band.size() == 1 || at + advance[c] - 1 <= width)) {
      band.push_back(c);
      at += advance[c];
      ++c;
    }
    bands.push_back(std::move(band));
  }
  return bands;
}

// A title as printed lines of at most `width` characters: broken at the last blank that
// fits (or cut where none does), its own spacing kept.
std::vector<std::string> TitleLines(std::string text, int width) {
  const auto most = static_cast<size_t>(std::max(width, 1));
  std::vector<std::string> lines;
  while (text.size() > most) {
    size_t cut = text.rfind(' ', most);
    const size_t next = cut == std::string::npos || cut == 0 ? most : cut + 1;
    if (cut == std::string::npos || cut == 0) cut = most;
    lines.push_back(text.substr(0, cut));
    text.erase(0, next);
  }
  lines.push_back(text);
  return lines;
}

// Whether row r holds any text in the band's columns (the repeated first column left out
// when `own_only`).
bool BandHasText(const FlexGrid& grid, const std::vector<int>& band, int r, bool own_only) {
  for (size_t i = own_only ? 1 : 0; i < band.size(); ++i) {
    if (!grid.TextMatrix(r, band[i]).empty()) return true;
  }
  return false;
}

// The printed lines of row r in a band: its cells side by side, each at its column, a cell
// of several lines going on under itself.
std::vector<std::string> RowLines(const FlexGrid& grid, const std::vector<int>& band,
                                  const std::vector<int16_t>& advance, int r, int line_width) {
  std::vector<std::vector<std::string>> cells;
  size_t height = 1;
  int start = kFirstColumn;
  for (int c : band) {
    // The last column of a band has the rest of the line; the others one blank apart.
    const bool last = c == band.back();
    const int width = last ? std::max(advance[c] - 1, line_width - start + 1) : advance[c] - 1;
    cells.push_back(CellLines(grid.TextMatrix(r, c), width));
    height = std::max(height, cells.back().size());
    start += advance[c];
  }
  std::vector<std::string> lines;
  for (size_t line = 0; line < height; ++line) {
    std::string text;
    int at = kFirstColumn;
    for (size_t i = 0; i < cells.size(); ++i) {
      if (line < cells[i].size() && !cells[i][line].empty()) {
        // Cells are cut to their columns, so each starts past the one before it.
        text.resize(std::max(text.size() + (text.empty() ? 0 : 1), static_cast<size_t>(at - 1)),
                    ' ');
        text += cells[i][line];
      }
      at += advance[static_cast<size_t>(band[i])];
    }
    lines.push_back(std::move(text));
  }
  return lines;
}

void PrintLines(PrintJob& job, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    job.Item(line);
    job.EndLine();
  }
}

}  // namespace

void PrintPageBreak(PrintJob& job, const std::string& heading) {
  job.NewPage();
  job.Tab(20, heading);
  job.EndLine();
}

void PrintGrid(PrintJob& job, const FlexGrid& grid, const std::string& title, bool end_document) {
  std::vector<int16_t> advance(static_cast<size_t>(grid.Cols()));
  for (size_t c = 0; c < advance.size(); ++c) advance[c] = Advance(grid, static_cast<int>(c));
  const DateTime now = job.Now();
  const std::string title_line = title + " Date " + DateText(now) + " Time " + TimeText(now);
  // A title longer than the line goes on under itself, rather than being cut at the margin.
  const std::vector<std::string> title_lines =
      TitleLines(title_line, job.CharsPerLine() - kFirstColumn + 1);
  auto print_title = [&] {
    for (const std::string& line : title_lines) {
      job.Tab(kFirstColumn, line);
      job.EndLine();
    }
  };
  print_title();
  const auto title_height = static_cast<int>(title_lines.size());
  const int headings = std::min(grid.FixedRows(), grid.Rows());
  const std::vector<std::vector<int>> bands = Bands(advance, job.CharsPerLine());
  for (size_t b = 0; b < bands.size(); ++b) {
    const std::vector<int>& band = bands[b];
    // The printed lines of each row of the band. A band after the first repeats the first
    // column beside its own and leaves out the rows in which its own columns hold nothing;
    // no band prints a row that is empty all along.
    std::vector<std::vector<std::string>> rows;
    std::vector<bool> heading;
    int heading_lines = 0;
    for (int r = 0; r < grid.Rows(); ++r) {
      if (!BandHasText(grid, band, r, b > 0)) continue;
      rows.push_back(RowLines(grid, band, advance, r, job.CharsPerLine()));
      heading.push_back(r < headings);
      if (r < headings) heading_lines += static_cast<int>(rows.back().size());
    }
    auto print_headings = [&] {
      for (size_t i = 0; i < rows.size() && heading[i]; ++i) PrintLines(job, rows[i]);
    };
    // A band starts where its headings and its first row fit on the page.
    const auto body = static_cast<size_t>(std::count(heading.begin(), heading.end(), true));
    const int first_body = body < rows.size() ? static_cast<int>(rows[body].size()) : 0;
    if (b > 0) {
      if (job.LinesLeftOnPage() < 1 + heading_lines + first_body) {
        job.NewPage();
        print_title();
      } else {
        job.EmptyLine();
      }
    }
    for (size_t i = 0; i < rows.size(); ++i) {
      const int height = static_cast<int>(rows[i].size());
      // A row that would run over the page goes to the next one, under the title and the
      // column headings again, when that page can take them and the row together.
      if (!heading[i] && job.LinesLeftOnPage() < height &&
          title_height + heading_lines + height <= job.LinesPerPage()) {
        job.NewPage();
        print_title();
        print_headings();
      }
      PrintLines(job, rows[i]);
    }
  }
  if (end_document) job.EndDocument();
}

void PrintStampedGrid(PrinterService& printer, const FlexGrid& grid, const std::string& head) {
  PrintCommand command(printer);
  PrintGrid(command.Job(), grid, head, true);
}

void PrintReportSection(PrinterService& printer, const BuildingRecord& building,
                        ReportSection section, int lines_per_page) {
  PrintCommand command(printer);
  int line_count = 0;
  section(command.Job(), building, line_count, lines_per_page);
  command.Job().EndDocument();
}

}  // namespace quarn
