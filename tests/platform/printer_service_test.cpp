#include "platform/printer_service.h"

#include <QDir>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>

#include "common/ink_bounds.h"
#include "common/pdf_pages.h"
#include "common/recording_printer.h"
#include "common/scripted_file_dialog.h"
#include "common/scripted_prompt.h"
#include "platform/qt_text.h"

namespace quarn {
namespace {

using testing::PdfPages;

class PdfPrinter : public ::testing::Test {
 protected:
  std::string File(const char* name) const { return FromQt(dir_.filePath(name)); }
  void PrintLines(int count) {
    PrintCommand command(printer_);
    for (int i = 0; i < count; ++i) command.Job().Tab(10, "line " + std::to_string(i));
    command.Job().EndDocument();
    command.Job().Tab(10, "second document");
  }

  QTemporaryDir dir_;
  testing::ScriptedFileDialog dialogs_;
  testing::ScriptedPrompt prompt_;
  QtPrinterService printer_{dialogs_, prompt_, false};  // as if no printer were installed
};

TEST_F(PdfPrinter, OneCommandIsOneFileAskedForOnce) {
  const PageFormat format = printer_.TextFormat();
  EXPECT_GE(format.chars_per_line, 110);
  EXPECT_GE(format.lines_per_page, 80);
  dialogs_.answers = {File("long")};
  PrintLines(format.lines_per_page + 20);  // and a second document from a new page
  ASSERT_EQ(dialogs_.asked.size(), 1U);
  EXPECT_EQ(dialogs_.asked[0].request.initial_name, "*.pdf");
  EXPECT_EQ(dialogs_.asked[0].request.filter, "PDF file (*.pdf)|*.pdf|All files (*.*)|*.*");
  EXPECT_EQ(PdfPages(File("long.pdf")).size(), 3U);
  EXPECT_TRUE(prompt_.shown.empty());
}

TEST_F(PdfPrinter, ACancelWritesNothingAndAFileThatCannotBeWrittenSaysSo) {
  PrintLines(3);
  EXPECT_EQ(dialogs_.asked.size(), 1U) << "no more questions after a cancel";
  EXPECT_TRUE(QDir(dir_.path()).isEmpty());
  dialogs_.answers = {File("no such folder/out.pdf")};
  PrintLines(2);
  ASSERT_EQ(prompt_.shown.size(), 1U);
  EXPECT_EQ(prompt_.shown[0].text,
            "Error.  The file " + File("no such folder/out.pdf") + " could not be written.");
}

TEST_F(PdfPrinter, SetUpAnsweredLandscapeTurnsTheNextPage) {
  dialogs_.printer_answers = {std::nullopt, QPageLayout::Landscape};
  for (const char* name : {"cancelled.pdf", "landscape.pdf"}) {
    printer_.Setup();
    dialogs_.answers = {File(name)};
    PrintLines(1);
  }
  const auto cancelled = PdfPages(File("cancelled.pdf"));
  const auto landscape = PdfPages(File("landscape.pdf"));
  ASSERT_EQ(cancelled.size(), 2U);
  ASSERT_EQ(landscape.size(), 2U);
  EXPECT_LT(cancelled[0].width(), cancelled[0].height());
  EXPECT_GT(landscape[0].width(), landscape[0].height());
}

TEST(PicturePage, ADrawingAndAWindowImageLandWhereTheyShould) {
  testing::RecordingPrinter printer;
  printer.picture_size = {622, 933};  // 50 by 33.3 units a pixel
  QWidget window;
  window.resize(300, 200);
  window.setAutoFillBackground(true);
  window.setPalette(QPalette(Qt::black));
  {
    PrintCommand command(printer);
    command.Job().Tab(1, "a text page first");
    command.Picture([](QPainter& p) { p.fillRect(5, 5, 25100, 27000, Qt::black); });
    command.Window(window);
  }
  ASSERT_EQ(printer.pages.size(), 3U);
  const QRect ink = testing::InkBounds(printer.pages[1].picture);
  EXPECT_EQ(ink.topLeft(), QPoint(0, 0));
  EXPECT_NEAR(ink.right(), 25105 / 50.0, 1.5);
  EXPECT_NEAR(ink.bottom(), 27005 / (31100.0 / 933), 1.5);
  EXPECT_EQ(testing::InkBounds(printer.pages[2].picture), QRect(0, 0, 622, 414));
  EXPECT_EQ(ImageArea({300, 200}, {600, 300}), QRect(0, 0, 450, 300)) << "kept on one page";
}

}  // namespace
}  // namespace quarn
