#include "platform/print_job.h"

#include <gtest/gtest.h>

#include <string>

#include "common/recording_printer.h"
#include "text/number_text.h"

namespace quarn {
namespace {

std::string Blanks(int n) {
  return std::string(static_cast<size_t>(n), ' ');
}

TEST(PrintJob, ItemsLandAtTheirTabColumns) {
  testing::RecordingPrinter printer;
  {
    PrintCommand command(printer);
    PrintJob& job = command.Job();
    job.Tab(15, "Room Information ");
    job.EndLine();
    job.Tab(15, "Building Name:   ");  // 17 characters: the line is past column 30
    job.Tab(30, "Test house");
    job.Tab(10, FileSingle(5.0F));
    job.Item(FileSingle(-2.5F));
    job.Tab(18, FormatPattern(1234.5, "#,###.##"));
    job.Tab(25, "at 25");  // exactly where the line ends: no new line
    job.EmptyLine();
  }
  EXPECT_EQ(printer.Lines(),
            (std::vector<std::string>{Blanks(14) + "Room Information ",
                                      Blanks(14) + "Building Name:   ", Blanks(29) + "Test house",
                                      Blanks(9) + " 5 -2.5 1,234.5at 25", ""}));
}

TEST(PrintJob, PagesCutLinesRunOnAndEndOnce) {
  testing::RecordingPrinter printer;
  printer.format = {10, 20};
  {
    PrintCommand command(printer);
    PrintJob& job = command.Job();
    job.EndDocument();  // nothing printed: no document
    job.NewPage();      // an unused page is not wasted
    job.Tab(15, "0123456789");
    for (int i = 2; i <= 11; ++i) job.Tab(1, "line " + std::to_string(i));
    job.EndDocument();
    job.EndDocument();
    EXPECT_EQ(printer.documents, 1);
    job.Tab(1, "next document");
  }  // the command ends the document it left open
  ASSERT_EQ(printer.pages.size(), 3U);
  EXPECT_EQ(printer.pages[0].lines.size(), 10U);
  EXPECT_EQ(printer.pages[0].lines[0], Blanks(14) + "012345");
  EXPECT_EQ(printer.pages[1].lines, std::vector<std::string>{"line 11"}) << "no heading";
  EXPECT_EQ(printer.pages[2].document, 1);
  EXPECT_EQ(printer.documents, 2);
}

}  // namespace
}  // namespace quarn
