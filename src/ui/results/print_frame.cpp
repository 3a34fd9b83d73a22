#include "ui/results/print_frame.h"

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

// A line break inside a cell would break the table's line.
std::string OneLine(std::string text) {
  for (char& ch : text) {
    if (ch == '\n' || ch == '\r') ch = ' ';
  }
  return text;
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
  job.Tab(kFirstColumn, title + " Date " + DateText(now) + " Time " + TimeText(now));
  job.EndLine();
  const std::vector<std::vector<int>> bands = Bands(advance, job.CharsPerLine());
  for (size_t b = 0; b < bands.size(); ++b) {
    if (b > 0) job.EmptyLine();
    for (int r = 0; r < grid.Rows(); ++r) {
      int at = kFirstColumn;
      for (int c : bands[b]) {
        job.Tab(at, OneLine(grid.TextMatrix(r, c)));
        at += advance[c];
      }
      job.EndLine();
    }
  }
  if (end_document) job.EndDocument();
}

void PrintStampedGrid(PrinterService& printer, const FlexGrid& grid, const std::string& head) {
  PrintCommand command(printer);
  PrintJob& job = command.Job();
  const DateTime now = job.Now();
  PrintGrid(job, grid, head + " Date " + DateText(now) + " Time " + TimeText(now), true);
}

}  // namespace quarn
