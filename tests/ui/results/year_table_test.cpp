// Display > Concentration of a year of the largest building (13 rooms, 8 pollutants, 43,789
// records), as the user shows, copies and prints it: the same texts and colours as the table
// has always had. The work file is written here from a formula, so that the test follows the
// table and not the run. The fixture holds, from the table as it was before it kept numbers
// instead of texts, every column heading, a sample of rows (texts as Copy All gives them,
// colours, printed lines), the first printed page, and FNV-1a hashes of the whole Copy All
// text, of every printed line and of every row's colours. QUARN_WRITE_FIXTURE=1 writes it.

#include <gtest/gtest.h>

#include <QColor>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/largest_scenario.h"
#include "model/concentration_run.h"
#include "model/work_file.h"
#include "platform/clipboard.h"
#include "platform/flex_grid.h"
#include "results_test_support.h"
#include "text/number_text.h"
#include "ui/results/results_form.h"

namespace quarn {
namespace {

std::uint64_t Fnv1a(const std::string& text, std::uint64_t hash = 14695981039346656037ULL) {
  for (const unsigned char c : text) {
    hash ^= c;
    hash *= 1099511628211ULL;
  }
  return hash;
}

std::string Hex(std::uint64_t value) {
  std::ostringstream out;
  out << std::hex;
  out.width(16);
  out.fill('0');
  out << value;
  return out.str();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// Each cell's background: R red, W white, - none.
std::string Colours(const FlexGrid& grid, int row) {
  std::string codes;
  for (int c = 0; c < grid.Cols(); ++c) {
    const QColor colour = grid.CellBackColorAt(row, c);
    codes += !colour.isValid()             ? '-'
             : colour == QColor(Qt::red)   ? 'R'
             : colour == QColor(Qt::white) ? 'W'
                                           : '?';
  }
  return codes;
}

// The fixture, read line by line.
class Fixture {
 public:
  Fixture() {
    std::ifstream in(std::string(QUARN_FIXTURES_DIR) + "/year_concentration_table.txt",
                     std::ios::binary);
    for (std::string line; std::getline(in, line);) lines_.push_back(line);
  }
  bool AtEnd() const { return next_ >= lines_.size(); }
  const std::string& Line() { return lines_.at(next_++); }
  // The value of a "name value" line, which must come next.
  std::string Value(const std::string& name) {
    const std::string& line = Line();
    EXPECT_EQ(line.substr(0, name.size() + 1), name + " ");
    return line.substr(name.size() + 1);
  }
  long Count(const std::string& name) { return std::stol(Value(name)); }

 private:
  std::vector<std::string> lines_;
  size_t next_ = 0;
};

bool WritingFixture() {
  const char* v = std::getenv("QUARN_WRITE_FIXTURE");
  return v != nullptr && std::string(v) == "1";
}

// A year's work file of the largest building, every value from a formula: mg/m³ across five
// decades, in waves that take some rooms above the irritant level of 2.5 mg/m³.
void WriteYear(BuildingRecord& b, const std::string& folder) {
  const int width = (b.NumRooms + 1) * b.Scenario.NumPollutants;
  const std::string path = folder + "/YearSEN.TMP";
  WorkFileWriter file;
  std::string reason;
  ASSERT_TRUE(file.Create(path, &reason)) << reason;
  ResultsBuffer buffer(width);
  const int records = 43789;
  float time = 0;
  for (int k = 0; k < records; ++k) {
    time = 0.2F * static_cast<float>(k + 1);
    std::span<float> record = buffer.Add(time);
    for (int i = 0; i < width; ++i) {
      const int room = i / b.Scenario.NumPollutants;
      const int p = i % b.Scenario.NumPollutants;
      const double wave = (1.1 + std::sin(0.37 * room + 0.11 * p + time / 7.3)) *
                          (0.5 + 0.5 * std::cos(time / 500 + p));
      record[static_cast<size_t>(i)] =
          static_cast<float>(2 * wave * std::pow(10.0, (room + p) % 5 - 2));
    }
    if (buffer.Full()) {
      ASSERT_TRUE(file.WriteResultsBlock(buffer, ','));
    }
  }
  ASSERT_TRUE(file.WriteResultsBlock(buffer, ','));
  ASSERT_TRUE(file.Finish());
  b.ConcWorkFile = path;
  b.Scenario.NumOutputRecords = records;
  b.Scenario.LastOutputTime = time;
}

class YearTable : public testing::BuildingWindowTest {
 protected:
  ~YearTable() override { AppWindows().Unload<ResultsForm>(); }

  // The fixture as the table gives it: the sample rows, with the printed lines of some.
  void WriteFixture(const FlexGrid& grid, const std::string& copied,
                    const std::vector<std::string>& copied_lines,
                    const std::vector<std::string>& printed, const std::string& print_hash,
                    const std::string& colour_hash) {
    std::ofstream out(std::string(QUARN_FIXTURES_DIR) + "/year_concentration_table.txt",
                      std::ios::binary);
    out << "copy_all_fnv1a " << Hex(Fnv1a(copied)) << "\nprint_fnv1a " << print_hash
        << "\ncolours_fnv1a " << colour_hash << "\nrows " << grid.Rows() << "\ncols " << grid.Cols()
        << "\npages " << printer.pages.size() << "\nprint_lines " << printed.size()
        << "\nfirst_page " << printer.pages[0].lines.size() << "\n";
    for (const std::string& line : printer.pages[0].lines) out << line << "\n";
    const int last = grid.Rows() - 1;
    for (int row : {0, 1, 2, 12, 37, 38, 85, 86, 87, 88, 1000, 8761, 21895, last - 1, last}) {
      out << "row " << row << "\n"
          << copied_lines[static_cast<size_t>(row)] << "\n"
          << Colours(grid, row) << "\n";
      std::vector<std::string> lines;
      const std::string start = std::string(9, ' ') + grid.TextMatrix(row, 0) + " ";
      if (row == 1 || row == 37 || row == 86 || row == last) {
        for (const std::string& line : printed)
          if (line.rfind(start, 0) == 0) lines.push_back(line);
      }
      out << "printed " << lines.size() << "\n";
      for (const std::string& line : lines) out << line << "\n";
    }
  }
};

TEST_F(YearTable, ShowsCopiesAndPrintsTheTextsAndColoursItAlwaysHas) {
  BuildingRecord& b = state->Building;
  b = LargestScenario(1);
  b.ID = "Largest";
  b.Scenario.Name = "Year";
  // In µg/m³, so that every value is converted, and red above 2.5 mg/m³.
  for (PollutantRecord& p : b.Scenario.Pollutants) p.IrritantConc = 2.5f;
  b.DisplayUnitCode = 1;
  WriteYear(b, (folder / "tmp").string());
  state->ConcentrationsCalculated = true;
  building->RunCommand("DisplayConcentration");
  ResultsForm* results = AppWindows().Find<ResultsForm>();
  ASSERT_NE(results, nullptr);
  const FlexGrid& grid = results->ResultsGrid();
  results->RunCommand("Editcopyall");
  const std::string copied = ClipboardText();
  const std::vector<std::string> copied_lines = Lines(copied);
  results->RunCommand("FilePrintConc");
  const std::vector<std::string> printed = printer.Lines();
  ASSERT_TRUE(prompt.shown.empty()) << prompt.shown[0].text;

  std::uint64_t print_hash = Fnv1a("");
  for (const std::string& line : printed) print_hash = Fnv1a(line + "\n", print_hash);
  std::uint64_t colour_hash = Fnv1a("");
  for (int r = 0; r < grid.Rows(); ++r) colour_hash = Fnv1a(Colours(grid, r) + "\n", colour_hash);
  if (WritingFixture()) {
    WriteFixture(grid, copied, copied_lines, printed, Hex(print_hash), Hex(colour_hash));
    return;
  }
  Fixture fixture;
  EXPECT_EQ(Hex(Fnv1a(copied)), fixture.Value("copy_all_fnv1a"));
  EXPECT_EQ(Hex(print_hash), fixture.Value("print_fnv1a"));
  EXPECT_EQ(Hex(colour_hash), fixture.Value("colours_fnv1a"));
  ASSERT_EQ(grid.Rows(), fixture.Count("rows"));
  ASSERT_EQ(grid.Cols(), fixture.Count("cols"));
  ASSERT_EQ(static_cast<long>(copied_lines.size()), grid.Rows());
  EXPECT_EQ(static_cast<long>(printer.pages.size()), fixture.Count("pages"));
  EXPECT_EQ(static_cast<long>(printed.size()), fixture.Count("print_lines"));
  const long first_page = fixture.Count("first_page");
  ASSERT_FALSE(printer.pages.empty());
  for (long i = 0; i < first_page; ++i) {
    const std::string& expected = fixture.Line();
    const auto at = static_cast<size_t>(i);
    EXPECT_EQ(at < printer.pages[0].lines.size() ? printer.pages[0].lines[at] : "", expected)
        << "line " << i << " of the first page";
  }
  // The sample rows, row 0 holding every column heading.
  while (!fixture.AtEnd()) {
    const int row = static_cast<int>(fixture.Count("row"));
    SCOPED_TRACE("row " + std::to_string(row));
    EXPECT_EQ(copied_lines[static_cast<size_t>(row)], fixture.Line());
    EXPECT_EQ(Colours(grid, row), fixture.Line());
    const long lines = fixture.Count("printed");
    std::vector<std::string> expected;
    for (long i = 0; i < lines; ++i) expected.push_back(fixture.Line());
    // Every printed line that starts with the row's time, in every band of columns.
    std::vector<std::string> mine;
    const std::string start = std::string(9, ' ') + grid.TextMatrix(row, 0) + " ";
    for (const std::string& line : printed) {
      if (lines > 0 && line.rfind(start, 0) == 0) mine.push_back(line);
    }
    EXPECT_EQ(mine, expected);
  }
  // Each cell keeps the number its text shows.
  for (int col : {0, 1, 57, 104}) {
    const std::optional<double> number = grid.Number(1000, col);
    ASSERT_TRUE(number.has_value()) << col;
    EXPECT_EQ(FormatPattern(static_cast<float>(*number), col == 0 ? "#####,0.0##" : "#.###E-#0"),
              grid.TextMatrix(1000, col))
        << col;
  }
}

}  // namespace
}  // namespace quarn
