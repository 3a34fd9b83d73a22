#include "platform/printer_service.h"

#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "common/ink_bounds.h"
#include "common/recording_printer.h"
#include "common/scripted_file_dialog.h"
#include "common/scripted_prompt.h"
#include "platform/flex_grid.h"
#include "platform/qt_text.h"

namespace quarn {
namespace {

using testing::RecordingPrinter;
using testing::ScriptedFileDialog;
using testing::ScriptedPrompt;

// What a PDF file holds, as far as the tests look: its first bytes and each page's size.
struct PdfFile {
  std::string head;
  std::vector<std::pair<double, double>> pages;  // width, height in points
};

PdfFile ReadPdf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  const std::string bytes = s.str();
  PdfFile pdf{bytes.substr(0, 5), {}};
  // Page objects are written uncompressed, each with its own media box.
  const std::regex page(R"(/Type /Page\b[^s][\s\S]*?/MediaBox \[0 0 ([\d.]+) ([\d.]+)\])");
  for (auto it = std::sregex_iterator(bytes.begin(), bytes.end(), page);
       it != std::sregex_iterator(); ++it) {
    pdf.pages.emplace_back(std::stod((*it)[1]), std::stod((*it)[2]));
  }
  return pdf;
}

class PdfPrinter : public ::testing::Test {
 protected:
  std::string File(const char* name) const { return FromQt(dir_.filePath(name)); }
  void PrintLines(int count) {
    PrintCommand command(printer_);
    for (int i = 0; i < count; ++i) {
      command.Job().Tab(10, "line " + std::to_string(i));
      command.Job().EndLine();
    }
    command.Job().EndDocument();
  }

  QTemporaryDir dir_;
  ScriptedFileDialog dialogs_;
  ScriptedPrompt prompt_;
  QtPrinterService printer_{dialogs_, prompt_, false};
};

TEST_F(PdfPrinter, PortraitPageHoldsTheReportWidthAndALongPrintoutRunsOn) {
  const PageFormat format = printer_.TextFormat();
  EXPECT_GE(format.chars_per_line, 110);
  EXPECT_GE(format.lines_per_page, 80);
  dialogs_.answers = {File("long")};
  PrintLines(format.lines_per_page + 21);
  ASSERT_EQ(dialogs_.asked.size(), 1U);
  EXPECT_EQ(dialogs_.asked[0].kind, "save");
  EXPECT_EQ(dialogs_.asked[0].request.initial_name, "*.pdf");
  EXPECT_EQ(dialogs_.asked[0].request.filter, "PDF file (*.pdf)|*.pdf|All files (*.*)|*.*");
  const PdfFile pdf = ReadPdf(File("long.pdf"));
  EXPECT_EQ(pdf.head, "%PDF-");
  EXPECT_EQ(pdf.pages.size(), 2U);
  EXPECT_TRUE(prompt_.shown.empty());
}

TEST_F(PdfPrinter, OneCommandIsOneFileAndACancelAsksNoMore) {
  dialogs_.answers = {File("both.pdf"), std::nullopt};
  {
    PrintCommand command(printer_);
    for (const char* text : {"first", "second"}) {
      command.Job().Tab(10, text);
      command.Job().EndLine();
      command.Job().EndDocument();
    }
  }
  EXPECT_EQ(ReadPdf(File("both.pdf")).pages.size(), 2U);
  {
    PrintCommand command(printer_);  // cancelled at its first output
    for (int i = 0; i < 3; ++i) {
      command.Job().Tab(10, "dropped");
      command.Job().EndDocument();
    }
  }
  EXPECT_EQ(dialogs_.asked.size(), 2U);
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{"both.pdf"});
  EXPECT_TRUE(prompt_.shown.empty());

  dialogs_.answers = {File("no such folder/out.pdf")};
  PrintLines(2);
  ASSERT_EQ(prompt_.shown.size(), 1U) << "a file that cannot be written is not a printout";
  EXPECT_EQ(prompt_.shown[0].text,
            "Error.  The file " + File("no such folder/out.pdf") + " could not be written.");
}

TEST_F(PdfPrinter, SetUpAnsweredLandscapeTurnsTheNextPage) {
  dialogs_.printer_answers = {std::nullopt, QPageLayout::Landscape};
  printer_.Setup();  // cancelled: still portrait
  dialogs_.answers = {File("portrait.pdf")};
  PrintLines(1);
  printer_.Setup();
  dialogs_.answers = {File("landscape.pdf")};
  PrintLines(1);
  const auto portrait = ReadPdf(File("portrait.pdf")).pages;
  const auto landscape = ReadPdf(File("landscape.pdf")).pages;
  ASSERT_EQ(portrait.size(), 1U);
  ASSERT_EQ(landscape.size(), 1U);
  EXPECT_LT(portrait[0].first, portrait[0].second);
  EXPECT_GT(landscape[0].first, landscape[0].second);
  EXPECT_EQ(dialogs_.asked[0].kind, "printer");
}

TEST(PicturePage, ADrawingLandsInItsShareOfThePage) {
  RecordingPrinter printer;
  printer.picture_size = {622, 933};
  {
    PrintCommand command(printer);
    command.Job().Tab(1, "a text page first");
    command.Job().EndLine();
    command.Picture([](QPainter& p) { p.fillRect(5, 5, 25100, 27000, Qt::black); });
    command.Job().Tab(1, "after the picture");
    command.Job().EndLine();
  }
  ASSERT_EQ(printer.pages.size(), 3U);
  EXPECT_EQ(printer.pages[2].lines, std::vector<std::string>{"after the picture"});
  const QRect ink = testing::InkBounds(printer.pages[1].picture);
  // 31,100 units each way over 622 by 933 pixels: 50 and 33.33 units a pixel.
  EXPECT_NEAR(ink.left(), 0, 1);
  EXPECT_NEAR(ink.top(), 0, 1);
  EXPECT_NEAR(ink.right(), 25105 / 50.0, 1.5);
  EXPECT_NEAR(ink.bottom(), 27005 / (31100.0 / 933), 1.5);
}

TEST(PicturePage, AWindowImageFillsThePrintableWidthAspectKept) {
  RecordingPrinter printer;
  printer.picture_size = {600, 900};
  QWidget window;
  window.resize(300, 200);
  window.setAutoFillBackground(true);
  window.setPalette(QPalette(Qt::black));
  {
    PrintCommand command(printer);
    command.Window(window);
  }
  ASSERT_EQ(printer.pages.size(), 1U);
  EXPECT_EQ(testing::InkBounds(printer.pages[0].picture), QRect(0, 0, 600, 400));
  EXPECT_EQ(ImageArea({300, 200}, {600, 300}), QRect(0, 0, 450, 300)) << "kept on one page";
}

}  // namespace
}  // namespace quarn
